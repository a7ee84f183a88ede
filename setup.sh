#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures the build.
# Usage: bash setup.sh show        (what the show needs)
#        bash setup.sh show tests  (and what the test bench needs)
# Run twice, it installs nothing and leaves the configured build as it is.
set -euo pipefail
cd "$(dirname "$0")"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages_of() {  # the package names listed under [section] in deb-packages.txt
  awk -v want="[$1]" '/^\[/ { in_section = ($0 == want); next }
                      in_section && NF && !/^#/ { print $1 }' deb-packages.txt
}

missing=()
for section in "$@"; do
  for package in $(packages_of "$section"); do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$package")
  done
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests (and GoogleTest, which they need) are built only where they are wanted.
testing=OFF
for section in "$@"; do [ "$section" = tests ] && testing=ON; done
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=$testing
elif [ $testing = ON ] && grep -q '^BUILD_TESTING:BOOL=OFF' build/CMakeCache.txt; then
  cmake -S . -B build -DBUILD_TESTING=ON
fi
