# bench/write_report.sh: writes docs/benchmarks.md from the figures that
# bench/run.sh has measured; sourced by it, after the measurements.

# The graphics libraries, and the dispatch stubs that libglvnd generates at run
# time (an anonymous mapping, "???" to callgrind), through which OpenGL is called.
graphics_objects='(libglut|libOpenGL|libGL|libGLX|libGLdispatch)[.]so|^[?][?][?]$'

per_frame() { awk -v total="$(figure "$1" "$2")" -v frames="$(figure frames "$2")" 'BEGIN { printf "%.1f", total / frames }'; }

machine_lines() {
  echo "- CPU: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores"
  echo "- Mesa: $(dpkg-query -W -f='${Version}' libgl1-mesa-dri) (llvmpipe, software rendering), on Xorg's dummy driver"
  echo "- Date: $started; load average (1, 5, 15 min) $load_before before, $load_after_frames after the frame, sound and callgrind runs, $load_after at the end"
  echo "- Runs: $runs of each program; each figure is the median over them"
}

# The functions outside the program that its own code calls in the frame path.
outside_calls() {
  awk -v pattern="$graphics_objects" '
    $1 == "calls" && $2 ~ pattern { graphics++ }
    $1 == "calls" && $2 !~ pattern { sub(/^calls /, ""); others = others "; " $0 }
    END { printf "%d functions of OpenGL and GLUT, and %s", graphics, others ? "besides them" others : "nothing else" }' \
    "$work/own.show"
}

frame_cost_rows() {
  local show_instructions loop_instructions own_ns not_graphics
  show_instructions=$(per_frame own "$work/own.show")
  loop_instructions=$(per_frame own "$work/own.loop")
  own_ns=$(awk -v i="$show_instructions" -v li="$loop_instructions" -v ln="$loop_ns" 'BEGIN { printf "%.0f", i * ln / li }')
  not_graphics=$(awk -v pattern="$graphics_objects" '$1 == "calls" && $2 !~ pattern' "$work/own.show" | wc -l)
  echo "| Frames per second, unthrottled | $show_fps | $minimal_fps (minimal program) | $(ratio "$show_fps" "$minimal_fps") | - | - |"
  echo "| Show's own code per frame, instructions (callgrind) | $show_instructions | - | - | - | - |"
  echo "| Show's own code per frame, time | $own_ns ns | - | - | under 5,000 ns | $(at_most "$own_ns" 5000) |"
  echo "| Show's own code per frame, time without a driver (measured) | $loop_ns ns | - | - | under 5,000 ns | $(at_most "$loop_ns" 5000) |"
  echo "| No allocation or file access in the frame path: functions besides OpenGL and GLUT that the show's own code calls there | $not_graphics | - | - | 0 | $(at_most "$not_graphics" 0) |"
}

scene_rows() {
  local names=(smiley credits greetings cube end)
  while read -r scene first last p50 p99 most ratio over slowest; do
    [ "$scene" = single_run_worst ] && continue
    echo "| $scene. ${names[scene - 1]} | $first-$last | $p50 | $p99 | $most | $slowest | $ratio | $over | $(at_most "$ratio" 3) |"
  done <"$1"
}

worst_scene() { awk '$1 ~ /^[0-9]$/ && $7 > worst { worst = $7 } END { print worst }' "$1"; }

memory_rows() {
  # Resident kB per object just before each program left game mode, run 1.
  gawk 'FNR == 1 { file++ } $1 == "peak" { next }
        { name = $2; if (name ~ /\/(quorvan|minimal_show)$/) name = "[program]"
          kb[file, name] += $1; seen[name] = 1 }
        END {
          PROCINFO["sorted_in"] = "@ind_str_asc"
          for (name in seen) {
            show = kb[1, name]; minimal = kb[2, name]
            short = name; sub(/.*\//, "", short)
            if (name ~ /^\[(heap|anonymous)\]$/ || short ~ /^lib(openmpt|SDL2)/) row[short] = show " " minimal
            else if (minimal == 0 && show > 0) { only += show; libraries++ }
            else { rest_show += show; rest_minimal += minimal }
          }
          for (name in row) { split(row[name], v, " "); printf "| %s | %d | %d | %+d |\n", name, v[1], v[2], v[1] - v[2] }
          printf "| %d more libraries that only the show maps (those SDL2 and libopenmpt bring) | %d | 0 | %+d |\n", libraries, only, only
          printf "| everything else (the program, the C++ runtime, X, Mesa, LLVM...) | %d | %d | %+d |\n", rest_show, rest_minimal, rest_show - rest_minimal
        }' "$work/memory.quorvan.1" "$work/memory.minimal_show.1"
}

# Resident kB of the heap and anonymous memory: the show's more than the baseline's.
heap_growth() {
  awk '$2 ~ /^\[(heap|anonymous)\]$/ { kb[FILENAME] += $1 } END { print kb[ARGV[1]] - kb[ARGV[2]] }' \
    "$work/memory.quorvan.1" "$work/memory.minimal_show.1"
}

memory_account() {
  local textures_kb=$((6 * 256 * 256 * 4 / 1024)) growth
  growth=$(heap_growth)
  echo "Of the $growth kB more heap and anonymous memory, $textures_kb kB are the six"
  echo "textures the minimal program does not have (256 by 256 texels, 4 bytes each"
  echo "in llvmpipe) and $module_kb kB the loaded module (measured by \`bench/sound_cost.cpp\`"
  echo "as the heap that loading it takes). The other $((growth - textures_kb - module_kb)) kB are"
  echo "SDL's audio device (its thread and buffers), libopenmpt's tables and mixing"
  echo "state, and the driver's state for the show's further drawing states. The rest"
  echo "of the difference is code: libopenmpt, SDL2 and the libraries they bring."
}

# "<bytes> bytes at frame <n>" for each allocation of 256 KiB or more after
# the first frame, in run 1 of the program.
later_allocations() {
  awk '$1 > 1 { printf "%s%d bytes at frame %d", n++ ? ", " : "", $2, $1 } END { if (!n) printf "none" }' \
    "$work/allocations.$1.1"
}

within() { awk -v a="$1" -v b="$2" -v d="$3" 'BEGIN { print (a >= b - d && a <= b + d ? "met" : "not met") }'; }

# One row per simulated display: the show's length and jitter there.
simulated_rows() {
  while read -r rate interval seconds median p99; do
    local display="$rate Hz"
    [ "$rate" = none ] && display="no swap control"
    echo "| $display | $interval | $seconds s | $median ms | $p99 ms | $(within "$seconds" 53.22 0.3) |"
  done <"$work/simulated"
}

pacing_section() {
  cat <<EOF
## Pacing at 60 frames a second

The show presents at most 60 frames a second, one step per frame, against
absolute deadlines (\`app/frame_pacing.cpp\`); where the refresh rate is a
whole multiple of 60 it also asks for a swap every rate/60 refreshes. Its 3194
frames take 3193 sixtieths of a second from the first to the last: 53.22 s.

| Figure | Measured | Target | Met |
|---|---|---|---|
| First to last frame on the bench's Xorg (no swap control), median of $runs runs | $paced_seconds s | 53.22 s ± 0.3 s | $(within "$paced_seconds" 53.22 0.3) |
| Jitter: \|interval − 16.667 ms\| between presented frames, median (median of the runs' figures) | $jitter_median ms | - | - |
| Jitter: the same, 99th percentile (median of the runs' figures) | $jitter_p99 ms | at most 1 ms | $(at_most "$jitter_p99" 1) |
| "s" to silence at a PulseAudio null sink's monitor, median of 10 | ${sink_silence:-not measured} ms | at most 60 ms | $(at_most "${sink_silence:-1000}" 60) |
| First to last frame on Xwayland under weston (headless, pixman), one run | ${wayland_seconds:-not measured (weston did not start)} s | 53.22 s ± 0.3 s | $( [ -n "$wayland_seconds" ] && within "$wayland_seconds" 53.22 0.3 || echo -) |

The same pacer on a fake clock (\`bench/simulated_refresh.cpp\`), presenting on
simulated displays: each frame takes 2 ms to draw and the cube's first frame
20 ms; a swap with swap control shows the frame at the first refresh that is
at least the swap interval after the last one.

| Display | Swap interval | First to last frame | Jitter, median | Jitter, 99th percentile | 53.22 s ± 0.3 s |
|---|---|---|---|---|---|
$(simulated_rows)

Where the refresh rate is not a multiple of 60 (75, 144, 165 Hz), a frame can
only be shown at a refresh, so the intervals alternate between one and two
refresh periods around the 16.667 ms the deadlines ask for; the show's length
stays the same. With swap control at 60, 120 and 240 Hz a frame that misses
its refresh (the cube's first) cannot be made up, as frames cannot be shown
more often than every rate/60 refreshes: the rest come one refresh later.

How the figures are taken: the probe's frame clock notes when each swap
returns, in $runs runs of the whole show paced as users see it; the jitter is
over all 3193 intervals of a run. "s" to silence is measured by the end-to-end
test \`desktop_sound.plays_the_module_at_the_sink_and_s_silences_it_and_m_restarts_it_ten_times_over\`,
which starts its own PulseAudio with a null sink, lets SDL choose its driver as
on a desktop, records the sink's monitor with parec (each block stamped as it
arrives) and measures from the moment "s" reaches the show's keyboard callback
to the first silent frame at the monitor.
EOF
}

write_report() {
  local small_fps large_fps show_seconds
  show_seconds=$(awk -v f="$show_frames" -v r="$video_fps" 'BEGIN { printf "%.2f", f / r }')
  small_fps=$(awk -v f="$show_frames" -v s="$capture_small" 'BEGIN { printf "%.0f", f / s }')
  large_fps=$(awk -v f="$show_frames" -v s="$capture_large" 'BEGIN { printf "%.0f", f / s }')
  local worst
  worst=$(worst_scene "$work/scenes.quorvan")
  cat <<EOF
# Benchmarks

Written by \`bash bench/run.sh\`, which builds the show and the bench's programs
in \`build-bench\`, runs them on a private Xorg server (the dummy driver, one
640x480 mode at 16 bits, no swap control) and compares every figure with a
baseline measured in the same run. The frame figures come from runs in which
the probe lets the show draw unpaced, so that a frame's time is its drawing's;
the pacing figures from runs of the show as users see it. The baseline
of the frame figures is the bench's minimal program (\`bench/minimal_show.cpp\`):
the same game mode, one textured 256 by 256 picture quad at z = -3.5 and the
two bars per frame, with glFinish and the swap, for 3194 frames.

## Machine

$(machine_lines)

## Figures

| Figure | Show | Baseline | Ratio | Target | Met |
|---|---|---|---|---|---|
$(frame_cost_rows)
| Frame pacing: slowest frame over its scene's median, worst scene (below) | $worst | $(worst_scene "$work/scenes.minimal_show") (minimal program) | - | at most 3 | $(at_most "$worst" 3) |
| Start-up: exec to the first presented frame | $show_start ms | $minimal_start ms (minimal program) | +$start_difference ms | at most +30 ms | $(at_most "$start_difference" 30) |
| Sound: CPU time to mix 60 s of quorvan.xm | $layer_ms ms | $libopenmpt_ms ms (libopenmpt into one buffer) | $(ratio "$layer_ms" "$libopenmpt_ms") | at most 1.1 | $(at_most "$(ratio "$layer_ms" "$libopenmpt_ms")" 1.1) |
| Sound: from the key "s" to the first silent buffer, median of $latency_count | $latency_median ms | - | - | at most 50 ms | $(at_most "$latency_median" 50) |
| Sound: the same, slowest of $latency_count | $latency_max ms | - | - | at most 50 ms | $(at_most "$latency_max" 50) |
| Memory: peak resident size | $((show_peak / 1024)) MiB ($show_peak kB) | $((minimal_peak / 1024)) MiB ($minimal_peak kB) (minimal program) | +$(((show_peak - minimal_peak) / 1024)) MiB | accounted for (below) | - |
| Capture at 640x480: frames per second | $small_fps | $video_fps (real time) | $(ratio "$capture_small" "$show_seconds") of real time ($capture_small s for $show_seconds s) | - | - |
| Capture at 1280x960: frames per second | $large_fps | $video_fps (real time) | $(ratio "$capture_large" "$show_seconds") of real time ($capture_large s for $show_seconds s) | - | - |

How each figure is taken:

- Frames per second: the probe preloaded into both programs (\`bench/frame_clock.cpp\`)
  notes when each swap returns; frames 2 to 3194 over the time between them.
- Own code: callgrind counts the instructions of the show's own object while
  \`display()\` and \`idle()\` run (the end of the show, \`leave_show()\`, left
  out), divided by the calls of \`display()\`. \`bench/own_code_cost.cpp\` runs
  the same frames with every OpenGL call answered by an empty function: its CPU
  time per frame is the direct measurement, and its own instruction count per
  frame turns the show's count into time. Both are warm-cache figures.
- The frame path's outside calls are every function outside the program that
  its own code calls there, from callgrind's call graph: $(outside_calls).
  Below them, inside the driver and Xlib, the same frames made $(per_frame allocations "$work/own.show") calls of malloc
  and its kin per frame, and $(figure opens "$work/own.show") file opens in all (the driver's shader cache).
- Start-up: \`bench/exec_clock.cpp\` reads the clock and execs the program; the
  frame clock notes the first swap's return. The show's first frame itself
  took $show_first_frame ms of it (the driver compiles its shaders then), and
  loading the module $module_ms ms in \`bench/sound_cost.cpp\` (the first module
  in a process has libopenmpt compute its resampling tables); the rest is the
  pictures, SDL's audio and loading libopenmpt, SDL2 and their libraries.
- Sound mixing: \`bench/sound_cost.cpp\` times, in thread CPU time, the sound
  layer's \`mix_songs\` filling 1024-frame buffers as SDL's audio thread asks
  for them, and libopenmpt rendering the same 60 s into one buffer.
- Key to silence: the probe (\`bench/sound_clock.cpp\`) notes when "s" reaches
  the show and when each buffer has been mixed for SDL's disk driver; the figure
  is the time to the first silent buffer. SDL's disk driver asks for a buffer
  every 1024 frames (23 ms); a sound card adds its own queue on top.
- Capture: the wall time of \`quorvan-capture\` making the whole show into an
  MP4 file (H.264 and AAC through ffmpeg), frames divided by it.

$(pacing_section)

## Frame pacing

![Frame times of the show and of the minimal program](frame-times.png)

Each frame's time is its median over the $runs runs, frame by frame: what a
program does at a given frame comes back in every run, while the shared
machine's interruptions land on other frames each time. (Within single runs,
interruptions included, the worst scene's slowest frame took
$(awk '$1 == "single_run_worst" { print $2 }' "$work/scenes.quorvan") times its median in the show and
$(awk '$1 == "single_run_worst" { print $2 }' "$work/scenes.minimal_show") times in the minimal program.) The first frame, which
compiles the driver's shaders, is left out; a frame shared by two scenes
counts for the first.

The show:

| Scene | Frames | 50th ms | 99th ms | Max ms | Slowest frame | Max / median | Frames over 3 x median | Met |
|---|---|---|---|---|---|---|---|---|
$(scene_rows "$work/scenes.quorvan")

The minimal program, over the same frame numbers:

| Scene | Frames | 50th ms | 99th ms | Max ms | Slowest frame | Max / median | Frames over 3 x median | Met |
|---|---|---|---|---|---|---|---|---|
$(scene_rows "$work/scenes.minimal_show")

The slowest frames lie below the show's own code (which makes only OpenGL
and GLUT calls there, about 400 instructions a frame) and come back at the
same frame in every run:

- Frame 2057 draws the last greetings picture and the cube's first frame, the
  first with the depth test on; the driver takes longer over that frame.
- Frame 2336 of the show and frame 2974 of the minimal program are each the
  frame at which the program has drawn about 511 KiB of immediate-mode vertex
  data (5 floats a textured corner, 3 a bar corner: 176 bytes a frame, 576 in
  the cube scene), and Mesa allocates a new vertex buffer. The probe's log of
  allocations of 256 KiB or more (\`bench/allocation_log.cpp\`), after the
  first frame: in the show $(later_allocations quorvan), in the minimal
  program $(later_allocations minimal_show).

## Memory

Resident kB per object just before each program leaves game mode (run 1),
when the textures, the module and the sound device are all still there:

| Object | Show | Minimal program | Difference |
|---|---|---|---|
$(memory_rows)

$(memory_account)
EOF
}
