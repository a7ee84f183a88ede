#!/usr/bin/env bash
# build_libopenmpt.sh: builds libopenmpt for the browser from Debian's own
# source package, with Emscripten, into a folder of the build tree.
# Usage: bash web/build_libopenmpt.sh FOLDER
# Leaves FOLDER/install/lib/libopenmpt.a and FOLDER/install/include; run again,
# it does nothing. The machine's apt sources are left as they are: the source
# index and the package go into FOLDER/apt, through a sources list of its own.
set -euo pipefail
# Emscripten's tools need Debian's Node modules, which a Node of another origin does not search.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
folder=$(realpath -m "$1")
install=$folder/install
[ -f "$install/lib/libopenmpt.a" ] && exit 0

apt_dir=$folder/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$folder/source"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
  > "$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/none"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
             -o "APT::Sandbox::User=root")
if ! ls "$folder"/source/libopenmpt-*/configure > /dev/null 2>&1; then
  apt-get -q "${apt_options[@]}" update
  (cd "$folder/source" && apt-get -q "${apt_options[@]}" source libopenmpt)
fi
source_dir=$(ls -d "$folder"/source/libopenmpt-*/ | head -n 1)

# Cross-compiled: configure runs none of its test programs. Only the library: no player, no examples, and none of the optional decoders
# (the show plays an XM module, which needs none of them). Exceptions must be
# caught inside the library, which Emscripten leaves off unless asked.
build=$folder/build
mkdir -p "$build"
cd "$build"
flags="-Os -fexceptions"
emconfigure "$source_dir/configure" --host=wasm32 --prefix="$install" --enable-static --disable-shared \
  --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc \
  --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
  --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sndfile --without-flac \
  CFLAGS="$flags" CXXFLAGS="$flags" LDFLAGS="-fexceptions" > configure.log
emmake make -j"$(nproc)" > make.log
emmake make install > install.log
