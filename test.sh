#!/usr/bin/env bash
# Installs, builds and runs the whole test suite: once as the show is built,
# the Debian package included (made, checked, and tried in a fresh Debian 12),
# then our own code again built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, with a minute of fuzzing for each of the two file readers.
set -euo pipefail
cd "$(dirname "$0")"

stage() {  # runs one step and says how long it took
  local start=$SECONDS
  "$@"
  echo "== $((SECONDS - start)) s: $*"
}

bash setup.sh show tests package
stage cmake --build build --parallel "$(nproc)"
stage ctest --test-dir build --output-on-failure --timeout 900
# The show in a browser, checked against the desktop build just tested.
stage bash web/test.sh

# Any sanitizer report ends the program with exit code 66, which no program
# of the show uses, so the test fails. Leaks are reported too, but for those
# in the third-party libraries that the suppressions name.
export ASAN_OPTIONS="exitcode=66:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="exitcode=66:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitize/leaks.supp:print_suppressions=0"
[ -f build-sanitize/CMakeCache.txt ] ||
  CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVAN_SANITIZE=ON
stage cmake --build build-sanitize --parallel "$(nproc)"
# Sanitized, our own code is what is checked, not Xorg and llvmpipe again: the
# unit, sound, render and fuzz tests, and the whole show once on a desktop (the
# only end-to-end entry the sanitized build has).
stage ctest --test-dir build-sanitize --output-on-failure --timeout 900 -L '^(unit|sound|render|fuzz)$'
stage ctest --test-dir build-sanitize --output-on-failure --timeout 900 -L e2e
