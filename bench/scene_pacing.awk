# scene_pacing.awk: frame pacing per scene, from the frame clock's files of
# several runs of one program (bench/frame_clock.cpp). A frame's time runs from
# the previous frame's swap to its own. Each frame's time is first taken as its
# median over the runs: what the program does at that frame comes back in every
# run, while the shared machine's interruptions land on other frames each time.
# Prints one line per scene:
#   <scene> <first frame> <last frame> <p50 ms> <p99 ms> <max ms> <max/p50> <frames over 3 x p50> <slowest frame>
# then "single_run_worst <max/p50>": the same ratio in the worst scene of the
# worst single run, interruptions included. The first frame (it compiles the
# driver's shaders) is left out. With -v trace=FILE, also writes the median
# time of every frame there as "<frame> <ms>". scene_first_frames is the
# line of that name in the build's show_facts: the frame of each scene's first call.
# Usage: gawk -v scene_first_frames="N..." [-v trace=FILE] -f scene_pacing.awk RUN_FILE...

BEGIN {
  # The first frame that belongs to each scene alone: a frame that holds the
  # last picture of one scene and the first of the next counts for the earlier,
  # and the show's first frame is left out.
  scenes = split(scene_first_frames, first_call, " ")
  if (!scenes) { print "scene_pacing.awk: no scene_first_frames given" > "/dev/stderr"; exit 1 }
  for (scene = 1; scene <= scenes; scene++) first_frame[scene] = first_call[scene] + 1
}

FNR == 1 { runs += 1 }
$1 == "display" { next }
{ presented_ns[runs, $1 + 0] = $2; frames = $1 + 0 }

function median(values, count,    sorted) {
  asort(values, sorted)
  return count % 2 ? sorted[(count + 1) / 2] : (sorted[count / 2] + sorted[count / 2 + 1]) / 2
}

function frame_ms(run, frame) {
  return (presented_ns[run, frame] - presented_ns[run, frame - 1]) / 1e6
}

# Fills times[1..count] with the given run's frames, or their medians (run 0).
function scene_times(run, first, last,    frame, count, of_runs, r) {
  count = 0
  for (frame = first; frame <= last; frame++) {
    if (run > 0) { times[++count] = frame_ms(run, frame); continue }
    for (r = 1; r <= runs; r++) of_runs[r] = frame_ms(r, frame)
    times[++count] = median(of_runs, runs)
    frame_of[count] = frame
  }
  return count
}

END {
  if (!scenes) exit 1
  single_run_worst = 0
  for (scene = 1; scene <= scenes; scene++) {
    first = first_frame[scene]
    last = scene < scenes ? first_frame[scene + 1] - 1 : frames
    delete times
    count = scene_times(0, first, last)
    slowest = 1
    for (i = 1; i <= count; i++) {
      if (trace != "") printf "%d %.4f\n", frame_of[i], times[i] > trace
      if (times[i] > times[slowest]) slowest = i
    }
    slowest_frame = frame_of[slowest]
    asort(times)
    p50 = median(times, count)
    over = 0
    for (i = 1; i <= count; i++) if (times[i] > 3 * p50) over++
    printf "%d %d %d %.3f %.3f %.3f %.2f %d %d\n", scene, first, last, p50,
           times[int(0.99 * (count - 1) + 0.5) + 1], times[count], times[count] / p50, over, slowest_frame
    for (run = 1; run <= runs; run++) {
      delete times
      count = scene_times(run, first, last)
      asort(times)
      ratio = times[count] / median(times, count)
      if (ratio > single_run_worst) single_run_worst = ratio
    }
  }
  printf "single_run_worst %.2f\n", single_run_worst
}
