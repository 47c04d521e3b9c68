#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Checks a release as its users get it, in the FOLDER tools/build-release.sh
# made: SHA256SUMS as a person checks the downloads with it, each archive's
# members and their order, owners and times, LIESMICH.txt as Notepad reads it,
# the Debian package as Debian's checker sees it, and every static program
# unpacked and run (under qemu as the oldest processor it is offered for) on
# the report inputs, compared with the native program of NATIVE-DIR (a build
# tree of this machine with its tests, build/ by default).
#   tools/check-release.sh FOLDER [NATIVE-DIR [COMMIT]]
# With COMMIT, the release must be that commit's, built at its time.
# Needs what .ci/run installs (lintian, qemu-user, file, binutils, zip).
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 3 ] || { echo "usage: $0 FOLDER [NATIVE-DIR [COMMIT]]" >&2; exit 2; }
release=$(cd "$1" && pwd)
native=$(cd "${2:-$(dirname "$0")/../build}" && pwd)
source=$release/source
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/static/CMakeCache.txt")
epoch=$(git -C "$source" log -1 --format=%ct)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-release: $*" >&2; exit 1; }

if [ $# -eq 3 ]; then
  echo "== the commit"
  [ "$(git -C "$source" rev-parse HEAD)" = "$(git -C "$source" rev-parse --verify "$3^{commit}")" ] ||
    fail "the release is of $(git -C "$source" rev-parse HEAD), not of $3"
fi

# expect_members LISTING MEMBER...: the listing, in its order, is the members.
expect_members() {
  echo "$1"
  if [ "$1" != "$(printf '%s\n' "${@:2}")" ]; then
    printf 'expected:\n' >&2 && printf '  %s\n' "${@:2}" >&2 && exit 1
  fi
}
# A ZIP's members in the order they are stored.
zip_members() { cmake -E tar tf "$1" | grep -v '/$' || true; }

echo "== the sums"
# SHA256SUMS names the published archives, by bare name, and nothing else; in
# a folder of exactly those downloads a plain check passes, and it fails
# naming the file when one is altered or missing.
cd "$release"
expect_members "$(awk '{ print $2 }' SHA256SUMS | LC_ALL=C sort)" \
  $(find . -maxdepth 1 -type f \( -name '*.deb' -o -name '*.zip' -o -name '*.tar.gz' \) -printf '%P\n' |
    LC_ALL=C sort)
mkdir "$scratch/download"
cp $(awk '{ print $2 }' SHA256SUMS) SHA256SUMS "$scratch/download/"
cd "$scratch/download"
sha256sum -c SHA256SUMS
first=$(awk 'NR == 1 { print $2 }' SHA256SUMS) last=$(awk 'END { print $2 }' SHA256SUMS)
printf 'x' >>"$first" && mv "$last" "$scratch/"
if sha256sum -c SHA256SUMS >"$scratch/check" 2>&1; then
  fail "sha256sum -c passed with $first altered and $last missing"
fi
grep -qx "$first: FAILED" "$scratch/check" || fail "sha256sum -c did not name the altered $first"
grep -q "$last" "$scratch/check" || fail "sha256sum -c did not name the missing $last"
cd "$release"

echo "== the ZIP archives"
# Members in name order, so that the bytes do not depend on the order a file
# system lists a folder in: the Windows one for its user, with the German text
# instead of the README; the web one, one folder with the page (the module,
# and the manifest, with its icons, and the service worker that keep it
# offline and installable) and the licence.
win=tarvelin-$version-win32
expect_members "$(zip_members "$win.zip")" \
  "$win/CHANGELOG.md" "$win/LICENSE" "$win/LIESMICH.txt" "$win/tarvelin.exe"
web=tarvelin-web-$version
expect_members "$(zip_members "$web.zip")" "$web/LICENSE" "$web/index.html" \
  "$web/manifest.webmanifest" "$web/sw.js" "$web/tarvelin.wasm"
# LIESMICH.txt as Notepad reads it best: a byte order mark, CR LF at each
# line's end and no other control character (an overstrike left by col would
# show as a box and a letter twice).
cmake -E chdir "$scratch" cmake -E tar xf "$release/$win.zip"
liesmich=$scratch/$win/LIESMICH.txt
[ "$(head -c 3 "$liesmich" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "LIESMICH.txt has no byte order mark"
lines=$(wc -l <"$liesmich")
[ "$lines" -gt 50 ] || fail "LIESMICH.txt is nearly empty"
[ "$(tr -cd '\r' <"$liesmich" | wc -c)" -eq "$lines" ] && ! grep -qv $'\r$' "$liesmich" ||
  fail "LIESMICH.txt has a line end other than CR LF"
if LC_ALL=C grep -n $'[\x01-\x08\x09\x0b\x0c\x0e-\x1f\x7f]' "$liesmich" | head -n 3 | grep .; then
  fail "LIESMICH.txt holds control characters (above)"
fi

echo "== the Debian package"
# A dynamically linked program, as Debian wants. Debian's own checker, as
# strict as it goes: no error and no warning. What remains is informational
# (I:) or overridden in the package, with its reason (an override shown with
# --show-overrides would count as a failure again).
package=$(awk '/\.deb$/ { print $2 }' SHA256SUMS)
dpkg-deb -I "$package"
dpkg-deb -x "$package" "$scratch/deb"
doc=./usr/share/doc/tarvelin
expect_members "$(dpkg-deb -c "$package" | awk '{ print $6 }' | grep -v '/$')" ./usr/bin/tarvelin \
  $doc/changelog.Debian.gz $doc/changelog.gz $doc/copyright ./usr/share/lintian/overrides/tarvelin \
  ./usr/share/man/man1/tarvelin.1.gz
zcat "$scratch/deb/$doc/changelog.gz" | cmp - "$source/CHANGELOG.md"
zcat "$scratch/deb/usr/share/man/man1/tarvelin.1.gz" | cmp - "$release/static/man/tarvelin.1"
"$scratch/deb/usr/bin/tarvelin" 5 2 -m | cmp - "$source/tests/e2e/expected/5_2_multi.out"
# Every member, of the files and of the control files, at the commit's time.
time=$(TZ=UTC0 date -d "@$epoch" '+%F %T')
at_commit_time() {  # LABEL: the verbose tar listing on standard input
  TZ=UTC0 tar tv --full-time | awk -v time="$time" '$4 " " $5 != time { print; bad = 1 } END { exit bad }' >&2 ||
    fail "$1: members not at the commit's time, $time (above)"
}
dpkg-deb --fsys-tarfile "$package" | at_commit_time "$package"
dpkg-deb --ctrl-tarfile "$package" | at_commit_time "$package's control"
# Installed-Size as dpkg-gencontrol counts it, from the package's own listing:
# each file's size in whole KiB rounded up, each folder 1.
size=$(dpkg-deb -c "$package" |
  awk '{ n += substr($1, 1, 1) == "d" ? 1 : int(($3 + 1023) / 1024) } END { print n }')
[ "$(dpkg-deb -f "$package" Installed-Size)" = "$size" ] ||
  fail "Installed-Size is $(dpkg-deb -f "$package" Installed-Size), the files make $size"
lintian --display-info --pedantic --fail-on error,warning "$package"

echo "== the static programs' archives"
# Each as a person unpacks it: one folder with exactly these files, stored in
# name order, owned by 0/0 with no user or group name, at the commit's time; a
# stripped program that needs no loader or shared library, and that prints
# every report input as the native program does, fails a write with status 2
# and shows the usage screen with status 1. An Arm program runs under qemu as
# the oldest processor it is offered for: the Cortex-A53 of a Raspberry Pi 3
# for the 64-bit one, the ARM1176 (ARMv6) of a Raspberry Pi 1 or Zero for the
# 32-bit one.
# First what each archive holds, then the programs run, the slow part.
unpack_static_archive() {  # ARCHIVE
  local archive=$1 name kind
  name=$(basename "$archive" .tar.gz)
  expect_members "$(tar tzf "$archive")" "$name/" "$name/CHANGELOG.md" \
    "$name/LICENSE" "$name/README.md" "$name/tarvelin" "$name/tarvelin.1"
  gzip -dc "$archive" | at_commit_time "$archive"
  tar tvzf "$archive" | awk '$2 != "0/0" { print; bad = 1 } END { exit bad }' >&2 ||
    fail "$archive: members not owned by 0/0 or with an owner's name (above)"
  tar xzf "$archive" -C "$scratch" --warning=no-timestamp
  kind=$(file -b "$scratch/$name/tarvelin")
  echo "$name/tarvelin: $kind"
  [[ $kind == *"statically linked"* && $kind == *", stripped"* ]] ||
    fail "$name/tarvelin is not a stripped static program"
}
run_static_program() {  # FOLDER [EMULATOR...]
  local name=$1 status
  shift
  "$source/tests/compare/compare_builds.sh" programs "$source/tests/data/report_inputs.txt" \
    "$native" "$@" "$scratch/$name/tarvelin"
  status=0 && "$@" "$scratch/$name/tarvelin" 5 2 >/dev/full || status=$?
  [ "$status" -eq 2 ] || fail "$name/tarvelin: status $status after a failed write"
  status=0 && (cd "$scratch/$name" && "$@" ./tarvelin >"$scratch/usage") || status=$?
  [ "$status" -eq 1 ] || fail "$name/tarvelin: status $status after the usage screen"
  (cd "$native" && ./tarvelin >"$scratch/usage.native") || true
  cmp "$scratch/usage.native" "$scratch/usage"
}
musl=tarvelin-$version-x86_64-linux-musl arm64=tarvelin-$version-aarch64-linux
arm=tarvelin-$version-arm-linux
for name in "$musl" "$arm64" "$arm"; do
  unpack_static_archive "$name.tar.gz"
done
# The 32-bit one is built for an ARMv6 or older, as its attributes say: qemu
# may run an instruction the ARM1176 lacks.
arch=$(readelf -A "$scratch/$arm/tarvelin" | sed -n 's/^ *Tag_CPU_arch: //p')
echo "$arm/tarvelin: Tag_CPU_arch $arch"
[[ $arch =~ ^v(4|4T|5T|5TE|5TEJ|6|6KZ|6K)$ ]] || fail "the 32-bit Arm program is for $arch, not for an ARMv6"
run_static_program "$arm" qemu-arm -cpu arm1176
run_static_program "$arm64" qemu-aarch64 -cpu cortex-a53
run_static_program "$musl"
