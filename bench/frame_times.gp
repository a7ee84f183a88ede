# frame_times.gp: the show's time for each frame (its median over the runs),
# the five scenes shaded, each scene's limit of 3 times its median dashed, and
# the minimal program's times beneath for comparison.
# Usage: gnuplot -e "show_times='F'; minimal_times='F'; scenes='F'; runs=N; output='F.png'" frame_times.gp
#   show_times, minimal_times: "<frame> <ms>" lines; scenes: scene_pacing.awk's output

set terminal pngcairo size 1400,560 font "DejaVu Sans,11"
set output output
set title sprintf("quorvan: time of each frame, its median over %d runs, unthrottled on the dummy X server (Mesa llvmpipe)", runs)
set xlabel "frame"
set ylabel "milliseconds"
set xrange [1:3194]
set yrange [0:*]
set grid ytics lc rgb "#dddddd"
set key below

# Shade the scenes in turn and name them at the top.
names = "smiley credits greetings cube end"
first(s) = real(system(sprintf("awk '$1 == %d { print $2 }' %s", s, scenes)))
last(s) = real(system(sprintf("awk '$1 == %d { print $3 }' %s", s, scenes)))
do for [s = 1:5] {
  set object s rect from first(s), graph 0 to last(s) + 1, graph 1 behind \
      fc rgb word("#f6e9d4 #e3ebf7", 1 + s % 2) fs solid 1.0 noborder
  set label s word(names, s) at (first(s) + last(s)) / 2, graph 0.96 center
}

plot minimal_times using 1:2 with lines lc rgb "#999999" title "minimal program (baseline)", \
     show_times using 1:2 with lines lc rgb "#1f5fbf" title "show", \
     scenes using 2:($4 * 3):($3 - $2 + 1):(0) every ::0::4 with vectors nohead dt 2 lw 2 lc rgb "#c03030" \
       title "3 x the scene's median"
