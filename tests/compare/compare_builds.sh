#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Holds a build to the native one (NATIVE-DIR, a build tree of this machine):
#   compare_builds.sh records CASES NATIVE-DIR [--windows] COMMAND...
#     the hash of the bits of the records of CASES random pairs of each kind
#     (tests/records_digest), COMMAND being this build's records_digest;
#   compare_builds.sh reports CASES NATIVE-DIR [--windows] COMMAND...
#     the same records' reports in both layouts, the text a user reads: the
#     bits can agree while a conversion for printing, or the C library's
#     printf, makes other text of them;
#   compare_builds.sh programs INPUTS NATIVE-DIR [--windows] COMMAND...
#     the program itself (COMMAND: this build's tarvelin) on every pair of
#     rates in the file INPUTS, both layouts, each report byte for byte.
# COMMAND starts with the emulator that runs this build's programs, if any.
# --windows: the program is a Windows one, whose text is mapped first.
set -euo pipefail

kind=$1 amount=$2 native_dir=$3
shift 3
windows=false
if [ "${1:-}" = --windows ]; then
  windows=true
  shift
fi
native_digest=$native_dir/tests/records_digest
native_program=$native_dir/tarvelin
for program in "$native_digest" "$native_program"; do
  if [ ! -x "$program" ]; then
    echo "no native program $program: build the native tree first" \
      "(cmake --workflow --preset native)" >&2
    exit 1
  fi
done

# A Windows program's C runtime writes a NaN without its sign, in the same
# field width, and its text mode ends every line with CR LF: the native text
# gets the one, this build's text loses the other.
native_text() {
  if $windows; then sed 's/-nan/ nan/g'; else cat; fi
}
target_text() {
  if $windows; then tr -d '\r'; else cat; fi
}

case $kind in
records)
  expected=$("$native_digest" "$amount")
  actual=$("$@" "$amount" | target_text)
  ;;
reports)
  expected="reports $("$native_digest" --reports "$amount" | native_text | sha256sum)"
  actual="reports $("$@" --reports "$amount" | target_text | sha256sum)"
  ;;
programs)
  # Every report into a file of its own, named after the input's line and
  # layout, two programs at a time; then each pair of files compared.
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  grep -v '^#' "$amount" >"$scratch/inputs"
  run_all() {
    local dir=$1 program
    shift
    program=$(printf '%q ' "$@")
    mkdir "$dir"
    awk -v dir="$dir" '{ print dir "/" NR "s", $1, $2; print dir "/" NR "m", $1, $2, "-m" }' \
      "$scratch/inputs" | xargs -P2 -L1 bash -c 'out=$1; shift; '"$program"' "$@" >"$out"' bash
  }
  run_all "$scratch/native" "$native_program"
  run_all "$scratch/this" "$@"
  # Each input's report with -m is its one line on five, the same text but
  # for white space: else the two runs did not get the same two rates (the
  # builds would agree on any wrong argument), or one got no report.
  reports=0 differing=0 apart=0
  squeezed() { tr -s ' \t\n' ' ' <"$1"; }
  for file in "$scratch/native"/*; do
    name=${file##*/}
    reports=$((reports + 1))
    multi=${file%s}m
    if [ "${name: -1}" = s ] && { [ "$(wc -l <"$file") $(wc -l <"$multi")" != "1 5" ] ||
      [ "$(squeezed "$file")" != "$(squeezed "$multi")" ]; }; then
      apart=$((apart + 1))
    fi
    if ! cmp -s <(native_text <"$file") <(target_text <"$scratch/this/$name"); then
      layout=""
      if [ "${name: -1}" = m ]; then layout=" -m"; fi
      echo "differs: $(sed -n "${name%?}p" "$scratch/inputs")$layout"
      differing=$((differing + 1))
    fi
  done
  expected="$((2 * $(wc -l <"$scratch/inputs"))) reports, 0 differing, 0 layouts apart"
  actual="$reports reports, $differing differing, $apart layouts apart"
  ;;
*)
  echo "usage: $0 records|reports|programs CASES|INPUTS NATIVE-DIR [--windows] COMMAND..." >&2
  exit 2
  ;;
esac
echo "native: $expected"
echo "this:   $actual"
test "$expected" = "$actual"
