#!/usr/bin/env bash
# Builds the show if needed and runs it full screen on the current X display.
set -euo pipefail
cd "$(dirname "$0")"
bash setup.sh show
cmake --build build --parallel "$(nproc)" --target quorvan
if [ -z "${DISPLAY:-}" ]; then
  echo "quorvan needs an X display: run it from a desktop session (DISPLAY is not set)." >&2
  exit 1
fi
cd build/bin
exec ./quorvan
