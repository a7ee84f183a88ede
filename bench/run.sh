#!/usr/bin/env bash
# bench/run.sh: quorvan's benchmark suite. Installs what it needs (setup.sh),
# builds the show and the bench's programs in build-bench, measures every figure
# against a baseline taken in the same run (medians of QUORVAN_BENCH_RUNS runs,
# 5 by default), writes the figures to docs/benchmarks.data, the page
# docs/benchmarks.md from them (bench/write_report.sh) and docs/frame-times.png.
# About 30 minutes on 2 cores (each paced run of the show takes its 53 s);
# run it on a quiet machine.
# Usage: bash bench/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd -P)

runs=${QUORVAN_BENCH_RUNS:-5}
start_runs=9  # start-ups are short and vary more: a median of 9
build=$root/build-bench
bin=$build/bin
probe=$build/bench/libbench_probe.so
work=$(mktemp -d /tmp/quorvan-bench-XXXXXX)
report=$root/docs/benchmarks.md
figures=$work/figures  # "<name> <value>" lines, copied to docs/benchmarks.data when all are in
plot=$root/docs/frame-times.png
facts=$build/show_facts  # the show's length, scene starts and music file, written by the build

x_pid=""
weston_pid=""
pulse_pid=""
keeper_pid=""
finish() {
  [ -z "$keeper_pid$pulse_pid" ] || kill $keeper_pid $pulse_pid 2>/dev/null || true
  if [ -n "$x_pid" ]; then kill "$x_pid" 2>/dev/null && wait "$x_pid" 2>/dev/null || true; fi
  if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap finish EXIT

say() { echo "== $*" >&2; }

median() {  # of the numbers on standard input, one a line
  sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
figure() { awk -v name="$1" '$1 == name { print $2 }' "$2"; }  # NAME FILE: the value on NAME's line
fact() { sed -n "s/^$1 //p" "$facts"; }  # NAME: the show's fact of that name, all its values
# NAME FILE: the value on NAME's line over the value on the "frames" line
per_frame() { awk -v total="$(figure "$1" "$2")" -v frames="$(figure frames "$2")" 'BEGIN { printf "%.1f", total / frames }'; }
record() { echo "$1 ${*:2}" >>"$figures"; }  # NAME VALUE...: a figure of the report; no value: not measured

build_everything() {
  bash setup.sh show tests bench
  [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --parallel 2 --target quorvan quorvan-capture show_data \
    show_facts bench_probe swap_floor exec_clock first_sound_clock minimal_show own_code_cost sound_cost simulated_refresh e2e_test show_probe >/dev/null
}

# The tests' Xorg on the dummy driver: one 640x480 mode at 16 bits, no vsync.
start_x_server() {
  Xorg -displayfd 3 -config tests/e2e/xorg-dummy.conf -noreset -nolisten tcp \
    -logfile "$work/xorg.log" 3>"$work/display" >"$work/xorg.out" 2>&1 &
  x_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xorg did not start; see $work/xorg.log" >&2; exit 1; }
  display=":$(head -1 "$work/display")"
}

# weston on its headless backend with Xwayland, as a Wayland desktop runs X
# programs: no swap control either. Sets wayland_display to Xwayland's display.
start_weston() {
  mkdir -m 700 "$work/weston"
  printf '[core]\nxwayland=true\n[shell]\npanel-position=none\n' >"$work/weston.ini"
  XDG_RUNTIME_DIR="$work/weston" weston --config="$work/weston.ini" --backend=headless-backend.so \
    --use-pixman --width=1024 --height=768 --socket=quorvan-bench --log="$work/weston.log" \
    >"$work/weston.out" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do grep -q "xserver listening on display" "$work/weston.log" 2>/dev/null && break; sleep 0.1; done
  wayland_display=$(grep -o "xserver listening on display :[0-9]*" "$work/weston.log" | grep -o ":[0-9]*$" || true)
}

# Runs a program of bin/ full screen on the bench's X server, the probe
# preloaded, the music going to SDL's disk driver; settings NAME=value first.
on_x() {
  (cd "$bin" && env DISPLAY="$display" LD_PRELOAD="$probe" SDL_AUDIODRIVER=disk \
     SDL_DISKAUDIOFILE=/dev/null "$@" >/dev/null 2>>"$work/programs.log")
}

# The show and the baseline in turn, so both meet the same moments of load;
# unpaced, so that each frame's time is its drawing's.
run_frames() {
  for run in $(seq "$runs"); do
    for program in quorvan minimal_show; do
      on_x BENCH_UNPACED=1 BENCH_FRAME_TIMES="$work/frames.$program.$run" BENCH_MEMORY="$work/memory.$program.$run" \
        BENCH_ALLOCATIONS="$work/allocations.$program.$run" ./exec_clock "./$program"
    done
  done
}

# Exec to the first frame on screen, the show and the minimal program in
# turn, each stopped there by the probe, with the start-up's phases.
run_start_ups() {
  for run in $(seq "$start_runs"); do
    for program in quorvan minimal_show; do
      on_x BENCH_LAST_FRAME=1 BENCH_FRAME_TIMES="$work/start.$program.$run" \
        BENCH_START_PHASES="$work/phases.$program.$run" ./exec_clock "./$program"
    done
  done
}

# The median of each phase as figures PREFIX_PHASE, in ms from the exec.
record_phases() {  # PROGRAM PREFIX
  local phase ms
  while read -r phase ms; do record "$2_$phase" "$ms"; done \
    < <(gawk -f bench/start_phases.awk "$work"/phases."$1".* "$work"/start."$1".*)
}

# "s" typed twice a run (with "m" between), each time at another point of the
# sound buffer's cycle.
run_key_presses() {
  for run in $(seq "$runs"); do
    on_x BENCH_UNPACED=1 BENCH_SOUND_TIMES="$work/sound.$run" ./quorvan &
    local show=$!
    for key in s m s; do
      sleep "$(awk -v run="$run" 'BEGIN { print 0.4 + 0.0047 * run }')"
      DISPLAY=$display xdotool key "$key"
    done
    wait "$show"
  done
}

# The program's own instructions in its frame path: display() and idle(), the
# end of the show (leave_show) left out; bound at load, so no lazy binding shows.
count_own_instructions() {  # PROGRAM OUTPUT [ARGUMENTS...]
  local program=$1 output=$2
  shift 2
  (cd "$bin" && env DISPLAY="$display" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null LD_BIND_NOW=1 \
     valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.$program" \
     --toggle-collect='display()' --toggle-collect='idle()' --toggle-collect='leave_show()' \
     "./$program" "$@" >/dev/null 2>>"$work/programs.log")
  gawk -v program="$bin/$program" -f bench/own_code.awk "$work/callgrind.$program" >"$output"
}

# The show as a user sees it: paced at 60 frames a second, on a server without
# swap control; then once on Xwayland under weston, if weston starts.
run_paced() {
  for run in $(seq "$runs"); do
    on_x BENCH_FRAME_TIMES="$work/paced.$run" ./exec_clock ./quorvan
  done
  start_weston
  [ -n "$wayland_display" ] || return 0
  (cd "$bin" && env DISPLAY="$wayland_display" LD_PRELOAD="$probe" SDL_AUDIODRIVER=disk \
     SDL_DISKAUDIOFILE=/dev/null BENCH_FRAME_TIMES="$work/wayland" ./exec_clock ./quorvan \
     >/dev/null 2>>"$work/programs.log") || true
}

# A private PulseAudio whose null sink is kept playing silence, as a desktop's
# sink is while anything plays (an idle null sink takes most of a second to
# start a new stream, which says nothing of the show). Sets pulse_settings.
start_pulseaudio() {
  local folder=$work/pulse
  mkdir -m 700 "$folder"
  printf '%s\n' "load-module module-null-sink sink_name=show_sink format=float32le rate=$(fact mix_rate) channels=2" \
    'load-module module-native-protocol-unix auth-anonymous=1' 'set-default-sink show_sink' >"$folder/server.pa"
  pulse_settings=(XDG_RUNTIME_DIR="$folder" HOME="$folder" PULSE_SERVER="unix:$folder/pulse/native")
  env "${pulse_settings[@]}" pulseaudio --daemonize=no -n -F "$folder/server.pa" --exit-idle-time=-1 \
    --use-pid-file=no >"$folder/log" 2>&1 &
  pulse_pid=$!
  for _ in $(seq 100); do env "${pulse_settings[@]}" pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  env "${pulse_settings[@]}" pacat --raw --format=float32le --channels=2 --latency-msec=20 /dev/zero &
  keeper_pid=$!
  sleep 2  # until the sink plays the silence: its first stream takes up to a second to start
}

monotonic_ns() { "$bin/exec_clock" sh -c 'echo "$BENCH_EXEC_NS"'; }

# The show paced, its music recorded at the sink: where the music is against
# the picture over the whole show (music_offset.awk). With "hide", the window
# is unmapped 8 s in for 5 s, as a minimise or a workspace switch does.
run_at_sink() {  # OUTPUT [hide]
  mkfifo "$1.recording"
  "$bin/first_sound_clock" "$(fact mix_rate)" <"$1.recording" >"$1.sound" &
  local clock=$! shown_ns=0 window
  env "${pulse_settings[@]}" parec --raw --format=float32le --channels=2 --rate="$(fact mix_rate)" \
    --latency-msec=5 --device=show_sink.monitor >"$1.recording" 2>>"$work/programs.log" &
  local recorder=$!
  (cd "$bin" && env DISPLAY="$display" LD_PRELOAD="$probe" "${pulse_settings[@]}" BENCH_EXEC_NS=0 \
     BENCH_FRAME_TIMES="$1.frames" BENCH_STEP_TIMES="$1.steps" ./quorvan >/dev/null 2>>"$work/programs.log") &
  local show=$!
  if [ "${2:-}" = hide ]; then
    sleep 8
    window=$(DISPLAY=$display xdotool search --name '^quorvan$' | head -1)
    DISPLAY=$display xdotool windowunmap "$window"
    sleep 5
    DISPLAY=$display xdotool windowmap "$window"
    shown_ns=$(monotonic_ns)
  fi
  wait "$show"
  # parec ends by itself once the clock has heard the first sound and stopped reading.
  kill "$recorder" 2>/dev/null || true
  wait "$recorder" "$clock" || true
  gawk -v shown_ns="$shown_ns" -f bench/music_offset.awk "$1.sound" "$1.frames"
}

# "s" through a private PulseAudio to silence at its sink, ten times: the
# end-to-end test that checks it prints the median.
sink_silence_ms() {
  (cd "$bin" && ./e2e_test --gtest_filter='*/desktop_sound.plays_the_module_at_the_sink*/pulseaudio' 2>>"$work/programs.log") |
    sed -n 's/^"s" to silence at the sink: median \([0-9.]*\) ms.*/\1/p'
}

run_capture() {  # SIZE: prints the median seconds of a whole capture
  for run in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    (cd "$bin" && ./quorvan-capture --size="$1" "$work/capture.mp4" >/dev/null 2>>"$work/programs.log")
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
  done | median
}

# One line of scene_pacing.awk's per scene as figures PROGRAM_scene_N_first,
# _last, _p50, _p99, _max, _ratio (max over median), _over, _slowest.
record_scenes() {  # PROGRAM FILE
  local scene first last p50 p99 most ratio over slowest
  while read -r scene first last p50 p99 most ratio over slowest; do
    if [ "$scene" = single_run_worst ]; then record "$1_single_run_worst" "$first"; continue; fi
    record "$1_scene_${scene}_first" "$first"
    record "$1_scene_${scene}_last" "$last"
    record "$1_scene_${scene}_p50" "$p50"
    record "$1_scene_${scene}_p99" "$p99"
    record "$1_scene_${scene}_max" "$most"
    record "$1_scene_${scene}_ratio" "$ratio"
    record "$1_scene_${scene}_over" "$over"
    record "$1_scene_${scene}_slowest" "$slowest"
  done <"$2"
  record "$1_worst_scene" "$(awk '$1 ~ /^[0-9]+$/ && $7 > worst { worst = $7 } END { print worst }' "$2")"
}

# One line of simulated_refresh's per display as figures simulated_RATE_interval,
# _seconds, _median and _p99 (RATE "none": no swap control).
record_simulated() {  # FILE
  local rate interval seconds jitter_median jitter_p99
  while read -r rate interval seconds jitter_median jitter_p99; do
    record "simulated_${rate}_interval" "$interval"
    record "simulated_${rate}_seconds" "$seconds"
    record "simulated_${rate}_median" "$jitter_median"
    record "simulated_${rate}_p99" "$jitter_p99"
  done <"$1"
}

say "installing and building"
build_everything
show_frames=$(fact frames_in_show)
show_seconds=$(awk -v f="$show_frames" -v r="$(fact capture_fps)" 'BEGIN { printf "%.2f", f / r }')
record runs "$runs"
record frames_in_show "$show_frames"
record frame_intervals $((show_frames - 1))
record paced_length "$(awk -v f="$show_frames" -v r="$(fact frames_per_second)" 'BEGIN { printf "%.2f", (f - 1) / r }')"
record music_file "$(fact music_file)"
record cpu "$(lscpu | sed -n 's/^Model name: *//p' | head -1)"
record cores "$(nproc)"
record mesa "$(dpkg-query -W -f='${Version}' libgl1-mesa-dri)"
record started "$(date -u '+%Y-%m-%d %H:%M UTC')"
record load_before "$(cut -d' ' -f1-3 /proc/loadavg)"
start_x_server

say "frames: the show and the minimal program, $runs runs each"
run_frames
for program in quorvan minimal_show; do
  gawk -f bench/frame_summary.awk "$work"/frames.$program.* >"$work/summary.$program"
  gawk -v scene_first_frames="$(fact scene_first_frames)" -v trace="$work/trace.$program" \
    -f bench/scene_pacing.awk "$work"/frames.$program.* >"$work/scenes.$program"
done
show_fps=$(awk '{ print $3 }' "$work/summary.quorvan" | median)
minimal_fps=$(awk '{ print $3 }' "$work/summary.minimal_show" | median)
record show_fps "$show_fps"
record minimal_fps "$minimal_fps"
record fps_ratio "$(ratio "$show_fps" "$minimal_fps")"
record show_first_frame "$(awk '{ print $2 }' "$work/summary.quorvan" | median)"
record_scenes show "$work/scenes.quorvan"
record_scenes minimal "$work/scenes.minimal_show"
show_peak=$(cat "$work"/memory.quorvan.* | awk '$1 == "peak" { print $2 }' | median)
minimal_peak=$(cat "$work"/memory.minimal_show.* | awk '$1 == "peak" { print $2 }' | median)
record show_peak "$show_peak"
record show_peak_mib $((show_peak / 1024))
record minimal_peak "$minimal_peak"
record minimal_peak_mib $((minimal_peak / 1024))
record peak_difference_mib $(((show_peak - minimal_peak) / 1024))
gawk -f bench/memory_figures.awk "$work/memory.quorvan.1" "$work/memory.minimal_show.1" >>"$figures"
record show_later_allocations "$(awk -f bench/later_allocations.awk "$work/allocations.quorvan.1")"
record minimal_later_allocations "$(awk -f bench/later_allocations.awk "$work/allocations.minimal_show.1")"

say "start-up: the show and the minimal program to their first frame, $start_runs runs each"
run_start_ups
record start_runs "$start_runs"
record_phases quorvan show_phase
record_phases minimal_show minimal_phase
show_start=$(figure show_phase_first "$figures")
minimal_start=$(figure minimal_phase_first "$figures")
record show_start "$show_start"
record minimal_start "$minimal_start"
record start_difference "$(awk -v a="$show_start" -v b="$minimal_start" 'BEGIN { printf "%.1f", a - b }')"

say "pacing: the show at 60 frames a second, $runs runs of 53 s"
run_paced
gawk -v trace="$work/trace.paced" -f bench/paced_summary.awk "$work"/paced.* >"$work/paced"
record paced_seconds "$(awk '{ print $1 }' "$work/paced" | median)"
record jitter_median "$(awk '{ print $2 }' "$work/paced" | median)"
record jitter_p99 "$(awk '{ print $3 }' "$work/paced" | median)"
record handover_p99 "$(awk '{ print $5 }' "$work/paced" | median)"
record paced_frames "$(awk '{ print $4 }' "$work/paced" | median)"
record wayland_seconds "$( [ -s "$work/wayland" ] && gawk -f bench/paced_summary.awk "$work/wayland" | awk '{ print $1 }' || true)"
"$bin/simulated_refresh" >"$work/simulated"
record_simulated "$work/simulated"

say "picture and music: the show paced at a PulseAudio sink, and with its window hidden for 5 s"
start_pulseaudio
read -r offset_start offset_least offset_most sink_frames sink_seconds < <(run_at_sink "$work/sink")
record music_offset_start "$offset_start"
record music_offset_spread "$(awk -v a="$offset_most" -v b="$offset_least" 'BEGIN { printf "%.1f", a - b }')"
record sink_frames "$sink_frames"
record sink_seconds "$sink_seconds"
read -r _ hidden_least hidden_most hidden_frames hidden_seconds hidden_back_ms < <(run_at_sink "$work/hidden" hide)
record hidden_offset_spread "$(awk -v a="$hidden_most" -v b="$hidden_least" 'BEGIN { printf "%.1f", a - b }')"
record hidden_frames "$hidden_frames"
record hidden_seconds "$hidden_seconds"
record hidden_back_ms "$hidden_back_ms"
kill "$keeper_pid" "$pulse_pid" 2>/dev/null || true

say "sound: \"s\" through PulseAudio to silence at its sink, 10 times"
record sink_silence "$(sink_silence_ms)"

say "sound: \"s\" typed into the show, $runs runs"
run_key_presses
gawk -f bench/sound_latency.awk "$work"/sound.* >"$work/latencies"
record key_silences "$(wc -l <"$work/latencies")"
if [ -s "$work/latencies" ]; then
  record key_silence_median "$(median <"$work/latencies")"
  record key_silence_max "$(sort -g "$work/latencies" | tail -1)"
else  # no "s" reached a playing show: nothing measured
  record key_silence_median
  record key_silence_max
fi

say "sound: mixing 60 s of the module, $runs rounds"
"$bin/sound_cost" "$bin/$(fact music_file)" "$runs" >"$work/sound_cost"
layer_ms=$(awk '$1 == "round" { print $2 }' "$work/sound_cost" | median)
libopenmpt_ms=$(awk '$1 == "round" { print $3 }' "$work/sound_cost" | median)
record mixing_layer "$layer_ms"
record mixing_libopenmpt "$libopenmpt_ms"
record mixing_ratio "$(ratio "$layer_ms" "$libopenmpt_ms")"
module_kb=$(figure loaded "$work/sound_cost")
record module_kb "$module_kb"
record module_load_ms "$(awk '$1 == "loaded" { print $3 }' "$work/sound_cost")"
# Of the heap and anonymous memory the show has more: six textures of 256 by
# 256 texels, 4 bytes each in llvmpipe, the module, and the rest.
textures_kb=$((6 * 256 * 256 * 4 / 1024))
record textures_kb "$textures_kb"
record heap_other $(($(figure heap_growth "$figures") - textures_kb - module_kb))

say "own code: without a driver, $runs runs, and its instructions under callgrind"
loop_ns=$(for _ in $(seq "$runs"); do "$bin/own_code_cost"; done | awk '{ print $1 }' | median)
count_own_instructions own_code_cost "$work/own.loop" 20
say "own code: the whole show under callgrind (about 4 minutes)"
count_own_instructions quorvan "$work/own.show"
show_instructions=$(per_frame own "$work/own.show")
loop_instructions=$(per_frame own "$work/own.loop")
record own_instructions "$show_instructions"
# The show's instructions a frame turned into time at the driverless run's pace.
record own_ns "$(awk -v i="$show_instructions" -v li="$loop_instructions" -v ln="$loop_ns" 'BEGIN { printf "%.0f", i * ln / li }')"
record own_ns_measured "$loop_ns"
gawk -f bench/outside_calls.awk "$work/own.show" >>"$figures"
record driver_allocations_per_frame "$(per_frame allocations "$work/own.show")"
record driver_file_opens "$(figure opens "$work/own.show")"
record load_after_frames "$(cut -d' ' -f1-3 /proc/loadavg)"

say "capture: the whole show at 640x480 and 1920x1080, $runs runs each"
record capture_fps "$(fact capture_fps)"
record show_seconds "$show_seconds"
for size in 640x480 1920x1080; do
  seconds=$(run_capture "$size")
  record "capture_${size}_seconds" "$seconds"
  record "capture_${size}_fps" "$(awk -v f="$show_frames" -v s="$seconds" 'BEGIN { printf "%.0f", f / s }')"
  record "capture_${size}_speed" "$(awk -v a="$show_seconds" -v b="$seconds" 'BEGIN { printf "%.1f", a / b }')"
done
record load_after "$(cut -d' ' -f1-3 /proc/loadavg)"

say "writing $report and $plot"
cp "$figures" "$root/docs/benchmarks.data"
bash bench/write_report.sh
gnuplot -e "show_times='$work/trace.quorvan'; minimal_times='$work/trace.minimal_show'; \
            scenes='$work/scenes.quorvan'; paced_times='$work/trace.paced'; runs=$runs; output='$plot'; \
            hidden_frames='$work/hidden.frames'; hidden_steps='$work/hidden.steps'; \
            hidden_first_ns=$(awk '$1 == 1 { print $2 }' "$work/hidden.frames"); \
            frames_in_show=$show_frames; scene_first_frames='$(fact scene_first_frames)'" \
  bench/frame_times.gp
say "presenting the picture on large desktops"
bash bench/presenting.sh
say "done: $report"
