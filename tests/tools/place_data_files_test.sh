#!/usr/bin/env bash
# place_data_files_test.sh: a rebuild that makes the data files anew places
# them in the run folder, but never over a file a user put there; a file the
# user takes away comes back. Usage: place_data_files_test.sh PLACE_SCRIPT
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
made=$work/data run=$work/bin
mkdir "$made" "$run"
fail() { echo "FAILED: $*" >&2; exit 1; }
place() { cmake -DFROM="$made" -DTO="$run" -DRECORD="$made/placed.sha256" "-DFILES=a.raw;b.raw;c.xm" -P "$script"; }
make_all() { for file in a.raw b.raw c.xm; do echo "$1" > "$made/$file"; done; }

make_all "first build"
place
for file in a.raw b.raw c.xm; do cmp -s "$made/$file" "$run/$file" || fail "$file not placed"; done

echo "the user's own" > "$run/a.raw"
rm "$run/b.raw"
make_all "second build"
said=$(place)
[ "$(cat "$run/a.raw")" = "the user's own" ] || fail "the user's a.raw was replaced"
[ "$(cat "$run/b.raw")" = "second build" ] || fail "the missing b.raw was not placed"
[ "$(cat "$run/c.xm")" = "second build" ] || fail "the build's own c.xm was not replaced"
[ "$said" = "-- Keeping your own $run/a.raw; the build's is $made/a.raw" ] || fail "said: $said"

rm "$run/a.raw"
place > /dev/null
[ "$(cat "$run/a.raw")" = "second build" ] || fail "a.raw, taken away, did not come back"
echo "kept the user's file, placed and replaced the build's own"
