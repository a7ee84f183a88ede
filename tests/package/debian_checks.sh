#!/usr/bin/env bash
# debian_checks.sh: checks the built package with Debian's own tools: lintian,
# desktop-file-validate, appstreamcli, man and python3-debian, on the files as the
# package holds them, and makes it again to compare.
# Usage: debian_checks.sh CHECK PACKAGE_FOLDER CAPTURE_TOOL BUILD_FOLDER
#   CHECK is lintian, menu_entry, manual_pages, copyright or reproducibility; the
#   package is the one .deb in PACKAGE_FOLDER, made by cpack in BUILD_FOLDER.
set -euo pipefail
check=$1 package_folder=$2 capture_tool=$3 build=$4

deb=$(echo "$package_folder"/quorvan_*.deb)
[ -f "$deb" ] || { echo "no package in $package_folder"; exit 1; }
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

fail() { echo "FAILED: $*"; exit 1; }

# Every tag lintian gives is printed; errors and warnings fail, notes do not,
# but for those that say the programs were not built or stripped as Debian does.
check_lintian() {
  local report
  report=$(lintian --info --display-info --pedantic "$deb" 2>&1 |
           { grep -v 'running with root privileges' || true; })
  echo "${report:-lintian: no tags}"
  ! grep -qE '^[EW]: ' <<<"$report" || fail "lintian reports errors or warnings"
  ! grep -qE '^I: quorvan: (hardening-|binary-has-unneeded-section)' <<<"$report" ||
    fail "lintian: not built with Debian's flags, or not stripped as Debian strips"
}

check_menu_entry() {
  local desktop=$unpacked/usr/share/applications/quorvan.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  [ -z "$(desktop-file-validate "$desktop")" ] || fail "desktop-file-validate has remarks"
  local metainfo
  metainfo=$(echo "$unpacked"/usr/share/metainfo/*.metainfo.xml)
  appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate"
  # A homepage and a screenshot only where the build was given them.
  local homepage screenshot
  homepage=$(sed -n 's/^QUORVAN_HOMEPAGE:STRING=//p' "$build/CMakeCache.txt")
  screenshot=$(sed -n 's/^QUORVAN_SCREENSHOT_URL:STRING=//p' "$build/CMakeCache.txt")
  [ "$(dpkg-deb -f "$deb" Homepage)" = "$homepage" ] || fail "Homepage is not '$homepage'"
  [ "$(sed -n 's|.*<url type="homepage">\(.*\)</url>|\1|p' "$metainfo")" = "$homepage" ] ||
    fail "the metainfo's homepage is not '$homepage'"
  [ "$(sed -n 's|.*<image[^>]*>\(.*\)</image>|\1|p' "$metainfo")" = "$screenshot" ] ||
    fail "the metainfo's screenshot is not '$screenshot'"
  # The entry's command and icon are the package's own.
  [ -x "$unpacked/usr/games/$(sed -n 's/^Exec=//p' "$desktop")" ] || fail "Exec names no launcher"
  local icon side
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  for side in 16 32 48 64 128 256; do
    file "$unpacked/usr/share/icons/hicolor/${side}x$side/apps/$icon.png" |
      grep -q "PNG image data, $side x $side," || fail "no $side pixel icon"
  done
}

# man --warnings as lintian runs it: any word on standard error fails.
check_manual_pages() {
  local page warnings
  for page in man6/quorvan.6.gz man1/quorvan-capture.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
               "$unpacked/usr/share/man/$page" 2>&1 >/dev/null)
    echo "man --warnings $page: ${warnings:-clean}"
    [ -z "$warnings" ] || fail "man warns about $page"
  done
  # The capture tool's page tells what its --help tells, word for word, only
  # with the help's own headings made the page's sections.
  diff <(help_words) <(page_words "$unpacked/usr/share/man/man1/quorvan-capture.1.gz") ||
    fail "the manual page and --help differ (help on the left)"
}

# The copyright file parses as Debian's machine-readable format (with Debian's
# own parser, strictly), and gives each file the package holds under the Expat
# licence, whose text it carries.
check_copyright() {
  (cd "$unpacked" && find . -type f -printf '%P\n') | /usr/bin/python3 -c '
import sys
from debian.copyright import Copyright
copyright = Copyright(open(sys.argv[1]), strict=True)
texts = {p.license.synopsis: p.license.text for p in copyright.all_license_paragraphs()}
for path in sys.stdin.read().split():
    licence = copyright.find_files_paragraph(path).license.synopsis
    assert licence == "Expat" and texts[licence].startswith("Permission is hereby granted"), path
' "$unpacked/usr/share/doc/quorvan/copyright" || fail "the copyright file"
}

# The package made again, a second later, is the same byte for byte: nothing in
# it carries the time it was made.
check_reproducibility() {
  local again=$unpacked/again
  sleep 1
  (cd "$build" && cpack -G DEB --config CPackConfig.cmake -B "$again" > /dev/null)
  cmp "$deb" "$again"/quorvan_*.deb || fail "two packages of one build differ"
  echo "two packages of one build are the same: $(sha256sum < "$deb")"
}

words() { tr -cs 'A-Za-z0-9' '\n' | sed '/^$/d'; }

help_words() {
  "$capture_tool" --help |
    sed -e 's/^Usage: //' -e '/^Options:$/d' -e '/^Examples:$/d' -e 's/^Exit status: //' | words
}

# The page's text from its synopsis up to the sections the help does not have,
# rendered without hyphenation and without the section headings.
page_words() {
  MANROFFOPT=-rHY=0 MANWIDTH=80 man -l "$1" 2>/dev/null | col -b |
    sed -n '/^SYNOPSIS/,/^SIGNALS/p' | grep -v '^[A-Z]' | words
}

"check_$check"
