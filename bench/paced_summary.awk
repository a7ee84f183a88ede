# paced_summary.awk: one line per paced run from the frame clock's files
# (bench/frame_clock.cpp): "<s from the first presented frame to the last>
# <median ms> <99th percentile ms> <frames> <hand-over 99th percentile ms>
# <last step>", the middle two of how far each interval between presented
# frames lies from a sixtieth of a second, the fifth of how far each frame's
# hand-over to the swap lies from its step's slot on the show's clock (taken
# from the first frame's swap, less the run's median lead).
# With -v trace=FILE, also writes every interval of the first run as "<frame> <ms>".
# Usage: gawk [-v trace=FILE] -f paced_summary.awk RUN_FILE...

function percentile(values, count, fraction,    sorted) {
  asort(values, sorted)
  return sorted[int(fraction * (count - 1)) + 1]
}

function report(    count, median_lead, i) {
  if (frames < 2) return
  median_lead = percentile(lead, frames - 1, 0.5)
  for (i = 1; i < frames; i++) handover[i] = lead[i] > median_lead ? lead[i] - median_lead : median_lead - lead[i]
  printf "%.3f %.3f %.3f %d %.3f %d\n", (last_ns - first_ns) / 1e9, percentile(jitter, frames - 1, 0.5),
         percentile(jitter, frames - 1, 0.99), frames, percentile(handover, frames - 1, 0.99), step
  delete jitter
  delete lead
  delete handover
  runs++
}

FNR == 1 && NR > 1 { report() }
$1 == "display" { next }
$1 == 1 { first_ns = $2; previous_ns = $2; frames = 1; last_ns = $2; step = $3; next }
{
  interval_ms = ($2 - previous_ns) / 1e6
  jitter[frames] = interval_ms > 1000 / 60 ? interval_ms - 1000 / 60 : 1000 / 60 - interval_ms
  lead[frames] = (first_ns + ($3 - 1) * 1e9 / 60 - $4) / 1e6  # how early it was handed over
  if (trace && runs == 0) printf "%d %.3f\n", $1, interval_ms > trace
  previous_ns = $2; last_ns = $2; frames = $1; step = $3
}
END { report() }
