#!/usr/bin/env bash
# Installs, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
bash setup.sh show tests
cmake --build build --parallel "$(nproc)"
ctest --test-dir build --output-on-failure --timeout 900
