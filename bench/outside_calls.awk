# outside_calls.awk: what the program's own code calls outside its object in
# the frame path, from own_code.awk's "calls <object> <function>" lines, as
# "<name> <value>" lines: outside_graphics_functions (how many are OpenGL's,
# GLUT's and X's), outside_other_functions (the rest, "; "-separated after "besides
# them", or "nothing else") and outside_other_count (how many those are).
# Usage: gawk -f outside_calls.awk OWN_CODE_FILE

# The graphics libraries, the dispatch stubs that libglvnd generates at run
# time (an anonymous mapping, "???" to callgrind), through which OpenGL is
# called, and X's libraries, through which a frame drawn on the CPU is put.
BEGIN { graphics_objects = "(libglut|libOpenGL|libGL|libGLX|libGLdispatch|libX11|libXext)[.]so|^[?][?][?]$" }

$1 == "calls" && $2 ~ graphics_objects { graphics++; next }
$1 == "calls" { sub(/^calls /, ""); others = others "; " $0; other_count++ }

END {
  printf "outside_graphics_functions %d\n", graphics
  printf "outside_other_functions %s\n", others ? "besides them" others : "nothing else"
  printf "outside_other_count %d\n", other_count
}
