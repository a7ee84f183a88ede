#!/usr/bin/env bash
# bench/presenting.sh: what presenting the 640x480 picture costs on large
# desktops. On private Xorg desktops of 640x480, 1920x1080 and 2560x1440
# (dummy driver, depth 24, no window manager) it runs, unpaced, the floor (a
# full-screen window only cleared and swapped, bench/swap_floor.cpp), the show
# presenting through shared memory as it does on llvmpipe, and the show
# presenting through OpenGL as it does with a GPU (the probe's
# BENCH_GL_PRESENTER). Writes the section "Presenting on large desktops" of
# docs/benchmarks.md (milliseconds per frame, medians of QUORVAN_BENCH_RUNS
# runs, 3 by default; one paced run at 1920x1080 beside two busy loops) and the
# plot docs/presenting-times.png. bench/run.sh runs it last; it also runs on
# its own. About 6 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${QUORVAN_BENCH_RUNS:-3}
build=$PWD/build-bench
report=$PWD/docs/benchmarks.md
plot=$PWD/docs/presenting-times.png
gl_frames=1000  # the OpenGL presenter's runs stop there: at 2560x1440 a frame takes tens of ms
work=$(mktemp -d /tmp/quorvan-presenting-XXXXXX)
x_pid=""
finish() {
  if [ -n "$x_pid" ]; then kill "$x_pid" 2>/dev/null && wait "$x_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap finish EXIT

# name, pixel clock and timings of a 60 Hz (or, past the dummy driver's clock, 50 Hz) mode
declare -A modelines=(
  [640x480]='25.175 640 656 752 800 480 490 492 525 -hsync -vsync'
  [1920x1080]='148.5 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync'
  [2560x1440]='256.25 2560 2736 3008 3456 1440 1443 1448 1484 -hsync +vsync'
)

xorg_config() {  # SIZE
  local size=$1 width=${1%x*} height=${1#*x}
  cat <<CONFIG
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam $((width * height * 4 / 1024 + 4096))
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "$size" ${modelines[$size]}
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "$size"
    Virtual $width $height
  EndSubSection
EndSection
CONFIG
}

start_x_server() {  # SIZE
  xorg_config "$1" >"$work/xorg-$1.conf"
  rm -f "$work/display"
  Xorg -displayfd 3 -config "$work/xorg-$1.conf" -noreset -nolisten tcp \
    -logfile "$work/xorg-$1.log" 3>"$work/display" >/dev/null 2>&1 &
  x_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xorg did not start at $1; see $work/xorg-$1.log" >&2; exit 1; }
  display=":$(head -1 "$work/display")"
}

stop_x_server() { kill "$x_pid" && wait "$x_pid" 2>/dev/null || true; x_pid=""; }

# Milliseconds per frame from the first presented frame to the last.
frame_time() {  # FRAME_TIMES_FILE
  awk '$1 == 1 { first = $2 } $1 ~ /^[0-9]+$/ { last = $2; frames = $1 }
       END { printf "%.2f", (last - first) / 1e6 / (frames - 1) }' "$1"
}

median() {
  sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The show paced as users see it, with two busy loops beside it on the 2 cores:
# "<s first to last frame> <frames presented> <last step>".
run_paced_under_load() {
  local busy=()
  for _ in 1 2; do
    yes >/dev/null &
    busy+=($!)
  done
  (cd "$build/bin" && env DISPLAY="$display" LD_PRELOAD="$build/bench/libbench_probe.so" \
     BENCH_FRAME_TIMES="$work/loaded" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null \
     ./quorvan >/dev/null 2>>"$work/programs.log")
  kill "${busy[@]}"
  gawk -f bench/paced_summary.awk "$work/loaded" | awk '{ print $1, $4, $6 }'
}

# One program unpaced on the desktop, the probe preloaded: its ms per frame.
# Settings NAME=value first.
run_unpaced() {  # OUTPUT PROGRAM [NAME=value...]
  local output=$1 program=$2
  shift 2
  (cd "$build/bin" && env DISPLAY="$display" LD_PRELOAD="$build/bench/libbench_probe.so" BENCH_UNPACED=1 \
     BENCH_FRAME_TIMES="$output" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$@" "./$program" \
     >/dev/null 2>>"$work/programs.log")
  frame_time "$output"
}

# Each frame's cost, "<frame> <ms>", from its swap's return to the next one's.
frame_costs() {  # FRAME_TIMES_FILE
  awk '$1 ~ /^[0-9]+$/ { if (last) printf "%d %.3f\n", $1, ($2 - last) / 1e6; last = $2 }' "$1"
}

bash setup.sh show tests bench
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel 2 --target quorvan show_data show_facts bench_probe swap_floor >/dev/null

rows=""
loaded=""
for size in 640x480 1920x1080 2560x1440; do
  start_x_server "$size"
  for run in $(seq "$runs"); do
    echo "$(run_unpaced "$work/floor.$size.$run" swap_floor)" >>"$work/floor.$size"
    echo "$(run_unpaced "$work/shm.$size.$run" quorvan)" >>"$work/shm.$size"
    echo "$(run_unpaced "$work/gl.$size.$run" quorvan BENCH_GL_PRESENTER=1 BENCH_LAST_FRAME=$gl_frames)" >>"$work/gl.$size"
  done
  for presenter in floor shm gl; do frame_costs "$work/$presenter.$size.1" >"$work/costs.$presenter.$size"; done
  [ "$size" != 1920x1080 ] || loaded=$(run_paced_under_load)
  stop_x_server
  floor=$(median <"$work/floor.$size")
  shm=$(median <"$work/shm.$size")
  gl=$(median <"$work/gl.$size")
  rows+="| $size | $floor | $shm | $(awk -v a="$shm" -v b="$floor" 'BEGIN { printf "%.1f", a / b }') | $gl |"
  rows+=" $(tr '\n' ' ' <"$work/floor.$size")/ $(tr '\n' ' ' <"$work/shm.$size")/ $(tr '\n' ' ' <"$work/gl.$size")|"$'\n'
done

gnuplot -e "costs='$work/costs'; output='$plot'" bench/presenting_times.gp

section=$(cat <<SECTION
## Presenting on large desktops

![Each frame's cost with either presenter, and the floor](presenting-times.png)

Unpaced on private Xorg desktops (dummy driver, depth 24, no window
manager), milliseconds per frame from the first presented frame to the last,
medians of $runs runs; \`bash bench/presenting.sh\` on $(date -u +%Y-%m-%d),
load average $(cut -d' ' -f1-3 /proc/loadavg) when it ended. Each frame is
drawn at 640x480 and presented as large as fits at 4:3: 1:1 at 640x480, sharp
bilinear to 1440x1080 on 1920x1080, pixels repeated three times (1920x1440) on
2560x1440.

- **Floor**: a full-screen window only cleared and swapped
  (\`bench/swap_floor.cpp\`), what any full-screen program pays to put a whole
  screen on it; the whole show's $(sed -n 's/^frames_in_show //p' "$build/show_facts") frames.
- **Shared memory**: the show as it presents where OpenGL draws on the CPU
  (Mesa's llvmpipe): it reads the 640x480 picture back, scales it on the CPU,
  its two halves on two threads, straight into memory it shares with the X
  server and puts it on the window (MIT-SHM); the whole show.
- **OpenGL**: the show as it presents with a GPU (the probe answers its
  question for the renderer with a GPU's name): the picture copied into a
  texture and drawn as one quad, with llvmpipe shading every pixel of it; the
  first $gl_frames frames.

The goals for the show: at most 5.5 ms a frame and at most 3 times the floor at
1920x1080, at most 8 ms at 2560x1440. Without presenting, the show costs about
0.8 ms of CPU a frame.

| Desktop | Floor | Shared memory | Over the floor | OpenGL | Runs: floor / shared memory / OpenGL |
|---|---|---|---|---|---|
$rows
Paced at 60 frames a second on the 1920x1080 desktop with two busy loops
beside it on the 2 cores, once: first to last frame $(cut -d' ' -f1 <<<"$loaded") s
(target 53.22 s ± 0.1 s), $(cut -d' ' -f2 <<<"$loaded") frames presented, the last
showing step $(cut -d' ' -f3 <<<"$loaded"). Every step is drawn; a frame shows
the newest step due, so a slow frame costs steps on screen, not time.
SECTION
)
# Replace this section where the report has one, else add it at the end.
if grep -q '^## Presenting on large desktops$' "$report"; then
  awk -v section="$section" '
    /^## Presenting on large desktops$/ { print section; skipping = 1; next }
    skipping && /^## / { skipping = 0 }
    !skipping' "$report" >"$work/report" && cp "$work/report" "$report"
else
  printf '\n%s\n' "$section" >>"$report"
fi
echo "== presenting: $(echo "$rows" | tr '\n' ' ')" >&2
