#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Holds a program to what the name of its Debian architecture promises: that
# architecture's ELF class, byte order and machine, and no code newer than the
# oldest processor Debian builds it for, as far as the program's attributes
# and instructions show (the tests run it as that processor too):
#   armel    ARMv5TE or older, soft-float calling, no VFP instruction
#   armhf    ARMv7 with VFPv3, arguments in VFP registers (Debian's armhf is
#            VFPv3-D16 without NEON, but a static program holds the C
#            library's NEON copies of a function too, chosen at run time)
#   i386     nothing past the i686: no MMX or SSE register, none of the later
#            instructions on general registers (but in the C library's copies
#            of a function for newer processors, chosen at run time)
#   the rest the ELF header alone: arm64 and ppc64el run their tests as the
#            Cortex-A53 (ARMv8.0) and the POWER8 they are for.
#   check_processor.sh ARCH PROGRAM
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 ARCH PROGRAM" >&2; exit 2; }
arch=$1 program=$2
fail() { echo "$program: $*, not $arch's" >&2; exit 1; }
header=$(readelf -h "$program")
attributes=$(readelf -A "$program")
field() { sed -n "s/^ *$1: *//p" <<<"$header"; }
tag() { sed -n "s/^ *Tag_$1: //p" <<<"$attributes"; }

elf="$(field Class) $(field Data | sed 's/.*, \([a-z]*\) endian/\1/') $(field Machine)"
case $arch in
amd64) expected="ELF64 little Advanced Micro Devices X86-64" ;;
i386) expected="ELF32 little Intel 80386" ;;
arm64) expected="ELF64 little AArch64" ;;
armhf | armel) expected="ELF32 little ARM" ;;
ppc64el) expected="ELF64 little PowerPC64" ;;
s390x) expected="ELF64 big IBM S/390" ;;
riscv64) expected="ELF64 little RISC-V" ;;
mips) expected="ELF32 big MIPS R3000" ;;
*) echo "no promise known for the Debian architecture $arch" >&2; exit 2 ;;
esac
[ "$elf" = "$expected" ] || fail "a program for $elf"
echo "$program: $elf"

case $arch in
armel)
  [[ $(field Flags) == *"soft-float ABI"* ]] || fail "flags $(field Flags)"
  [[ $(tag CPU_arch) =~ ^v(4|4T|5T|5TE|5TEJ)$ ]] || fail "code for $(tag CPU_arch)"
  [ -z "$(tag FP_arch)$(tag ABI_VFP_args)" ] || fail "VFP code or calling"
  ;;
armhf)
  [[ $(field Flags) == *"hard-float ABI"* ]] || fail "flags $(field Flags)"
  [ "$(tag CPU_arch)" = v7 ] || fail "code for $(tag CPU_arch)"
  [[ $(tag FP_arch) == VFPv3* ]] || fail "floating point of $(tag FP_arch)"
  [ "$(tag ABI_VFP_args)" = "VFP registers" ] || fail "no arguments in VFP registers"
  ;;
i386)
  objdump -d --no-show-raw-insn "$program" | awk '
    /^[0-9a-f]+ <.*>:$/ { function_name = $2; next }
    function_name ~ /_(sse|ssse3|avx|evex)/ { next }
    $2 ~ /^(fisttp|movbe|popcnt|crc32|prefetch|[lms]fence|movnti|clflush|rdrand|rdseed|andn|bextr|bls|bzhi|pdep|pext|rorx|sarx|shlx|shrx|adcx|adox)/ ||
      /%[xyz]?mm[0-9]/ { print function_name, $0; found = 1 }
    END { exit found }' | head -n 5 >&2 || fail "instructions past the i686 (above)"
  ;;
esac
