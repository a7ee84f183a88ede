# start_phases.awk: the start-up phase by phase, from the probe's start-up
# clock (bench/start_phases.cpp, "<phase> <ns>" lines) and its frame clock
# (the "display" line and frame 1) over runs: "<phase> <median ms from exec>"
# lines in the order of start-up, then "first" for the first frame on screen.
# Usage: gawk -f start_phases.awk PHASE_FILE... FRAME_FILE...

function median(values, count,    sorted) {
  asort(values, sorted)
  return count % 2 ? sorted[(count + 1) / 2] : (sorted[count / 2] + sorted[count / 2 + 1]) / 2
}

function note(phase, ns) {
  if (!(phase in count)) order[++phases] = phase
  times[phase, ++count[phase]] = ns / 1e6
}

$1 == "display" { note("display", $2); next }
$1 == 1 && NF == 4 { note("first", $2); next }
NF == 2 && $1 ~ /^[a-z]+$/ { note($1, $2) }

END {
  for (p = 1; p <= phases; ++p) {
    phase = order[p]
    delete values
    for (run = 1; run <= count[phase]; ++run) values[run] = times[phase, run]
    printf "%s %.1f\n", phase, median(values, count[phase])
  }
}
