#include <SDL.h>

#include "platform/audio_mixer.h"
#include "platform/backend.h"

namespace plat {

namespace {

SDL_AudioDeviceID g_device = 0;

void SDLCALL DeviceCallback(void*, Uint8* stream, int len) {
    const int frames = len / static_cast<int>(sizeof(float) * kAudioChannels);
    AudioMixer::Get().Render(reinterpret_cast<float*>(stream), frames);
}

} // namespace

bool OpenAudioDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec want{};
    want.freq = kAudioRate;
    want.format = AUDIO_F32SYS;
    want.channels = kAudioChannels;
    want.samples = 1024;
    want.callback = DeviceCallback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (g_device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

void CloseAudioDevice() {
    if (g_device != 0) {
        SDL_CloseAudioDevice(g_device);
        g_device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

} // namespace plat
