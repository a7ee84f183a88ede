# memory_figures.awk: the memory figures of the report from the memory reports
# (bench/memory_report.cpp) of one run of the show and one of the minimal
# program, resident kB per object, as "<name> <value>" lines:
#   memory_anonymous_*, memory_heap_*: [anonymous] and [heap]
#   memory_sdl2_*, memory_openmpt_*: the libraries of SDL2 and libopenmpt,
#     their file names as *_object
#   memory_only_show_libraries, memory_only_show: the other libraries that
#     only the show maps (those SDL2 and libopenmpt bring), how many, kB
#   memory_rest_*: everything else (the program, the C++ runtime, X, Mesa...)
#   heap_growth: kB of heap and anonymous memory the show has more
# where * is show, minimal or difference.
# Usage: gawk -f memory_figures.awk SHOW_MEMORY_FILE MINIMAL_MEMORY_FILE

FNR == 1 { file++ }
$1 == "peak" { next }
{
  name = $2
  if (name ~ /\/(quorvan|minimal_show)$/) name = "[program]"
  kb[file, name] += $1
  seen[name] = 1
}

function row(figure, show, minimal) {
  printf "%s_show %d\n%s_minimal %d\n%s_difference %+d\n", figure, show, figure, minimal, figure, show - minimal
}

END {
  PROCINFO["sorted_in"] = "@ind_str_asc"
  for (name in seen) {
    show = kb[1, name]; minimal = kb[2, name]
    short = name; sub(/.*\//, "", short)
    if (name == "[anonymous]") row("memory_anonymous", show, minimal)
    else if (name == "[heap]") row("memory_heap", show, minimal)
    else if (short ~ /^libSDL2/) { print "memory_sdl2_object " short; row("memory_sdl2", show, minimal) }
    else if (short ~ /^libopenmpt/) { print "memory_openmpt_object " short; row("memory_openmpt", show, minimal) }
    else if (minimal == 0 && show > 0) { only += show; libraries++ }
    else { rest_show += show; rest_minimal += minimal }
    if (name ~ /^\[(heap|anonymous)\]$/) growth += show - minimal
  }
  printf "memory_only_show_libraries %d\nmemory_only_show %d\n", libraries, only
  row("memory_rest", rest_show, rest_minimal)
  printf "heap_growth %d\n", growth
}
