# presenting_times.gp: each frame's cost with either presenter on the three
# desktops, one run each, beside the floor of a window only cleared and swapped.
# Usage: gnuplot -e "costs='PREFIX'; output='F.png'" presenting_times.gp
#   PREFIX.floor.SIZE, PREFIX.shm.SIZE and PREFIX.gl.SIZE: "<frame> <ms>" lines

set terminal pngcairo size 1500,520 font "DejaVu Sans,11"
set output output
set multiplot layout 1,3 title "quorvan: each frame's cost unpaced on Xorg's dummy driver, Mesa llvmpipe, one run"
set xlabel "frame"
set ylabel "milliseconds"
set xrange [1:1000]
set yrange [0:40]
set grid ytics lc rgb "#dddddd"
set key top left

do for [size in "640x480 1920x1080 2560x1440"] {
  set title size
  plot sprintf("%s.gl.%s", costs, size) using 1:2 with lines lc rgb "#c03030" title "OpenGL (as with a GPU)", \
       sprintf("%s.shm.%s", costs, size) using 1:2 with lines lc rgb "#1f5fbf" title "shared memory (llvmpipe)", \
       sprintf("%s.floor.%s", costs, size) using 1:2 with lines lc rgb "#999999" title "floor: clear and swap"
}
unset multiplot
