#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Start-up cost of one run of tarvelin, which is nearly all of its cost.
#
#   bench/startup.sh [--ratio-only] [--musl PROGRAM] [--debian PROGRAM] [PROGRAM]
#
# PROGRAM is the static glibc program (build/tarvelin); --musl names the
# static musl one (build-musl/tarvelin), --debian the Debian package's
# dynamic one (/usr/bin/tarvelin where it is installed). For each, "5 2" is
# measured against two programs built here: a bare exit (_start making the
# exit system call, no C library) and an empty static musl program (where
# musl-gcc is installed): its instructions with callgrind, and the median
# wall and CPU time of many rounds, each round running the program, the bare
# exit and the empty program once, in turn (bench/spawn_times.c). Then
# hyperfine times the glibc program against /bin/true and the same
# computation in awk, bc and python3.
# Exits 1 if a target is missed:
#   the glibc program's instructions above 1.3 times those of an empty
#   static glibc program; the musl program's above 12,000; the musl
#   program's median wall time above 1.2 times the bare exit's; the glibc
#   program's mean time above that of /bin/true.
# --ratio-only checks the instructions alone: times on a shared machine are
# too noisy for a pass or fail (it needs neither hyperfine nor the peers).
set -euo pipefail

ratio_only=false
musl=""
debian=""
while [ $# -gt 0 ]; do
  case $1 in
    --ratio-only) ratio_only=true; shift ;;
    --musl) musl=$(realpath "$2"); shift 2 ;;
    --debian) debian=$(realpath "$2"); shift 2 ;;
    *) break ;;
  esac
done
program=$(realpath "${1:-build/tarvelin}")
max_ratio=1.3
max_musl_instructions=12000
max_musl_wall=1.2
rounds=400
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
missed=0

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), kernel $(uname -r)"

# The empty program, built with the same C library and the same static link.
printf 'int main(void) { return 0; }\n' >"$work/empty.c"
"${CC:-cc}" -O2 -static -o "$work/empty" "$work/empty.c"
# What a process costs at the least: no C library, only the exit call.
printf '.globl _start\n_start:\n\tmov $60, %%eax\n\txor %%edi, %%edi\n\tsyscall\n' >"$work/bare.s"
"${CC:-cc}" -nostdlib -static -o "$work/bare" "$work/bare.s"
empty_musl=""
if command -v musl-gcc >/dev/null; then
  musl-gcc -O2 -static -o "$work/empty-musl" "$work/empty.c"
  empty_musl=$work/empty-musl
elif [ -n "$musl" ]; then
  echo "the musl program needs musl-gcc (musl-tools) for its empty program" >&2
  exit 2
fi

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/^==[0-9]*== Collected : *//p'
}
# The measured programs: a name, and the program (empty where not given).
names=("glibc static" "musl static" "Debian dynamic")
paths=("$program" "$musl" "$debian")
declare -A count
for k in 0 1 2; do
  [ -z "${paths[$k]}" ] || count[$k]=$(instructions "${paths[$k]}" 5 2)
done
empty=$(instructions "$work/empty")
bare=$(instructions "$work/bare")
musl_empty=1
[ -z "$empty_musl" ] || musl_empty=$(instructions "$empty_musl")
# The bare exit's few instructions end before callgrind counts a block: 0.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

if ! $ratio_only; then
  # One series of rounds for each program, with the bare exit and the empty
  # musl program in every round: the figures of the other programs leave
  # theirs alone. The last series' bare exit and empty program are printed.
  "${CC:-cc}" -O2 -o "$work/spawn_times" "$here/spawn_times.c"
  references=("$work/bare")
  [ -z "$empty_musl" ] || references+=(:: "$empty_musl")
  declare -A wall cpu bare_wall bare_cpu musl_wall musl_cpu
  for k in 0 1 2; do
    [ -n "${paths[$k]}" ] || continue
    "$work/spawn_times" "$rounds" "${references[@]}" :: "${paths[$k]}" 5 2 2>"$work/spawn.txt"
    mapfile -t spawn <"$work/spawn.txt"
    read -r "bare_wall[$k]" "bare_cpu[$k]" <<<"${spawn[0]}"
    read -r "musl_wall[$k]" "musl_cpu[$k]" <<<"${spawn[1]}"
    read -r "wall[$k]" "cpu[$k]" <<<"${spawn[-1]}"
  done
fi

echo
echo "tarvelin 5 2: instructions (callgrind), median wall and CPU time of $rounds rounds;"
echo "x bare: to the bare exit program, x musl: to the empty static musl program"
printf '%-15s %12s %9s %7s' program instructions "x bare" "x musl"
$ratio_only || printf ' %9s %7s %7s %9s %7s %7s' "wall us" "x bare" "x musl" "CPU us" "x bare" "x musl"
echo
for k in 0 1 2; do
  [ -n "${paths[$k]}" ] || continue
  printf '%-15s %12s %9s %7s' "${names[$k]}" "${count[$k]}" "$(ratio "${count[$k]}" "$bare")" \
    "$(ratio "${count[$k]}" "$musl_empty")"
  $ratio_only || printf ' %9s %7s %7s %9s %7s %7s' "${wall[$k]}" \
    "$(ratio "${wall[$k]}" "${bare_wall[$k]}")" "$(ratio "${wall[$k]}" "${musl_wall[$k]}")" \
    "${cpu[$k]}" "$(ratio "${cpu[$k]}" "${bare_cpu[$k]}")" "$(ratio "${cpu[$k]}" "${musl_cpu[$k]}")"
  echo
done
printf '%-15s %12s\n' "bare exit" "$bare"
[ -z "$empty_musl" ] || printf '%-15s %12s\n' "empty musl" "$musl_empty"
printf '%-15s %12s\n' "empty glibc" "$empty"
if ! $ratio_only; then
  for k in 0 1 2; do
    [ -z "${paths[$k]}" ] || echo "beside the ${names[$k]} program: bare exit wall ${bare_wall[$k]} us," \
      "CPU ${bare_cpu[$k]} us; empty musl wall ${musl_wall[$k]} us, CPU ${musl_cpu[$k]} us"
  done
fi
echo

# check WHAT VALUE OP LIMIT: prints the verdict and counts a miss.
check() {
  local verdict
  verdict=$(awk -v v="$2" -v m="$3" 'BEGIN { print (v <= m) ? "met" : "MISSED" }')
  echo "$1: $2, target (at most $3) $verdict"
  [ "$verdict" = met ] || missed=1
}
check "instructions of the glibc program to the empty glibc program" \
  "$(ratio "${count[0]}" "$empty")" "$max_ratio"
if [ -n "$musl" ]; then
  check "instructions of the musl program" "${count[1]}" "$max_musl_instructions"
  $ratio_only || check "median wall time of the musl program to the bare exit's" \
    "$(ratio "${wall[1]}" "${bare_wall[1]}")" "$max_musl_wall"
fi

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

exit $missed
