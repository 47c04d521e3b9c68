#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Builds the release artefacts of a commit from a clean clone in FOLDER and
# prints their SHA-256 sums: a Debian package for each of amd64, i386, arm64,
# armhf, armel, ppc64el and s390x (with the cross compilers of the presets of
# those machines, and the multilib g++ for i386), the Windows archive, the web
# page's archive (clang-14, lld-14, wasi-libc and its wasm32 libraries,
# netpbm, zip) and the archives of three static programs: for any x86-64 Linux
# on musl (musl-tools, clang-14, libc++-14-dev, libclang-rt-14-dev), for
# 64-bit Arm Linux and for 32-bit Arm Linux of every generation (armel, which
# runs on the ARMv6 of a Raspberry Pi 1 or Zero too) on glibc
# (g++-aarch64-linux-gnu, g++-arm-linux-gnueabi and qemu-user, which their
# toolchain files require). On the same system (Debian 12 with what .ci/run
# installs) every run for one commit gives the same sums, wherever it runs and
# on whatever file system, so a release can be checked against its source.
#   tools/build-release.sh FOLDER [COMMIT]          (COMMIT: HEAD by default)
# FOLDER then holds what is published, side by side: the archives and
# SHA256SUMS, their sums by bare name, which `sha256sum -c SHA256SUMS` checks
# where they are downloaded. The sums of the bare programs, to compare with a
# build from source without unpacking, are in FOLDER/programs.sha256 (not
# published). The file times are the commit's (SOURCE_DATE_EPOCH). The Debian
# packages' maintainer is TARVELIN_DEBIAN_MAINTAINER from the environment, by
# default the commit's committer; to check a published package, give the one
# its control file names (set but empty, it stops the build: a maintainer read
# from a package that is not there would be lost otherwise).
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 FOLDER [COMMIT]" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$1
commit=$(git -C "$repo" rev-parse --verify "${2:-HEAD}^{commit}")
mkdir -p "$out"
out=$(cd "$out" && pwd)
log="$out/build.log"
# The builds write to the log; a failure says so on the caller's own standard
# error, wherever it happens.
exec 3>&2
trap '[ $? -eq 0 ] || { echo "build-release: failed; the end of $log:"; tail -n 30 "$log"; } >&3' EXIT

src="$out/source"
git clone -q --no-checkout "$repo" "$src"
git -C "$src" checkout -q "$commit"
SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
maintainer=${TARVELIN_DEBIAN_MAINTAINER-$(git -C "$src" log -1 --format='%cn <%ce>')}
[ -n "$maintainer" ] || { echo "build-release: TARVELIN_DEBIAN_MAINTAINER is empty" >&2; exit 2; }
version=$(sed -n 's/^project(tarvelin VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")

# repack_zip ARCHIVE: the ZIP cpack made, its members packed again in name
# order, each with the commit's time (in UTC, as a ZIP's times are local) and
# the same permissions, and no owner or extra times (zip -X), so that its bytes
# depend on the files alone and not on the order the file system lists them in.
repack_zip() {
  local archive=$1 members
  members=$(mktemp -d "$out/zip.XXXXXX")
  cmake -E chdir "$members" cmake -E tar xf "$archive"
  chmod -R u+rwX,go+rX,go-w "$members"
  find "$members" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  rm "$archive"
  (cd "$members" && find . -type f -printf '%P\n' | LC_ALL=C sort |
    TZ=UTC0 zip -X -D -9 -q "$archive" -@)
  rm -r "$members"
}

{
  cmake -S "$src" -B "$out/static" -DTARVELIN_BUILD_TESTS=OFF
  cmake --build "$out/static" -j2
  # The Debian packages, each for the architecture it names, with a
  # dynamically linked program.
  for machine in amd64: i386:i686-linux-gnu arm64:aarch64-linux-gnu armhf:arm-linux-gnueabihf \
    armel:arm-linux-gnueabi ppc64el:powerpc64le-linux-gnu s390x:s390x-linux-gnu; do
    arch=${machine%%:*} toolchain=${machine#*:}
    cmake -S "$src" -B "$out/debian-$arch" -DTARVELIN_BUILD_TESTS=OFF -DTARVELIN_STATIC=OFF \
      -DTARVELIN_DEBIAN_MAINTAINER="$maintainer" -DTARVELIN_DEBIAN_ARCH="$arch" \
      ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/$toolchain.cmake"}
    cmake --build "$out/debian-$arch" -j2
    (cd "$out/debian-$arch" && cpack -G DEB)
  done
  cmake -S "$src" -B "$out/windows" -DTARVELIN_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/i686-w64-mingw32.cmake"
  cmake --build "$out/windows" -j2
  (cd "$out/windows" && cpack -G ZIP)
  repack_zip "$out/windows/tarvelin-$version-win32.zip"
  cmake -S "$src" -B "$out/web" -DTARVELIN_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/wasm32-wasi.cmake"
  cmake --build "$out/web" -j2
  (cd "$out/web" && cpack -G ZIP)
  repack_zip "$out/web/tarvelin-web-$version.zip"
  # The static programs, without their tests: the presets of these trees run
  # them, and here they would only add time.
  for target in x86_64-linux-musl aarch64-linux-gnu arm-linux-gnueabi; do
    cmake -S "$src" -B "$out/$target" -DTARVELIN_BUILD_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/$target.cmake"
    cmake --build "$out/$target" -j2
  done
} >"$log" 2>&1
[ "$version" = "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/static/CMakeCache.txt")" ]

# pack_static BUILD-DIR NAME: the archive NAME.tar.gz of a static program, one
# folder NAME with the program stripped (as the Debian package's: no symbols,
# no debugging sections, no compiler notes), its manual page, README, LICENSE
# and CHANGELOG; names sorted, owner 0 and no owner's name, the commit's time
# and no name or time in the gzip header, so that its bytes depend on the files
# alone.
pack_static() {
  local build=$1 name=$2 strip
  strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/CMakeCache.txt")
  mkdir "$build/$name"
  cp "$build/man/tarvelin.1" "$src/README.md" "$src/LICENSE" "$src/CHANGELOG.md" "$build/$name/"
  # Stripped into place, not in place: strip replaces the file it strips while
  # it still holds it open, and on a FUSE file system the old one is removed
  # late, changing the folder as tar reads it.
  "$strip" --strip-all --remove-section=.comment --remove-section=.note \
    -o "$build/$name/tarvelin" "$build/tarvelin"
  tar -C "$build" --sort=name --owner=0 --group=0 --numeric-owner --format=gnu \
    --mtime="@$SOURCE_DATE_EPOCH" --mode='u+rwX,go+rX,go-w' -cf - "$name" |
    gzip -9n >"$build/$name.tar.gz"
}
# Named so that a person can tell which to take: the processor as `uname -m`
# begins to name it (arm for every 32-bit Arm, armv6l or armv7l), then Linux.
pack_static "$out/x86_64-linux-musl" "tarvelin-$version-x86_64-linux-musl"
pack_static "$out/aarch64-linux-gnu" "tarvelin-$version-aarch64-linux"
pack_static "$out/arm-linux-gnueabi" "tarvelin-$version-arm-linux"

# What a person downloads lies side by side in FOLDER, listed in SHA256SUMS by
# bare name and nothing else, so that a plain `sha256sum -c SHA256SUMS` in the
# folder of the downloads checks them all and names one missing or altered.
# The packages go by the names cpack gave them.
cd "$out"
cp debian-*/tarvelin_*.deb "windows/tarvelin-$version-win32.zip" "web/tarvelin-web-$version.zip" \
  "x86_64-linux-musl/tarvelin-$version-x86_64-linux-musl.tar.gz" \
  "aarch64-linux-gnu/tarvelin-$version-aarch64-linux.tar.gz" \
  "arm-linux-gnueabi/tarvelin-$version-arm-linux.tar.gz" .
# In the C locale's order: a shell sorts the names a pattern matches by the
# locale's collation.
sha256sum $(printf '%s\n' *.deb *.zip *.tar.gz | LC_ALL=C sort) | tee SHA256SUMS
sha256sum static/tarvelin windows/tarvelin.exe >programs.sha256
