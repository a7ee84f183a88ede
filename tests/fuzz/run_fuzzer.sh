#!/usr/bin/env bash
# run_fuzzer.sh: runs a fuzz target for a while, seeded with data files and
# with each of them cut short and run long; a finding fails the run.
# Usage: bash run_fuzzer.sh FUZZER WORK_FOLDER SECONDS DATA_FOLDER EXTENSION
#   WORK_FOLDER gets seeds/ (made anew), corpus/ (kept: it grows run after run)
#   and findings/ (the input of any crash, leak or broken promise).
set -euo pipefail
fuzzer=$1 work=$2 seconds=$3 data=$4 extension=$5

tail_bytes=3392  # a picture with this much after it is 200,000 bytes long

rm -rf "$work/seeds"
mkdir -p "$work/seeds" "$work/corpus" "$work/findings"
for file in "$data"/*."$extension"; do
  name=$(basename "$file")
  size=$(stat -c %s "$file")
  cp "$file" "$work/seeds/$name"
  for length in 1 64 4096 $((size / 2)) $((size - 1)); do
    head -c "$length" "$file" > "$work/seeds/$name.cut-$length"
  done
  { cat "$file"; head -c "$tail_bytes" "$file"; } > "$work/seeds/$name.long"
done

# The first folder takes what the fuzzer finds new; the seeds are only read.
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$work/findings/" "$work/corpus" "$work/seeds"
