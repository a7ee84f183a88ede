#!/bin/sh
# capture_manual.sh: writes quorvan-capture's manual page: the page's frame
# with the tool's own --help text, turned into roff, in place of its %HELP% line.
# Usage: capture_manual.sh TOOL FRAME HELP_TO_MAN_AWK OUTPUT
set -e
tool=$1 frame=$2 converter=$3 output=$4
"$tool" --help | awk -f "$converter" > "$output.help"
sed -e '/^%HELP%$/{' -e "r $output.help" -e 'd' -e '}' "$frame" > "$output"
rm "$output.help"
