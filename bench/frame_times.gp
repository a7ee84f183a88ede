# frame_times.gp: above, the show's time for each frame unpaced (its median
# over the runs), the five scenes shaded, each scene's limit of 3 times its
# median dashed, and the minimal program's times beneath for comparison; below,
# the interval before each frame of one run paced at 60 frames a second; at
# the bottom, around the moment a hidden window is shown again, the step each
# frame presented and each step's drawing, against the show's clock.
# Usage: gnuplot -e "show_times='F'; minimal_times='F'; scenes='F'; paced_times='F'; runs=N; output='F.png'; \
#                    hidden_frames='F'; hidden_steps='F'; hidden_first_ns=N; \
#                    frames_in_show=N; scene_first_frames='N...'" frame_times.gp
#   show_times, minimal_times, paced_times: "<frame> <ms>" lines; scenes: scene_pacing.awk's output;
#   hidden_frames, hidden_steps: the frame clock's files of the run with the hidden window,
#   hidden_first_ns its first frame's time;
#   frames_in_show, scene_first_frames: the lines of those names in the build's show_facts

set terminal pngcairo size 1400,1400 font "DejaVu Sans,11"
set output output
set multiplot layout 3,1
set title sprintf("quorvan: time of each frame, its median over %d runs, unpaced on the dummy X server (Mesa llvmpipe)", runs)
set xlabel "frame"
set ylabel "milliseconds"
set xrange [1:frames_in_show]
set yrange [0:*]
set grid ytics lc rgb "#dddddd"
set key below

# Shade the scenes in turn and name them at the top; a frame shared by two
# scenes counts for the first.
names = "smiley credits greetings cube end"
scene_total = words(scene_first_frames)
do for [s = 1:scene_total] {
  scene_start = s == 1 ? 1 : word(scene_first_frames, s) + 1
  scene_end = s < scene_total ? word(scene_first_frames, s + 1) + 1 : frames_in_show + 1
  set object s rect from scene_start, graph 0 to scene_end, graph 1 behind \
      fc rgb word("#f6e9d4 #e3ebf7", 1 + s % 2) fs solid 1.0 noborder
  set label s word(names, s) at (scene_start + scene_end) / 2, graph 0.96 center
}

plot minimal_times using 1:2 with lines lc rgb "#999999" title "minimal program (baseline)", \
     show_times using 1:2 with lines lc rgb "#1f5fbf" title "show", \
     scenes using 2:($4 * 3):($3 - $2 + 1):(0) every ::0::(scene_total - 1) with vectors nohead dt 2 lw 2 lc rgb "#c03030" \
       title "3 x the scene's median"

set title "quorvan paced at 60 frames a second (one run on the bench's Xorg): interval before each presented frame"
set yrange [0:40]
unset key
plot paced_times using 1:2 with lines lc rgb "#1f5fbf" title "interval", \
     1000.0 / 60 with lines dt 2 lc rgb "#c03030" title "1/60 s"

# Each step against its slot (step - 1)/60 s after the first frame: drawn
# steps on the line while the window is hidden, and when it is shown again
# the first frame presents the newest due step, not the next one.
set title "quorvan paced, its window hidden for 5 s (8 s after start): steps drawn and steps presented around the hide"
set xlabel "seconds from the first frame"
set ylabel "step"
do for [s = 1:scene_total] {
  unset object s
  unset label s
}
unset yrange
set xrange [6.5:14.5]
set autoscale y
set key below
seconds(ns) = (ns - hidden_first_ns) / 1e9
plot hidden_steps using (seconds($2)):1 with lines lw 2 lc rgb "#999999" title "step drawn", \
     hidden_frames using (seconds($2)):3 with points pt 7 ps 0.6 lc rgb "#1f5fbf" title "step presented", \
     x * 60 + 1 with lines dt 2 lc rgb "#c03030" title "step due"
unset multiplot
