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
  # Every report into a file of its own, headed by the input's line and
  # layout, two programs at a time (the odd and the even lines); then all
  # reports of both builds read in one pass, since a few processes per report
  # took longer than the runs.
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  grep -v '^#' "$amount" >"$scratch/inputs"
  run_all() {
    local dir=$1 half pid pids=()
    shift
    mkdir "$dir"
    for half in 0 1; do
      awk -v half="$half" 'NR % 2 == half { print NR, $1, $2 }' "$scratch/inputs" |
        while read -r n nominal inflation; do
          { echo "== ${n}s"; "$@" "$nominal" "$inflation"; } >"$dir/${n}s"
          { echo "== ${n}m"; "$@" "$nominal" "$inflation" -m; } >"$dir/${n}m"
        done &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid"; done
  }
  run_all "$scratch/native" "$native_program"
  run_all "$scratch/this" "$@"
  cat "$scratch/native"/* | native_text >"$scratch/native.all"
  cat "$scratch/this"/* | target_text >"$scratch/this.all"
  # Each report of this build against the native one's; and each input's
  # report with -m against its one-line report: the same text on five lines
  # but for white space, else the two runs did not get the same two rates
  # (the builds would agree on any wrong argument), or one got no report.
  actual=$(awk -v inputs="$scratch/inputs" -v native="$scratch/native.all" '
    BEGIN { while ((getline line <inputs) > 0) input[++count] = line }
    /^== [0-9]+[sm]$/ { name = $2; if (FILENAME == native) reports++; next }
    FILENAME == native { want[name] = want[name] $0 "\n"; next }
    { got[name] = got[name] $0 "\n" }
    END {
      for (n = 1; n <= count; n++) {
        single = want[n "s"]; multi = want[n "m"]
        lines = gsub(/\n/, "&", single) " " gsub(/\n/, "&", multi)
        gsub(/[ \t\n]+/, " ", single); gsub(/[ \t\n]+/, " ", multi)
        if (lines != "1 5" || single != multi) apart++
        if (got[n "s"] != want[n "s"]) { print "differs: " input[n] >"/dev/stderr"; differing++ }
        if (got[n "m"] != want[n "m"]) { print "differs: " input[n] " -m" >"/dev/stderr"; differing++ }
      }
      printf "%d reports, %d differing, %d layouts apart\n", reports, differing, apart
    }' "$scratch/native.all" "$scratch/this.all")
  expected="$((2 * $(wc -l <"$scratch/inputs"))) reports, 0 differing, 0 layouts apart"
  ;;
*)
  echo "usage: $0 records|reports|programs CASES|INPUTS NATIVE-DIR [--windows] COMMAND..." >&2
  exit 2
  ;;
esac
echo "native: $expected"
echo "this:   $actual"
test "$expected" = "$actual"
