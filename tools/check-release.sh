#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Checks a release as its users get it, in the FOLDER tools/build-release.sh
# made: SHA256SUMS as a person checks the downloads with it, every file name
# the texts give a person, each archive's members and their order, modes,
# owners and times, LIESMICH.txt as Notepad reads it, the Debian packages as
# Debian's checker sees them, each installed and removed again with dpkg as on
# its own machine, and every program, of the packages and of the static
# archives, held to the processor its name promises and run (under qemu as the
# oldest processor it is offered for, on its own C library) on the report
# inputs, compared with the native program of NATIVE-DIR (a build tree of this
# machine with its tests, by default build/ of the checkout this script is in).
#   tools/check-release.sh FOLDER [COMMIT [NATIVE-DIR]]
# With COMMIT, the release must be that commit's, built at its time. It runs
# from any folder. Needs what .ci/run installs (lintian, qemu-user, the cross
# compilers' C libraries, file, binutils, zip).
set -euo pipefail

[ $# -ge 1 ] && [ $# -le 3 ] || { echo "usage: $0 FOLDER [COMMIT [NATIVE-DIR]]" >&2; exit 2; }
release=$(cd "$1" && pwd)
native=$(cd "${3:-$(dirname "$0")/../build}" && pwd)
source=$release/source
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/static/CMakeCache.txt")
epoch=$(git -C "$source" log -1 --format=%ct)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-release: $*" >&2; exit 1; }

if [ $# -ge 2 ]; then
  echo "== the commit"
  [ "$(git -C "$source" rev-parse HEAD)" = "$(git -C "$source" rev-parse --verify "$2^{commit}")" ] ||
    fail "the release is of $(git -C "$source" rev-parse HEAD), not of $2"
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
# SHA256SUMS names the published files, by bare name, and nothing else; in
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
# And they are the release's downloads: a package for each machine, by the
# name the README gives it, and the five archives.
published=$(awk '{ print $2 }' SHA256SUMS | LC_ALL=C sort)
revision=$(sed -n 's/^TARVELIN_DEBIAN_REVISION:STRING=//p' "$release/debian-amd64/CMakeCache.txt")
arches="amd64 arm64 armel armhf i386 ppc64el s390x"
expect_members "$published" "tarvelin-$version-aarch64-linux.tar.gz" "tarvelin-$version-arm-linux.tar.gz" \
  "tarvelin-$version-win32.zip" "tarvelin-$version-x86_64-linux-musl.tar.gz" "tarvelin-web-$version.zip" \
  $(printf "tarvelin_$version-${revision}_%s.deb\n" $arches)

echo "== the names the texts give"
# Every download the README, LIESMICH.txt and the manual page name is one the
# release publishes, and no placeholder of their making is left in them; the
# README offers every download.
check_names() {  # TEXT
  local name
  for name in $(grep -oE 'tarvelin[-_][A-Za-z0-9._-]*[.](deb|zip|tar[.]gz)' "$1" | sort -u); do
    grep -qx "$name" <<<"$published" || fail "$1 names $name, which the release does not publish"
  done
  if grep -nE '[$][{][A-Za-z_]+[}]|@[A-Z_]+@|<version>' "$1"; then
    fail "$1 holds a placeholder (above)"
  fi
}
cmake -E chdir "$scratch" cmake -E tar xf "$release/tarvelin-$version-win32.zip"
for text in "$source/README.md" "$scratch/tarvelin-$version-win32/LIESMICH.txt" "$release/static/man/tarvelin.1"; do
  check_names "$text"
done
for name in $published; do
  grep -qF "$name" "$source/README.md" || fail "README.md does not offer $name"
done

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
liesmich=$scratch/$win/LIESMICH.txt
[ "$(head -c 3 "$liesmich" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "LIESMICH.txt has no byte order mark"
lines=$(wc -l <"$liesmich")
[ "$lines" -gt 50 ] || fail "LIESMICH.txt is nearly empty"
[ "$(tr -cd '\r' <"$liesmich" | wc -c)" -eq "$lines" ] && ! grep -qv $'\r$' "$liesmich" ||
  fail "LIESMICH.txt has a line end other than CR LF"
if LC_ALL=C grep -n $'[\x01-\x08\x09\x0b\x0c\x0e-\x1f\x7f]' "$liesmich" | head -n 3 | grep .; then
  fail "LIESMICH.txt holds control characters (above)"
fi

# emulator ARCH: how this machine runs a program of a Debian architecture on
# that architecture's C library (the multilib one for i386, a cross compiler's
# for the others), as the oldest processor Debian builds the architecture for.
emulator() {
  case $1 in
  i386) echo qemu-i386 -cpu pentium2,-mmx /lib32/ld-linux.so.2 --library-path /lib32 ;;
  arm64) echo qemu-aarch64 -L /usr/aarch64-linux-gnu -cpu cortex-a53 ;;
  armhf) echo qemu-arm -L /usr/arm-linux-gnueabihf -cpu cortex-a8 ;;
  armel) echo qemu-arm -L /usr/arm-linux-gnueabi -cpu arm1176 ;;
  ppc64el) echo qemu-ppc64le -L /usr/powerpc64le-linux-gnu -cpu power8 ;;
  s390x) echo qemu-s390x -L /usr/s390x-linux-gnu ;;  # no z196 in qemu without KVM
  esac
}
# library_version NAME ARCH: the version of the package that brings the
# library NAME (libc6, libgcc-s1) of ARCH to this machine.
library_version() {
  local package
  for package in "$1-$2-cross" "$1-$2" "$1:$2"; do
    dpkg-query -W -f '${db:Status-Abbrev}${Version}\n' "$package" 2>/dev/null | sed -n 's/^ii *//p' | grep . &&
      return
  done
  fail "this machine has no $1 for $2"
}
# Every member at the commit's time.
time=$(TZ=UTC0 date -d "@$epoch" '+%F %T')
at_commit_time() {  # LABEL: the verbose tar listing on standard input
  TZ=UTC0 tar tv --full-time | awk -v time="$time" '$4 " " $5 != time { print; bad = 1 } END { exit bad }' >&2 ||
    fail "$1: members not at the commit's time, $time (above)"
}

echo "== the Debian packages"
# Dynamically linked programs, as Debian wants, each for the machine its name
# and its control file name, depending on that machine's own C library.
# Debian's own checker, as strict as it goes: no error and no warning. What
# remains is informational (I:) or overridden in the package, with its reason
# (an override shown with --show-overrides would count as a failure again).
doc=./usr/share/doc/tarvelin
for arch in $arches; do
  package=tarvelin_$version-${revision}_$arch.deb
  dpkg-deb -I "$package"
  [ "$(dpkg-deb -f "$package" Architecture)" = "$arch" ] ||
    fail "$package is for $(dpkg-deb -f "$package" Architecture)"
  for library in $(dpkg-deb -f "$package" Depends | sed 's/ ([^)]*)//g; s/,/ /g'); do
    [[ $library =~ ^(libc6|libgcc-s1)$ ]] || fail "$package depends on $library, not its machine's own library"
  done
  dpkg-deb -x "$package" "$scratch/deb-$arch"
  "$source/tests/release/check_processor.sh" "$arch" "$scratch/deb-$arch/usr/bin/tarvelin"
  # Its files, modes as Debian's tools set them (rwxr-xr-x for folders and the
  # program, rw-r--r-- for the rest), owned by root.
  expect_members "$(dpkg-deb -c "$package" | awk '$6 !~ /\/$/ { print $6 }')" ./usr/bin/tarvelin \
    $doc/changelog.Debian.gz $doc/changelog.gz $doc/copyright ./usr/share/lintian/overrides/tarvelin \
    ./usr/share/man/man1/tarvelin.1.gz
  dpkg-deb -c "$package" | awk '{ mode = $6 ~ /\/$/ ? "drwxr-xr-x" : $6 == "./usr/bin/tarvelin" ? "-rwxr-xr-x" : "-rw-r--r--" }
    $1 != mode || $2 != "root/root" { print; bad = 1 } END { exit bad }' >&2 ||
    fail "$package: members with other modes or owners (above)"
  zcat "$scratch/deb-$arch/$doc/changelog.gz" | cmp - "$source/CHANGELOG.md"
  zcat "$scratch/deb-$arch/usr/share/man/man1/tarvelin.1.gz" | cmp - "$release/static/man/tarvelin.1"
  dpkg-deb --fsys-tarfile "$package" | at_commit_time "$package"
  dpkg-deb --ctrl-tarfile "$package" | at_commit_time "$package's control"
  # Installed-Size as dpkg-gencontrol counts it, from the package's own
  # listing: each file's size in whole KiB rounded up, each folder 1.
  size=$(dpkg-deb -c "$package" |
    awk '{ n += substr($1, 1, 1) == "d" ? 1 : int(($3 + 1023) / 1024) } END { print n }')
  [ "$(dpkg-deb -f "$package" Installed-Size)" = "$size" ] ||
    fail "$package: Installed-Size is $(dpkg-deb -f "$package" Installed-Size), the files make $size"
done
lintian --display-info --pedantic --fail-on error,warning $(printf "tarvelin_$version-${revision}_%s.deb " $arches)

echo "== the static programs' archives"
# Each as a person unpacks it: one folder with exactly these files, stored in
# name order, owned by 0/0 with no user or group name, at the commit's time; a
# stripped program that needs no loader or shared library, for the processor
# its name promises (the 32-bit Arm one for every Raspberry Pi, armel's).
musl=tarvelin-$version-x86_64-linux-musl arm64=tarvelin-$version-aarch64-linux
arm=tarvelin-$version-arm-linux
for name in "$musl:amd64" "$arm64:arm64" "$arm:armel"; do
  arch=${name#*:} name=${name%:*}
  expect_members "$(tar tzf "$name.tar.gz")" "$name/" "$name/CHANGELOG.md" \
    "$name/LICENSE" "$name/README.md" "$name/tarvelin" "$name/tarvelin.1"
  gzip -dc "$name.tar.gz" | at_commit_time "$name.tar.gz"
  tar tvzf "$name.tar.gz" | awk '$2 != "0/0" { print; bad = 1 } END { exit bad }' >&2 ||
    fail "$name.tar.gz: members not owned by 0/0 or with an owner's name (above)"
  tar xzf "$name.tar.gz" -C "$scratch" --warning=no-timestamp
  kind=$(file -b "$scratch/$name/tarvelin")
  echo "$name/tarvelin: $kind"
  [[ $kind == *"statically linked"* && $kind == *", stripped"* ]] ||
    fail "$name/tarvelin is not a stripped static program"
  "$source/tests/release/check_processor.sh" "$arch" "$scratch/$name/tarvelin"
done

echo "== every program run"
# Each program prints every report input as the native program does, fails a
# write with status 2 and shows the usage screen with status 1. A package's
# program runs installed with dpkg into a root of its own, as on its machine:
# where dpkg knows the package's architecture and the libraries it depends on
# at the versions this machine runs it with (so that a package for another
# machine, or needing a newer library, is refused); removed again, it leaves
# nothing behind.
# reports FOLDER [EMULATOR...]: FOLDER/tarvelin on every report input, in
# both layouts, two at a time: each report after a line naming its arguments
# and before its exit status, all in one text.
reports() {
  local folder=$1 out command
  shift
  out=$(mktemp -d "$scratch/reports.XXXXXX")
  command=$(printf '%q ' "$@" "$folder/tarvelin")
  grep -v '^#' "$source/tests/data/report_inputs.txt" |
    awk '{ print 2 * NR - 1, $1, $2; print 2 * NR, $1, $2, "-m" }' |
    xargs -P2 -L1 bash -c 'file=$1; shift; { echo "== $*"; '"$command"' "$@"; echo "status $?"; } >'"$out"'/"$file"' bash
  cat $(seq -f "$out/%g" "$(ls "$out" | wc -l)")
}
reports "$native" >"$scratch/reports.native"
run_program() {  # FOLDER [EMULATOR...]
  local folder=$1 status
  shift
  reports "$folder" "$@" >"$scratch/reports"
  if ! cmp -s "$scratch/reports.native" "$scratch/reports"; then
    diff -U7 "$scratch/reports.native" "$scratch/reports" | head -n 40 >&2
    fail "$folder/tarvelin: reports other than the native program's (above)"
  fi
  echo "$folder/tarvelin: $(grep -c '^== ' "$scratch/reports") reports, the native program's"
  status=0 && "$@" "$folder/tarvelin" 5 2 >/dev/full || status=$?
  [ "$status" -eq 2 ] || fail "$folder/tarvelin: status $status after a failed write"
  status=0 && (cd "$folder" && "$@" ./tarvelin >"$scratch/usage") || status=$?
  [ "$status" -eq 1 ] || fail "$folder/tarvelin: status $status after the usage screen"
  (cd "$native" && ./tarvelin >"$scratch/usage.native") || true
  cmp "$scratch/usage.native" "$scratch/usage"
}
run_program "$scratch/$arm" $(emulator armel)
run_program "$scratch/$arm64" $(emulator arm64)
run_program "$scratch/$musl"
for arch in $arches; do
  package=$release/tarvelin_$version-${revision}_$arch.deb root=$scratch/root-$arch
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  for library in $(dpkg-deb -f "$package" Depends | sed 's/ ([^)]*)//g; s/,/ /g'); do
    printf 'Package: %s\nStatus: install ok installed\nArchitecture: %s\nMulti-Arch: same\n' "$library" "$arch"
    printf 'Version: %s\nMaintainer: this machine\nDescription: %s\n\n' "$(library_version "$library" "$arch")" \
      "the library the program runs with here"
    touch "$root/var/lib/dpkg/info/$library:$arch.list"
  done >"$root/var/lib/dpkg/status"
  [ "$arch" = "$(dpkg --print-architecture)" ] || dpkg --root="$root" --add-architecture "$arch"
  dpkg --root="$root" --install "$package"
  run_program "$root/usr/bin" $(emulator "$arch")
  dpkg --root="$root" --purge tarvelin
  [ -z "$(find "$root" -mindepth 1 -path "$root/var" -prune -o -print)" ] ||
    fail "$package leaves files behind: $(find "$root" -mindepth 1 -path "$root/var" -prune -o -print)"
done
