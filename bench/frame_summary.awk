# frame_summary.awk: one line per run from the frame clock's files
# (bench/frame_clock.cpp): "<ms from exec to the first presented frame>
# <ms the first frame took from its display call> <frames per second after it> <frames>"
# Usage: gawk -f frame_summary.awk RUN_FILE...

function report() {
  if (frames > 1)
    printf "%.2f %.2f %.1f %d\n", first_ns / 1e6, (first_ns - display_ns) / 1e6,
           (frames - 1) * 1e9 / (last_ns - first_ns), frames
}

FNR == 1 && NR > 1 { report() }
$1 == "display" { display_ns = $2; next }
$1 == 1 { first_ns = $2 }
{ frames = $1; last_ns = $2 }
END { report() }
