#!/usr/bin/env bash
# test.sh: installs what the browser build and its tests need, builds the page
# and runs its tests. The desktop build (build/) must be built already: its
# capture tool draws the frames that the page's are compared with.
set -euo pipefail
cd "$(dirname "$0")/.."

bash setup.sh show web
# npm comes with Node where Node was not installed from Debian.
if ! command -v npm > /dev/null; then
  apt_install=(apt-get install -y -q --no-install-recommends npm)
  if [ "$(id -u)" -eq 0 ]; then "${apt_install[@]}"; else sudo "${apt_install[@]}"; fi
fi
npm ci --prefix web/tests --no-audit --no-fund --loglevel=error

bash web/build.sh
ctest --test-dir build-web --output-on-failure --timeout 600
