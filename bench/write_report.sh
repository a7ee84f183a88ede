#!/usr/bin/env bash
# bench/write_report.sh: writes docs/benchmarks.md from the bench's figures,
# docs/benchmarks.data ("<name> <value>" lines that bench/run.sh writes), and
# the page's text, bench/benchmarks.md.in, in which "{name}" stands for a
# figure (bench/fill_template.awk). The sections that other scripts write into
# the page (the page in a browser, presenting on large desktops) are kept as
# they are. bench/run.sh runs it; it also runs on its own, after the text changed.
# Usage: bash bench/write_report.sh
set -euo pipefail
cd "$(dirname "$0")/.."

figures=docs/benchmarks.data
report=docs/benchmarks.md

kept=$(sed -n '/^## \(In a browser\|Presenting on large desktops\)$/,$p' "$report" 2>/dev/null || true)
{
  gawk -f bench/fill_template.awk "$figures" bench/benchmarks.md.in
  if [ -n "$kept" ]; then printf '\n%s\n' "$kept"; fi
} >"$report.new"
mv "$report.new" "$report"
