#pragma once
#include <cstdint>
#include <vector>

namespace plat {

// Where the mixer's output goes. Exactly one is active at a time.
//  kDevice: the SDL audio device pulls the mix from its own thread.
//  kClock:  no sound device: a thread renders the mix in real time and discards
//           it, so media still reach their end.
//  kManual: tests pull the mix with AudioManualPump, frame-exact.
enum class AudioOutputKind { kNone, kDevice, kClock, kManual };

// Starts the device, or the clock when no device opens. Does nothing when an
// output is already running. Returns the output in use.
AudioOutputKind AudioOutputStart();
AudioOutputKind AudioOutputCurrent();
// True when sound is really produced (the device, or a manual pump told to act
// as one).
bool AudioOutputHasDevice();
void AudioOutputStop();

// How many frames the clock output owes after elapsedMs of real time, given
// how many it rendered already (exact integer arithmetic, no drift).
int64_t ClockFramesDue(uint64_t elapsedMs, int64_t renderedSoFar);

} // namespace plat
