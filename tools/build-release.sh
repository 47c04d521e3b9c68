#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Builds the release artefacts of a commit from a clean clone in FOLDER and
# prints their SHA-256 sums: the program as `cmake --install` gives it, the
# Debian package, tarvelin.exe, the Windows archive and the static musl
# program's archive for any x86-64 Linux (it needs musl-tools, clang-14,
# libc++-14-dev and libclang-rt-14-dev). On the same system
# (Debian 12 with what .ci/run installs) every run for one commit gives the
# same sums, wherever it runs, so a release can be checked against its source.
#   tools/build-release.sh FOLDER [COMMIT]          (COMMIT: HEAD by default)
# The file times are the commit's (SOURCE_DATE_EPOCH). The Debian package's
# maintainer is TARVELIN_DEBIAN_MAINTAINER from the environment, by default
# the commit's committer; to check a published package, give the one its
# control file names.
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 FOLDER [COMMIT]" >&2; exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$1
commit=$(git -C "$repo" rev-parse --verify "${2:-HEAD}^{commit}")
mkdir -p "$out"
out=$(cd "$out" && pwd)
log="$out/build.log"
trap 'echo "build-release: failed; the end of $log:" >&2; tail -n 30 "$log" >&2' ERR

src="$out/source"
git clone -q --no-checkout "$repo" "$src"
git -C "$src" checkout -q "$commit"
SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
maintainer=${TARVELIN_DEBIAN_MAINTAINER:-$(git -C "$src" log -1 --format='%cn <%ce>')}

{
  cmake -S "$src" -B "$out/static" -DTARVELIN_BUILD_TESTS=OFF
  cmake --build "$out/static" -j2
  cmake -S "$src" -B "$out/debian" -DTARVELIN_BUILD_TESTS=OFF -DTARVELIN_STATIC=OFF \
    -DTARVELIN_DEBIAN_MAINTAINER="$maintainer"
  cmake --build "$out/debian" -j2
  (cd "$out/debian" && cpack -G DEB)
  cmake -S "$src" -B "$out/windows" -DTARVELIN_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/i686-w64-mingw32.cmake"
  cmake --build "$out/windows" -j2
  (cd "$out/windows" && cpack -G ZIP)
  cmake -S "$src" -B "$out/musl" -DTARVELIN_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchains/x86_64-linux-musl.cmake"
  cmake --build "$out/musl" -j2
} >"$log" 2>&1

# The musl archive: one folder with the program, its manual page, README and
# LICENSE; names sorted, owner 0, the commit's time and no name or time in
# the gzip header, so that its bytes depend on the files alone.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/musl/CMakeCache.txt")
musl_name=tarvelin-$version-x86_64-linux-musl
mkdir "$out/musl/$musl_name"
cp "$out/musl/tarvelin" "$out/musl/man/tarvelin.1" "$src/README.md" "$src/LICENSE" \
  "$out/musl/$musl_name/"
tar -C "$out/musl" --sort=name --owner=0 --group=0 --numeric-owner --format=gnu \
  --mtime="@$SOURCE_DATE_EPOCH" --mode='u+rwX,go+rX,go-w' -cf - "$musl_name" |
  gzip -9n >"$out/musl/$musl_name.tar.gz"

cd "$out"
sha256sum static/tarvelin debian/tarvelin_"$version"-*.deb windows/tarvelin.exe \
  "windows/tarvelin-$version-win32.zip" \
  "musl/$musl_name.tar.gz" |
  tee SHA256SUMS
