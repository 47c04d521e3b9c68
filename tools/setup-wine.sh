#!/bin/bash
# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# setup-wine.sh - make 32-bit Windows console programs (PE32 i386, built with
# i686-w64-mingw32-g++) runnable under Wine on a Debian 12 (bookworm) amd64
# machine whose kernel refuses to exec 32-bit ELF (no native ia32 support):
# every 32-bit ELF (wine loader, wineserver32) is run through qemu-i386 via
# binfmt_misc.
#
# Idempotent; run as root. Environment knobs:
#   WINEPREFIX        prefix to create/use   (default /tmp/tarvelin-wine, the
#                     one the windows test preset names)
#   SKIP_APT=1        do not touch apt at all (packages must already be there)
#   NO_SERVER=1       do not start the persistent wineserver
#
# Afterwards the windows test preset runs its tests with the same three
# variables as below; to run a program by hand:
#   export WINEPREFIX=/tmp/tarvelin-wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
#   wine prog.exe args...      (exit status, stdout, stderr pass through)
# Stop with: WINEPREFIX=/tmp/tarvelin-wine wineserver -k
set -euo pipefail

export WINEPREFIX="${WINEPREFIX:-/tmp/tarvelin-wine}"
export WINEARCH=win32
export WINEDEBUG=-all
# mscoree, mshtml: no Mono/Gecko install attempts; winedbg.exe=d: on a crash,
# no "Can't attach process" line on stdout.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY                 # no GUI during prefix creation

log() { printf '[setup-wine %s] %s\n' "$(date +%T)" "$*" >&2; }
[ "$(id -u)" = 0 ] || { echo "must run as root" >&2; exit 1; }

# ---------------------------------------------------------------- packages
# qemu-user from bookworm (7.2) is ~100x too slow for Wine (every process
# spends ~50 s in qemu's linear mmap_find_vma); qemu >= 8.1 fixed that.
# bookworm-backports has 10.0 (statically linked, no extra dependencies).
qemu_ok() {
  local v
  v=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
  dpkg --compare-versions "$v" ge 1:8.1
}
have_pkgs() {
  dpkg-query -W -f='${Status}\n' wine wine32:i386 g++-mingw-w64-i686 2>/dev/null \
    | grep -c '^install ok installed$' | grep -qx 3 && qemu_ok
}
fail() { echo "setup-wine: $*" >&2; exit 1; }

# The backports suite comes from the archive this machine already uses: the
# first configured Debian source of the release's own suite. apt lists its
# sources whatever their format (sources.list, *.list, *.sources).
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
backports="$codename-backports"
configured_sources() {
  apt-get indextargets --no-release-info --format '$(TARGET_OF) $(RELEASE) $(SITE)' | sort -u
}
add_backports_source() {
  [ -n "$codename" ] || fail "no release codename in /etc/os-release, so no $backports"
  if configured_sources | grep -q "^deb $backports "; then
    return
  fi
  local archive
  archive=$(configured_sources | awk -v suite="$codename" '$1 == "deb" && $2 == suite { print $3; exit }')
  [ -n "$archive" ] || fail "no apt source for $codename is configured, so $backports cannot be added"
  log "adding $backports from $archive"
  {
    printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\n' "$archive" "$backports"
    if [ -e /usr/share/keyrings/debian-archive-keyring.gpg ]; then
      echo "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
    fi
  } > "/etc/apt/sources.list.d/$backports.sources"
}

# The i386 libraries must be at the very version of their amd64 twins
# (Multi-Arch: same). While a mirror syncs, the index of one suite (say the
# security suite's i386 one) can lag the other architecture's, and apt cannot
# resolve the install ("generated breaks"). The release's own suite has both
# architectures at one version: then Wine, and the amd64 packages its i386
# ones must match, come from there.
wine_packages=(wine wine32:i386 g++-mingw-w64-i686)
apt_install() { apt-get install -y -qq -o DPkg::Lock::Timeout=900 "$@"; }
install_wine() {
  apt_install "${wine_packages[@]}" && return
  [ -n "$codename" ] || return 1
  log "Wine's i386 packages cannot be installed beside the amd64 ones (a mirror" \
    "in mid-sync?); installing them from the release's own suite: -t $codename"
  apt_install -t "$codename" "${wine_packages[@]}"
}
if [ "${SKIP_APT:-0}" != 1 ] && ! have_pkgs; then
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  add_backports_source
  log "apt-get update/install"
  # A mirror caught mid-sync fails one index or another (say the security
  # suite's i386 list); apt keeps the lists it has, and the installs below
  # are what must succeed.
  apt-get update -qq -o DPkg::Lock::Timeout=900 ||
    log "apt-get update failed for some lists; going on with those apt has"
  install_wine || fail "Wine's packages cannot be installed, not even from $codename"
  apt-get install -y -qq -o DPkg::Lock::Timeout=900 --no-install-recommends -t "$backports" qemu-user ||
    fail "qemu-user cannot be installed from $backports"
fi
qemu_ok || fail "qemu-user >= 8.1 required ($backports)"

# ---------------------------------------------------------------- binfmt
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
[ "$(cat /proc/sys/fs/binfmt_misc/status)" = enabled ] || echo 1 > /proc/sys/fs/binfmt_misc/status
# Remove any existing i386-ELF handler of that name (ours from an earlier run,
# or Debian's qemu-user-binfmt one) and register ours again. Always doing it
# is idempotent, and with flag F it also refreshes the interpreter after a
# qemu package upgrade (F keeps the old file open otherwise).
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386
fi
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
  > /proc/sys/fs/binfmt_misc/register
/usr/lib/wine/wine --version >/dev/null || { echo "cannot start the 32-bit wine loader" >&2; exit 1; }

# ---------------------------------------------------------------- prefix
# A finished prefix has system.reg and .update-timestamp. Do NOT pre-create
# the directory: wine only populates a prefix it created itself.
if [ ! -s "$WINEPREFIX/system.reg" ] || [ ! -e "$WINEPREFIX/.update-timestamp" ]; then
  log "creating prefix $WINEPREFIX"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # same stdio caveat as below: the temporary server and services keep the
  # caller's stdout/stderr open until they exit; 'wineserver -w' waits for that.
  timeout 600 wineboot --init </dev/null
  timeout 300 wineserver -w      # let session services finish, registry saved
fi

# ---------------------------------------------------------------- server
if [ "${NO_SERVER:-0}" != 1 ]; then
  # -p: keep running with no clients. 'wineserver -p' exits with status 2
  # when a server for this prefix is already running: that is fine.
  wineserver -p </dev/null >/dev/null 2>&1 || [ $? = 2 ]
  # The first client of a new server starts the session services
  # (services.exe, winedevice.exe, plugplay, rpcss, svchost: ~3-8 s); pay it
  # here. Those services inherit the stdio of that first client and keep it
  # open for as long as the server lives, so it must not be a pipe anybody
  # reads to EOF (CI log pipes, test harness capture): hence /dev/null.
  timeout 300 wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
fi
log "ready: WINEPREFIX=$WINEPREFIX WINEDEBUG=$WINEDEBUG WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
