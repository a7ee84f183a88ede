# music_offset.awk: where the music is against the picture, from a paced run's
# frame clock file (bench/frame_clock.cpp, run with BENCH_EXEC_NS=0 so its times
# are the monotonic clock's) and first_sound_clock's line for the same run.
# For each presented frame, the music heard by then (from its first sound at
# the sink) less the time of the step it shows, in ms: positive when the music
# is ahead. Prints "<offset at the first frame> <smallest> <largest> <frames
# presented> <s from first to last frame>"; with -v shown_ns=NS (when a hidden
# window was shown again), also "<ms to the first offset back within 2 frames of
# the first>". Usage: gawk [-v shown_ns=NS] -f music_offset.awk FIRST_SOUND FRAMES
$1 == "first_sound" { first_sound_ns = $2; next }
$1 == "display" { next }
{
  offset = ($2 - first_sound_ns) / 1e6 - ($3 - 1) * 1000 / 60
  if (++frames == 1) { start = offset; least = offset; most = offset; first_ns = $2 }
  least = offset < least ? offset : least
  most = offset > most ? offset : most
  last_ns = $2
  if (shown_ns && $2 > shown_ns && back_ms == "" && (offset - start) ^ 2 <= (2000 / 60) ^ 2)
    back_ms = ($2 - shown_ns) / 1e6
}
END {
  printf "%.1f %.1f %.1f %d %.3f", start, least, most, frames, (last_ns - first_ns) / 1e9
  # Never back: the whole rest of the show, so that no target takes it for quick.
  if (shown_ns) printf " %.0f", back_ms == "" ? (last_ns - shown_ns) / 1e6 : back_ms
  print ""
}
