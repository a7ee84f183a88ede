# sound_latency.awk: how long after each "s" key the first silent buffer was
# mixed for the device, from the sound clock's files (bench/sound_clock.cpp).
# Prints one line per key "s" that reached a playing show: "<ms>".
# Usage: gawk -f sound_latency.awk RUN_FILE...

FNR == 1 { flush_run() }
$1 == "key" && $2 == 115 { keys[++key_count] = $3 }
$1 == "buffer" { buffer_ns[++buffer_count] = $2; silent[buffer_count] = $3 }
END { flush_run() }

function flush_run(    k, b) {
  for (k = 1; k <= key_count; k++) {
    for (b = 1; b <= buffer_count && buffer_ns[b] <= keys[k]; b++) {}
    if (b > 1 && silent[b - 1]) continue  # already silent: nothing to stop
    for (; b <= buffer_count && !silent[b]; b++) {}
    if (b <= buffer_count) printf "%.2f\n", (buffer_ns[b] - keys[k]) / 1e6
  }
  key_count = 0
  buffer_count = 0
}
