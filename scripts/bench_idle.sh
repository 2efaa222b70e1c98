#!/usr/bin/env bash
# Idle cost of the still title screen against a one-texture SDL baseline, in the
# same run: headless (dummy video) and under xvfb-run, and SDL's renderers for
# the one-texture job under Xvfb. Builds what it needs in ./build.
# Also the story: a page waiting for a click, lines being typed, fast-forward;
# with --peer, Debian's onscripter on a still page of the same picture and
# line (installed with apt-get when missing). With --soak, only the peak
# memory of a play-through soak (bench/idle/soak.plan) against the baseline's.
#   scripts/bench_idle.sh [--window SECONDS] [--quick] [--starts N] [--peer] [--soak SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
# Installed before the measurement leaves the network; Debian puts it in /usr/games.
PATH="$PATH:/usr/games"
if [[ " $* " == *" --peer "* ]] && [ "${BENCH_IDLE_NETNS:-}" != 1 ] && ! command -v onscripter >/dev/null; then
  apt-get install -y onscripter >/dev/null 2>&1 || echo "onscripter could not be installed: no peer" >&2
fi
# A game already running on this machine (its single-instance socket is
# abstract, so per network namespace) would turn ours into a second start:
# the whole measurement runs in a network namespace of its own, made once so
# that no start pays for it.
if [ "${BENCH_IDLE_NETNS:-}" != 1 ] && unshare -n true 2>/dev/null; then
  exec env BENCH_IDLE_NETNS=1 unshare -n bash "$PWD/scripts/bench_idle.sh" "$@"
fi

WINDOW=10
QUICK=0
STARTS=11
PEER=0
SOAK=0
while [ $# -gt 0 ]; do
  case "$1" in
    --window) WINDOW="$2"; shift 2 ;;
    --quick) QUICK=1; shift ;;
    --starts) STARTS="$2"; shift 2 ;;
    --peer) PEER=1; shift ;;
    --soak) SOAK="$2"; shift 2 ;;
    *) echo "usage: $0 [--window SECONDS] [--quick] [--starts N] [--peer] [--soak SECONDS]" >&2; exit 2 ;;
  esac
done

if [ "${BENCH_IDLE_INNER:-}" != 1 ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j4 --target larkspin idle_measure idle_baseline idle_probe >/dev/null
  cmake --build build --target game >/dev/null
fi

B="$PWD/build"
# Another build's game folder (program beside it) may stand in for ours, to
# measure two builds with the same tools: BENCH_IDLE_GAME=/path/to/build/game.
GAME="${BENCH_IDLE_GAME:-$B/game}"
# The programs' own output goes here; the script prints only the measurements.
LOG="${BENCH_IDLE_LOG:-$B/bench_idle.log}"
# A dummy audio device: the mixer runs as it would with sound.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
MEASURE="$B/bench/idle/idle_measure"
PROBE="$B/bench/idle/libidle_probe.so"
BASELINE="$B/bench/idle/idle_baseline"

# Measures a game run and a baseline run under the current display settings and
# prints their ratio.
pair() {
  local tag="$1"
  local dir
  dir="$(mktemp -d /tmp/idle_game.XXXXXX)"
  cp -r "$GAME/." "$dir/"
  local g b
  sleep 1
  # Still for longer than the logo's five-second hold: only the title after its
  # intro is that still (it leaves for the demo after 90 s of no input).
  g="$("$MEASURE" --label "game $tag" --probe "$PROBE" --cwd "$dir" --window "$WINDOW" --still 6 --timeout 60 \
    -- ./larkspin 2>>"$LOG")" ||
    { echo "game $tag: failed" >&2; rm -rf "$dir"; return 0; }
  rm -rf "$dir"
  sleep 1
  b="$("$MEASURE" --label "baseline $tag" --probe "$PROBE" --window "$WINDOW" -- "$BASELINE" 2>>"$LOG")" ||
    { echo "baseline $tag: failed" >&2; return 0; }
  echo "$g"
  echo "$b"
  local gc bc
  gc="$(sed -n 's/.* cpu_pct= *\([0-9.]*\).*/\1/p' <<<"$g")"
  bc="$(sed -n 's/.* cpu_pct= *\([0-9.]*\).*/\1/p' <<<"$b")"
  awk -v g="$gc" -v b="$bc" -v t="$tag" 'BEGIN { printf "ratio %-16s game/baseline cpu = %s\n", t, (b > 0 ? sprintf("%.2f", g / b) : "n/a") }'
}

# The story: a page typed out and waiting for a click (its mark blinking, the
# music playing), then lines being typed (a click every 1.5 s). The probe plays
# the input: Ctrl skips the logo, clicks skip the title's opening and start a
# new game (window coordinates: the menu strip is 20 pixels high).
# The page is measured again once its tune has played through and loops
# (the sample tunes last 24-31 s; a short tune is decoded only once).
# Fast-forward holds Ctrl from the story's start and is measured for five
# seconds while it runs (the sample story is over in about nine), with the
# processor time per presented frame.
STORY_INPUT="1 ctrl; 3 click 350 300; 5 click 350 300; 7 click 350 300"
story() {
  local tag="$1" what="$2" input="$STORY_INPUT" window="$WINDOW" settle=15
  [ "$what" = typing ] && input="$input; 14 every 1.5 click 400 300"
  [ "$what" = waiting-looped ] && settle=45
  if [ "$what" = fast-forward ]; then
    input="$input; 8 hold"
    settle=10
    window=5
  fi
  local dir out
  dir="$(mktemp -d /tmp/idle_game.XXXXXX)"
  cp -r "$GAME/." "$dir/"
  sleep 1
  out="$(IDLE_PROBE_INPUT="$input" "$MEASURE" --label "story $what $tag" --probe "$PROBE" --cwd "$dir" \
    --window "$window" --still 0 --settle "$settle" --timeout "$((settle + window + 30))" -- ./larkspin 2>>"$LOG")" ||
    echo "story $what $tag: failed" >&2
  rm -rf "$dir"
  [ -n "$out" ] || return 0
  echo "$out"
  if [ "$what" = fast-forward ]; then
    awk -v c="$(cpu_of "$out")" -v p="$(sed -n 's/.* presents_per_s= *\([0-9.]*\).*/\1/p' <<<"$out")" -v t="$tag" \
      'BEGIN { if (p > 0) printf "%-22s cpu_ms_per_present=%.2f\n", "fast-forward " t, 10 * c / p }'
  fi
  [ "$what" = waiting ] && WAITING_CPU="$(cpu_of "$out")"
  [ "$what" = waiting-looped ] && LOOPED_CPU="$(cpu_of "$out")"
  return 0
}

cpu_of() { sed -n 's/.* cpu_pct= *\([0-9.]*\).*/\1/p' <<<"$1" | head -n 1; }

# The peer (Debian's onscripter) showing a still screen waiting for a click:
# a small game of its kind made here with the story page's background and
# first line, measured in the same run as the story page. The peer draws with
# SDL 1.2, which the probe does not see: the window starts after a fixed
# settle time.
peer() {
  local tag="$1"
  if ! command -v onscripter >/dev/null; then
    echo "peer $tag: onscripter is not installed" >&2
    return 0
  fi
  local dir font out
  dir="$(mktemp -d /tmp/idle_peer.XXXXXX)"
  cp "$B/sample_pictures/Img/bg01.bmp" "$dir/bg01.bmp"
  font="$(fc-match -f '%{file}' ':lang=ja')"
  ln -s "$font" "$dir/default.ttf"
  # Shift-JIS, as the peer reads its script; ";mode800" asks for 800 x 600.
  printf '%s\n' ';mode800' '*define' 'game' '*start' 'bg "bg01.bmp",1' \
    '放課後の教室に、夕日が差し込んでいた。@' 'end' | iconv -f UTF-8 -t CP932 >"$dir/0.txt"
  sleep 1
  out="$("$MEASURE" --label "peer still $tag" --probe "$PROBE" --cwd "$dir" --window "$WINDOW" --blind \
    --settle 5 --timeout 60 -- sh -c 'exec onscripter --root "$1" >>"$2" 2>&1' peer "$dir" "$LOG" 2>>"$LOG")" ||
    echo "peer $tag: failed" >&2
  rm -rf "$dir"
  [ -n "$out" ] || return 0
  echo "$out"
  local w
  for w in waiting:"${WAITING_CPU:-}" waiting-looped:"${LOOPED_CPU:-}"; do
    awk -v w="${w%%:*}" -v g="${w#*:}" -v p="$(cpu_of "$out")" -v t="$tag" \
      'BEGIN { printf "ratio %-16s story %s/peer still cpu = %s\n", t, w, (g != "" && p > 0 ? sprintf("%.2f", g / p) : "n/a") }'
  done
}

# Start to first presented frame, game and baseline started in turn N times
# (one start is too noisy on a shared machine): median and best of each.
starts() {
  local tag="$1" n="$2"
  local dir
  dir="$(mktemp -d /tmp/idle_game.XXXXXX)"
  cp -r "$GAME/." "$dir/"
  local g=() b=() v
  for _ in $(seq "$n"); do
    # Each start on a settled display: the X server is still tearing down the
    # last client for a while, which would be timed as the next one's start.
    sleep 1
    v="$("$MEASURE" --first-only --label g --probe "$PROBE" --cwd "$dir" --timeout 30 \
      -- ./larkspin 2>>"$LOG" | sed -n 's/.*first_present_ms= *\([0-9.]*\).*/\1/p')"
    [ -n "$v" ] && g+=("$v")
    sleep 1
    v="$("$MEASURE" --first-only --label b --probe "$PROBE" --timeout 30 -- "$BASELINE" 2>>"$LOG" |
      sed -n 's/.*first_present_ms= *\([0-9.]*\).*/\1/p')"
    [ -n "$v" ] && b+=("$v")
  done
  rm -rf "$dir"
  local who list
  for who in game baseline; do
    if [ "$who" = game ]; then list="${g[*]:-}"; else list="${b[*]:-}"; fi
    tr ' ' '\n' <<<"$list" | sort -n | awk -v w="$who $tag" 'NF {
        v[++n] = $1 }
      END { if (!n) { printf "%-22s starts: none\n", w; exit }
        m = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        printf "%-22s starts=%d first_present_ms median=%6.1f best=%6.1f worst=%6.1f\n", w, n, m, v[1], v[n] }'
  done
}

# The soak plan's cycle repeated for SECONDS from the title on, as the
# probe's input: "T NxD step" lines unrolled, every step in time order.
soak_input() {
  local seconds="$1" first=9
  awk -v end="$((first + seconds))" -v first="$first" '
    $1 == "period" { period = $2; next }
    /^#/ || NF < 2 { next }
    { n = 1; d = 0; from = 2
      if ($2 ~ /^[0-9]+x[0-9.]+$/) { split($2, r, "x"); n = r[1]; d = r[2]; from = 3 }
      step = $from; for (i = from + 1; i <= NF; ++i) step = step " " $i
      lines[++count] = $1 SUBSEP n SUBSEP d SUBSEP step }
    END {
      for (c = first; c < end; c += period)
        for (k = 1; k <= count; ++k) {
          split(lines[k], f, SUBSEP)
          for (i = 0; i < f[2]; ++i)
            if (c + f[1] + i * f[3] < end) printf "%.2f %s\n", c + f[1] + i * f[3], f[4] }
    }' bench/idle/soak.plan | sort -n -s -k1,1 | paste -sd ';' | sed 's/;/; /g'
}

# Peak memory over a long play (new games with fast-forward, the music room),
# measured over its last seconds, beside the baseline's in the same run.
soak() {
  local tag="$1" seconds="$2" dir out b
  dir="$(mktemp -d /tmp/idle_game.XXXXXX)"
  cp -r "$GAME/." "$dir/"
  sleep 1
  out="$(IDLE_PROBE_INPUT="1 ctrl; $(soak_input "$seconds")" "$MEASURE" --label "soak $tag" --probe "$PROBE" \
    --cwd "$dir" --window 5 --still 0 --settle "$((seconds + 9))" --timeout "$((seconds + 60))" -- ./larkspin \
    2>>"$LOG")" || echo "soak $tag: failed" >&2
  rm -rf "$dir"
  sleep 1
  b="$("$MEASURE" --label "baseline $tag" --probe "$PROBE" --window "$WINDOW" -- "$BASELINE" 2>>"$LOG")" ||
    echo "baseline $tag: failed" >&2
  [ -n "$out" ] && echo "$out"
  [ -n "$b" ] && echo "$b"
  awk -v g="$(hwm_of "$out")" -v b="$(hwm_of "$b")" -v t="$tag" -v s="$seconds" \
    'BEGIN { printf "soak %-17s %s s: game peak hwm_mb=%s, baseline hwm_mb=%s\n", t, s, (g != "" ? g : "n/a"), (b != "" ? b : "n/a") }'
}

hwm_of() { sed -n 's/.* hwm_mb= *\([0-9.]*\).*/\1/p' <<<"$1" | head -n 1; }

baseline_only() {
  "$MEASURE" --label "baseline $1" --probe "$PROBE" --window "$WINDOW" -- "$BASELINE" ${2:-} 2>>"$LOG" || echo "baseline $1: failed" >&2
}

if [ "${BENCH_IDLE_INNER:-}" = 1 ]; then
  # Inside xvfb-run: the same server for every run. Its own processor time
  # over the same window is reported as server_cpu_pct.
  XPID="$(pgrep -a -x Xvfb | awk -v d="$DISPLAY" '$0 ~ (" " d "( |$)") { print $1; exit }')"
  [ -n "$XPID" ] && export IDLE_MEASURE_ALSO_PID="$XPID"
  unset SDL_RENDER_DRIVER
  if [ "$SOAK" != 0 ]; then
    soak "xvfb" "$SOAK"
    exit 0
  fi
  pair "xvfb"
  story "xvfb" waiting
  story "xvfb" waiting-looped
  story "xvfb" typing
  story "xvfb" fast-forward
  [ "$PEER" = 1 ] && peer "xvfb"
  starts "xvfb" "$STARTS"
  [ "$QUICK" = 1 ] && exit 0
  for r in opengl opengles2 software; do
    SDL_RENDER_DRIVER=$r pair "xvfb $r"
  done
  # The software renderer without a GL-backed window surface (plain XShm).
  SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 pair "xvfb sw-noaccel"
  baseline_only "xvfb upload" --upload
  exit 0
fi

: >"$LOG"
echo "# $(date -u '+%F %T') $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), window ${WINDOW} s, $(git rev-parse --short HEAD)${BENCH_IDLE_GAME:+, game $GAME}"
if [ "$SOAK" = 0 ]; then
  SDL_VIDEODRIVER=dummy pair "headless"
  SDL_VIDEODRIVER=dummy starts "headless" "$STARTS"
fi
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing (apt-get install xvfb): the X11 runs are left out" >&2
  exit 0
fi
unset SDL_VIDEODRIVER
args=(--window "$WINDOW" --starts "$STARTS")
[ "$QUICK" = 1 ] && args+=(--quick)
[ "$PEER" = 1 ] && args+=(--peer)
[ "$SOAK" != 0 ] && args+=(--soak "$SOAK")
BENCH_IDLE_INNER=1 BENCH_IDLE_LOG="$LOG" xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "${args[@]}"
