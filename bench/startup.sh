#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Start-up cost of one run of tarvelin, which is nearly all of its cost.
#
#   bench/startup.sh [--ratio-only] [PROGRAM]     (PROGRAM: build/tarvelin)
#
# Times "PROGRAM 5 2" with hyperfine against /bin/true and against the same
# computation in awk, bc and python3, and prints a table. Then counts the
# instructions of one run with callgrind against an empty statically linked
# C program built here, and prints the ratio. Exits 1 if a target is missed:
# the mean time above that of /bin/true, or the ratio above 1.3.
# --ratio-only skips the timing (it needs neither hyperfine nor the others).
set -euo pipefail

ratio_only=false
if [ "${1:-}" = --ratio-only ]; then
  ratio_only=true
  shift
fi
program=$(realpath "${1:-build/tarvelin}")
max_ratio=1.3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
missed=0

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), kernel $(uname -r)"

# The empty program, built with the same C library and the same static link.
printf 'int main(void) { return 0; }\n' >"$work/empty.c"
"${CC:-cc}" -O2 -static -o "$work/empty" "$work/empty.c"

if ! $ratio_only; then
  # The same figures in the other languages. python3 from the system, not a
  # shim script in front of it, which would time a shell as well.
  python=/usr/bin/python3
  [ -x "$python" ] || python=$(command -v python3)
  cat >"$work/fisher.bc" <<'BC'
scale = 20
n = 5; i = 2; d = n - i; r = ((1 + n / 100) / (1 + i / 100) - 1) * 100
n; i; d; r; d - r
quit
BC
  awk_program='BEGIN { n = 5; i = 2; d = n - i; r = ((1 + n / 100) / (1 + i / 100) - 1) * 100; printf "%.2f %.2f %.2f %.3f %.7f\n", n, i, d, r, d - r }'
  python_program='n, i = 5.0, 2.0; d = n - i; r = ((1 + n / 100) / (1 + i / 100) - 1) * 100; print("%.2f %.2f %.2f %.3f %.7f" % (n, i, d, r, d - r))'

  # -N: no shell in between, so only the process itself is timed.
  hyperfine -N --warmup 50 --min-runs 500 --style basic \
    --export-json "$work/times.json" --export-markdown "$work/times.md" \
    -n "tarvelin 5 2" "$program 5 2" \
    -n "/bin/true" "/bin/true" \
    -n "awk" "awk '$awk_program'" \
    -n "bc" "bc -lq $work/fisher.bc" \
    -n "python3" "$python -c '$python_program'" >/dev/null
  echo
  cat "$work/times.md"
  echo
  read -r ours truth < <(jq -r '[.results[0].mean, .results[1].mean] | @tsv' "$work/times.json")
  verdict=$(awk -v a="$ours" -v b="$truth" 'BEGIN { print (a <= b) ? "met" : "MISSED" }')
  printf 'mean time: tarvelin %.1f us, /bin/true %.1f us: target (not slower) %s\n' \
    "$(awk -v a="$ours" 'BEGIN { print a * 1e6 }')" \
    "$(awk -v b="$truth" 'BEGIN { print b * 1e6 }')" "$verdict"
  [ "$verdict" = met ] || missed=1
fi

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/^==[0-9]*== Collected : *//p'
}
ours=$(instructions "$program" 5 2)
empty=$(instructions "$work/empty")
ratio=$(awk -v a="$ours" -v b="$empty" 'BEGIN { printf "%.3f", a / b }')
verdict=$(awk -v r="$ratio" -v m="$max_ratio" 'BEGIN { print (r <= m) ? "met" : "MISSED" }')
echo "instructions: tarvelin 5 2: $ours, empty static C program: $empty," \
  "ratio $ratio: target (at most $max_ratio) $verdict"
[ "$verdict" = met ] || missed=1
exit $missed
