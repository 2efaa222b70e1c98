#!/usr/bin/env bash
# Synthesises the sample game's sounds and demo movie with ffmpeg's own
# generators, laid out like sample/: SE/ BGM/ VO/ become dat/SE.dat,
# dat/BGM.dat, dat/VO.dat; dat/Mov.dat is copied as it is.
#   mkmedia.sh <output folder>
set -euo pipefail
out="$1"
mkdir -p "$out/SE" "$out/BGM" "$out/VO" "$out/dat"
if ! command -v ffmpeg >/dev/null 2>&1; then
  echo "mkmedia: ffmpeg not found; the sample game gets no sounds or movie" >&2
  exit 0
fi
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# Sound effects: 16-bit PCM beeps of distinct pitches, 0.1 to 0.5 s, faded so
# they do not click. Slots 3-31 (the interface sounds) and se01-se35.
ui=(MsgWndCursorON MsgWndPush CtrlWndCursorON CtrlWndPush SlcWndCursorON SlcWndPush TitleModeCursorON
    TitleModePush SaveLoadModeCursorON SaveLoadModePush SaveLoadModeExit SaveModeSave LoadModeLoad TestModeStart
    TestModeEnd TestModeCursorON TestModePush TestModePage ConfigModeCursorON ConfigModePush ConfigModeEnd
    CGModeCursorON CGModePush CGModePage CGModeReplayIn CGModeReplayOut BGMModeCursorON BGMModePush BGMModeExit)
beep() {  # name frequency seconds
  ff -f lavfi -i "sine=frequency=$2:sample_rate=22050:duration=$3" \
     -af "afade=t=in:d=0.01,afade=t=out:st=$(awk "BEGIN{print $3-0.03}"):d=0.03,volume=0.5" \
     -ac 1 -c:a pcm_s16le "$out/SE/$1.wav"
}
i=0
for n in "${ui[@]}"; do
  beep "$n" $((600 + i * 40)) "0.$((1 + i % 3))"
  i=$((i + 1))
done
for k in $(seq 1 35); do
  beep "$(printf 'se%02d' "$k")" $((300 + k * 50)) "0.$((2 + k % 4))"
done

# Music: short mono 64 kb/s mp3 loops, a three-note chord on a root per track
# with a slow swell.
chord() {  # name root seconds
  local r="$2"
  ff -f lavfi -i "aevalsrc=(0.22*sin(2*PI*$r*t)+0.16*sin(2*PI*$r*1.26*t)+0.12*sin(2*PI*$r*1.5*t))*(0.75+0.25*sin(2*PI*0.5*t)):s=44100:d=$3" \
     -ac 1 -c:a libmp3lame -b:a 64k "$out/BGM/$1.mp3"
}
for k in $(seq 1 14); do chord "$(printf 'BGM%02d' "$k")" $((110 + k * 11)) 4; done
chord BGM14_sh 196 5

# Voices: about a second of a warbling tone each, a different pitch per line.
for k in $(seq 1 25); do
  f=$((180 + k * 9))
  ff -f lavfi -i "aevalsrc=0.4*sin(2*PI*$f*t+3*sin(2*PI*5*t))*sin(PI*t/1.0):s=44100:d=1" \
     -ac 1 -c:a libmp3lame -b:a 64k "$out/VO/$(printf 'con%02d' "$k").mp3"
done

# The demo movie: 2 s of moving test picture at 320x240, 25 frames a second,
# MPEG-1 video with MP2 sound in an MPEG program stream.
ff -f lavfi -i "testsrc2=size=320x240:rate=25:duration=2" \
   -f lavfi -i "aevalsrc=0.3*sin(2*PI*(220+110*t)*t):s=44100:d=2" \
   -c:v mpeg1video -b:v 200k -c:a mp2 -b:a 64k -f mpeg "$out/dat/Mov.dat"

# The music room's movie row: the same test picture, opened in place as dat/Movie01.mpg.
cp "$out/dat/Mov.dat" "$out/dat/Movie01.mpg"
