#!/usr/bin/env bash
# Makes the sample game's sounds and movies, laid out like sample/: SE/ BGM/
# VO/ become dat/SE.dat, dat/BGM.dat, dat/VO.dat; dat/Mov.dat and
# dat/Movie01.mpg are copied as they are. The music comes from mkmusic, the
# movies from the sample pictures; ffmpeg synthesises the rest and encodes.
#   mkmedia.sh <output folder> <mkmusic program> <sample pictures folder>
set -euo pipefail
out="$1"
mkmusic="$2"
pictures="$3/Img"
mkdir -p "$out/SE" "$out/BGM" "$out/VO" "$out/dat"
# The rendered tunes wait outside the output folder: every folder there becomes an archive.
wav=$(mktemp -d)
trap 'rm -rf "$wav"' EXIT
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

# Music: each tune rendered by mkmusic, then 96 kb/s stereo mp3. The
# encoder's LAME header records its delay and padding, so a decoder gives
# back exactly the rendered frames and a loop joins without a gap.
"$mkmusic" "$wav"
for w in "$wav"/BGM*.wav; do
  n=$(basename "$w" .wav)
  ff -i "$w" -c:a libmp3lame -b:a 96k "$out/BGM/$n.mp3"
done

# Voices: a hummed vowel per line, the length of a short sentence, its
# pitch falling gently with a speaking lilt and its loudness pulsing by
# syllables. Sixteen harmonics are weighted by the vowel's two formants.
voice() {  # name pitch seconds formant1 formant2
  local expr
  expr=$(awk -v f0="$2" -v d="$3" -v f1="$4" -v f2="$5" 'BEGIN {
    phi = sprintf("2*PI*%g*(t-0.06*t*t/%g+0.03*sin(2*PI*1.4*t)/(2*PI*1.4))", f0, d)
    s = ""
    for (k = 1; k <= 16; k++) {
      h = k * f0
      a = exp(-((h - f1) / 160) ^ 2) + 0.5 * exp(-((h - f2) / 220) ^ 2) + 0.12 / k
      s = s sprintf("%s%.4f*sin(%d*%s)", (k > 1 ? "+" : ""), a, k, phi)
    }
    printf "0.22*(%s)*(0.65+0.35*sin(2*PI*5.5*t))*sin(PI*t/%g)^0.5", s, d
  }')
  ff -f lavfi -i "aevalsrc=$expr:s=44100:d=$3" -ac 1 -c:a libmp3lame -b:a 64k "$out/VO/$1.mp3"
}
vowels=("800 1200" "500 1900" "350 1300" "500 850" "320 2300")
for k in $(seq 1 25); do
  pitch=$((200 + (k * 37) % 90))
  secs=$(awk "BEGIN{print 1.2 + ($k * 7 % 10) / 10}")
  # shellcheck disable=SC2086
  voice "$(printf 'con%02d' "$k")" "$pitch" "$secs" ${vowels[$((k % 5))]}
done

# Movies: the sample pictures under a slow zoom, cross-faded one into the
# next, a caption and the opening of a tune; MPEG-1 video at 640x480 with MP2
# sound in an MPEG program stream.
font=$(fc-match -f '%{file}' ':lang=ja' 2>/dev/null || true)
movie() {  # output seconds tune caption picture...
  local file=$1 secs=$2 tune=$3 caption=$4
  shift 4
  local n=$# xf=1.5 i=0 inputs=() graph="" last text=""
  local seg
  seg=$(awk "BEGIN{print ($secs + ($n - 1) * $xf) / $n}")
  for p in "$@"; do
    inputs+=(-loop 1 -framerate 25 -t "$seg" -i "$pictures/$p")
    # Every picture fills 800x600 first, loses its bottom strip (captions of
    # the gallery's pictures), then grows by 6 % about its centre.
    graph+="[$i]scale=800:600,crop=800:540:0:0,scale=w='720*(1+0.06*t/$seg)':h=-2:eval=frame,"
    graph+="crop=640:480,setsar=1,fps=25,format=yuv420p,settb=AVTB[v$i];"
    i=$((i + 1))
  done
  last="[v0]"
  for ((k = 1; k < n; k++)); do
    graph+="$last[v$k]xfade=transition=fade:duration=$xf:offset=$(awk "BEGIN{print $k * ($seg - $xf)}")[x$k];"
    last="[x$k]"
  done
  if [ -n "$font" ]; then
    text="drawtext=fontfile=$font:text='$caption':fontsize=48:fontcolor=white:shadowcolor=black@0.5:"
    text+="shadowx=2:shadowy=2:x=(w-text_w)/2:y=h*0.7:alpha='min(1,max(0,min(t-2.5,$secs-1.5-t)))',"
  fi
  graph+="${last}${text}fade=t=in:d=0.8,fade=t=out:st=$(awk "BEGIN{print $secs - 1}"):d=1[v];"
  graph+="[$n]atrim=0:$secs,afade=t=in:d=0.3,afade=t=out:st=$(awk "BEGIN{print $secs - 1.5}"):d=1.5[a]"
  ff "${inputs[@]}" -i "$wav/$tune.wav" -filter_complex "$graph" -map "[v]" -map "[a]" -t "$secs" \
     -c:v mpeg1video -b:v 1000k -g 12 -c:a mp2 -b:a 128k -ar 44100 -f mpeg "$file"
}
# The demo (also the story's movie): a day goes by to the title's theme.
movie "$out/dat/Mov.dat" 12 BGM13 放課後の約束 TitleBG.bmp CG_VIEW01.bmp TitleBG2.bmp
# The music room's movie: dusk into a starry night to "星空".
movie "$out/dat/Movie01.mpg" 10 BGM12 星空 CG_VIEW02.bmp TitleBG2.bmp
