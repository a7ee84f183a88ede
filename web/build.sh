#!/usr/bin/env bash
# build.sh: builds the show for a browser, as static files in build-web/site:
# the data files and their PNG copies (by tools built for this machine), libopenmpt with
# Emscripten (once), then the show, the music worklet and the page.
# Usage: bash web/build.sh   (after: bash setup.sh show web)
set -euo pipefail
cd "$(dirname "$0")/.."
# Emscripten's tools need Debian's Node modules, which a Node of another origin does not search.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
build=build-web
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

[ -f $build/data-tool/CMakeCache.txt ] || cmake -S . -B $build/data-tool -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build $build/data-tool --target show_data quorvan-web-pictures --parallel $jobs

bash web/build_libopenmpt.sh $build/libopenmpt

[ -f $build/CMakeCache.txt ] || emcmake cmake -S web -B $build -DCMAKE_BUILD_TYPE=Release \
  -DQUORVAN_DATA_DIR="$PWD/$build/data-tool/bin" -DLIBOPENMPT_PREFIX="$PWD/$build/libopenmpt/install"
cmake --build $build --parallel $jobs
echo "The page is in $build/site: serve it with  python3 -m http.server -d $build/site 8000"
