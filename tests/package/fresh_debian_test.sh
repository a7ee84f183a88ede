#!/usr/bin/env bash
# fresh_debian_test.sh: installs the package with apt into a fresh minimal
# Debian 12 (debootstrap), plays the installed show from / under a private Xorg,
# captures a short video with the installed capture tool, and removes the package.
# Needs root (debootstrap, chroot, mounts) and the Debian mirror.
# Usage: fresh_debian_test.sh PACKAGE_FOLDER WORK_FOLDER XORG_CONFIG SHOW_PROBE
set -euo pipefail
export LC_ALL=C  # one sort order for the file lists
package_folder=$1 work=$2 xorg_config=$3 show_probe=$4

readonly skipped=77  # CTest's SKIP_RETURN_CODE
readonly show_frames=3194 capture_frames=60
[ "$(id -u)" -eq 0 ] || { echo "needs root: debootstrap, chroot and mounts"; exit $skipped; }
deb=$(echo "$package_folder"/quorvan_*.deb)
[ -f "$deb" ] || { echo "no package in $package_folder"; exit 1; }

fail() { echo "FAILED: $*"; exit 1; }
step() { echo "== $((SECONDS)) s: $*"; }

root=$work/root
xorg_pid=
mounted=()
clean_up() {
  [ -z "$xorg_pid" ] || { kill "$xorg_pid"; wait "$xorg_pid" || true; }
  local at
  for ((at = ${#mounted[@]} - 1; at >= 0; at--)); do umount "${mounted[at]}" || true; done
  # Only once nothing is mounted in it may the tree go.
  if ! grep -q " $root/" /proc/mounts; then rm -rf "$root"; fi
}
trap clean_up EXIT

# The mirror this machine's apt uses for Debian itself (not its security archive).
debian_mirror() {
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
      2>/dev/null | grep -oE 'https?://[^ ]+/debian/?( |$)' | grep -v security | head -n 1 |
    tr -d ' ' || true
}
mirror=$(debian_mirror)
mirror=${mirror:-http://deb.debian.org/debian}

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"; }
# The viewer: an ordinary user with a home, its PATH as Debian's login shells set it.
as_viewer() {
  chroot --userspec=viewer:viewer "$root" env -i HOME=/home/viewer USER=viewer LC_ALL=C.UTF-8 \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/games "$@"
}

step "debootstrap --variant=minbase bookworm from $mirror"
# A run that was killed may have left the host's X socket folder mounted in the
# old tree: removing that tree would remove the sockets.
! grep -q " $root/" /proc/mounts || fail "$root still has mounts; umount them first"
rm -rf "$root"
mkdir -p "$work"
debootstrap --variant=minbase bookworm "$root" "$mirror" > "$work/debootstrap.log" 2>&1 ||
  { tail -n 20 "$work/debootstrap.log"; fail "debootstrap"; }
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && mounted+=("$root/tmp/.X11-unix")
in_root useradd --create-home viewer

# What is in the tree before the package comes, to tell its own folders from shared ones.
find "$root/usr" "$root/etc" -xdev | sed "s|^$root||" | sort > "$work/before.txt"
packages_before=$(in_root dpkg-query -W | wc -l)

step "apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./tmp/$(basename "$deb")" \
  > "$work/install.log" 2>&1 || { tail -n 30 "$work/install.log"; fail "apt-get install"; }
pulled_in=$(($(in_root dpkg-query -W | wc -l) - packages_before - 1))
echo "quorvan and $pulled_in packages it needs"
in_root dpkg -L quorvan | sort > "$work/package_files.txt"

step "the installed quorvan from /, under a private Xorg"
Xorg -displayfd 3 -config "$xorg_config" -noreset -nolisten tcp -logfile "$work/xorg.log" \
  3> "$work/display" 2> "$work/xorg.stderr" &
xorg_pid=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(tr -d '\n' < "$work/display")
[ "$display" != : ] || { tail -n 15 "$work/xorg.stderr"; fail "Xorg did not start"; }

# The probe counts the frames. It is preloaded through ld.so.preload, as the
# launcher is a shell script: the probe takes LD_PRELOAD away from the first
# process it loads into. The show exits last, so the count it writes stays.
probe=/tmp/probe
mkdir -p "$root$probe" && chmod 777 "$root$probe"
cp "$show_probe" "$root$probe/show_probe.so"
echo "$probe/show_probe.so" > "$root/etc/ld.so.preload"
as_viewer sh -c "cd / && DISPLAY=$display SDL_AUDIODRIVER=dummy QUORVAN_PROBE_FOLDER=$probe \
  exec quorvan" > "$work/show.out" 2> "$work/show.err" && status=0 || status=$?
rm "$root/etc/ld.so.preload"
echo "exit status $status, $(cat "$root$probe/frames" 2>/dev/null) frames, standard output:"
cat "$work/show.out"
[ "$status" -eq 0 ] || { cat "$work/show.err"; fail "quorvan exited with $status"; }
[ "$(cat "$root$probe/frames")" -eq "$show_frames" ] || fail "not $show_frames frames"
[ "$(grep -cx ' ca passe ' "$work/show.out")" -eq 7 ] || fail "not seven ' ca passe ' lines"
[ "$(grep -cvx ' ca passe ' "$work/show.out")" -eq 0 ] || fail "other lines on standard output"
rm -rf "${root:?}$probe"

step "the installed quorvan-capture, $capture_frames frames into a folder of the viewer's"
videos=/home/viewer/videos
as_viewer sh -c "mkdir $videos && cd $videos && exec quorvan-capture --frames=1-$capture_frames \
  short.mp4" > "$work/capture.out" 2> "$work/capture.err" ||
  { cat "$work/capture.err"; fail "quorvan-capture"; }
# The installed pictures load, each with its line, though the folder holds none.
[ "$(grep -cx ' ca passe ' "$work/capture.out")" -eq 7 ] || fail "the capture missed pictures"
[ "$(ls -A "$root$videos")" = short.mp4 ] ||
  fail "the viewer's folder holds $(ls -A "$root$videos" | tr '\n' ' ')"
video_frames=$(in_root ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=nb_read_frames,width,height -of csv=p=0 $videos/short.mp4)
audio=$(in_root ffprobe -v error -select_streams a:0 -show_entries stream=codec_name -of csv=p=0 \
  $videos/short.mp4)
echo "short.mp4: width,height,frames $video_frames; audio $audio"
[ "$video_frames" = "640,480,$capture_frames" ] || fail "not $capture_frames frames of 640x480"
[ "$audio" = aac ] || fail "no AAC sound"

step "the installed quorvan-capture in a folder holding the viewer's own show"
own=/home/viewer/own
mkdir "$root$own"
for file in "$root"/usr/share/games/quorvan/*; do ln -s "${file#"$root"}" "$root$own/"; done
# The viewer's smiley is plain red: the middle of frame 40 shows it if the
# launcher leaves the capture in this folder.
rm "$root$own/smiley_256.raw"
printf '\377\000\000%.0s' $(seq 65536) > "$root$own/smiley_256.raw"
chown -R --reference="$root/home/viewer" "$root$own"
as_viewer sh -c "cd $own && exec quorvan-capture --png=40" > /dev/null 2> "$work/capture.err" ||
  { cat "$work/capture.err"; fail "quorvan-capture in the viewer's own show"; }
middle=$(in_root ffmpeg -v error -i $own/quorvan-frame-0040.png -vf crop=1:1:320:240 \
  -f rawvideo -pix_fmt rgb24 - | od -An -tu1 | tr -s ' ')
echo "the middle of frame 40 of the viewer's own show: RGB$middle"
[ "$middle" = " 255 0 0" ] || fail "the capture did not show the viewer's own smiley"
grep -qx "quorvan-capture: capturing the show of $own" "$work/capture.err" || fail "the launcher did not say whose show"
# Lacking some files, the folder is said to lack them, and the installed show plays.
rm "$root$own/quorvan.xm" "$root$own/who_256.raw"
as_viewer sh -c "cd $own && exec quorvan-capture --help" > /dev/null 2> "$work/capture.err"
cat "$work/capture.err"
grep -qx "quorvan-capture: $own lacks who_256.raw quorvan.xm; capturing the installed show of /usr/share/games/quorvan" \
  "$work/capture.err" || fail "the launcher did not say what the folder lacks"

step "apt-get remove quorvan"
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q quorvan > "$work/remove.log" 2>&1 ||
  { tail -n 20 "$work/remove.log"; fail "apt-get remove"; }
# Nothing of it is kept, not even its configuration: dpkg forgets it or calls it not installed.
state=$(in_root dpkg-query -W -f='${db:Status-Status}' quorvan 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = not-installed ] || fail "dpkg still holds quorvan: $state"
# Everything the package brought is gone, folders included, but for folders
# that packages it pulled in hold too.
left=$(comm -23 "$work/package_files.txt" "$work/before.txt" | while read -r path; do
         [ ! -e "$root$path" ] || in_root dpkg-query -S "$path" > /dev/null 2>&1 || echo "$path"
       done)
[ -z "$left" ] || fail "left behind: $left"
echo "$(comm -23 "$work/package_files.txt" "$work/before.txt" | wc -l) paths new with the package, none left"
# What it pulled in is apt-get autoremove's to take away (bar what the base
# system's packages recommend, which apt keeps).
echo "apt-get autoremove would remove $(in_root apt-get -s autoremove | grep -c '^Remv ') packages"
step "done"
