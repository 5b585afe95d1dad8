#!/bin/bash
# Runs a Windows program under the project's Wine (Wine 10 from Debian 13,
# made by scripts/wine-setup.sh, which this script calls first).
#
# usage: scripts/wine-run.sh [--prefix DIR] [--env NAME=VALUE]... [--] PROGRAM [ARGUMENT...]
#
# PROGRAM is a Linux path of a Windows executable, or the name of a program
# of the Wine prefix (cmd, reg, ...). It starts in the current folder; every
# Linux folder is on drive Z: at its own path. The exit code is PROGRAM's.
#
# The Wine prefix DIR (default: $KVX_WINE_PREFIX, else build/wine-prefix in
# this checkout) is made on first use. It is a 64-bit Windows, so a 32-bit
# program sees what it sees there (System32 redirected to SysWOW64).
#
# What every run has: LC_ALL=zh_CN.UTF-8 (ANSI code page 936, as on a
# Chinese Windows; --env LC_ALL=C.UTF-8 gives the code page 1252 of an
# English Windows); no display, so a message box returns -1 at once;
# WINEDLLOVERRIDES="mscoree,mshtml=" (no .NET or HTML engine installs);
# WINEDEBUG=-all unless WINEDEBUG is set; the environment given with --env;
# nothing else of the caller's environment. Wine takes TMP and TEMP from the
# prefix's registry (HKCU\Environment), not from --env. Programs of one
# prefix may run side by side.
#
# Wine needs its own system: the Debian 13 tree is laid over /usr and /etc in
# a private mount namespace that ends with the run, so paths stay the same
# and nothing changes for the rest of the machine. Run as root.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() {
  sed -n 's/^# usage: /usage: /p' "${BASH_SOURCE[0]}" >&2
  exit 2
}

prefix=${KVX_WINE_PREFIX:-$here/build/wine-prefix}
run_env=()
while [ $# -gt 0 ]; do
  case $1 in
    --prefix) [ $# -ge 2 ] || usage; prefix=$2; shift 2 ;;
    --env) [ $# -ge 2 ] || usage; run_env+=("$2"); shift 2 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || usage

"$here/scripts/wine-setup.sh"
tree=${KVX_WINE_ROOT:-/opt/kvx-wine}/rootfs

mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
runtime=/tmp/kvx-wine-runtime-$(id -u)
mkdir -p -m 700 "$runtime"

# Makes the prefix when it is missing or unfinished, then runs the program.
# Runs inside the Debian 13 system.
inner='
  set -e
  if [ ! -f "$WINEPREFIX/.kvx-ready" ]; then
    exec 8>"$WINEPREFIX.lock"
    flock 8
    if [ ! -f "$WINEPREFIX/.kvx-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >"$WINEPREFIX.log" 2>&1 && wineserver -w || {
        echo "wine-run: making the Wine prefix failed, see $WINEPREFIX.log" >&2
        exit 1
      }
      touch "$WINEPREFIX/.kvx-ready"
    fi
    exec 8>&-
  fi
  exec wine "$@"
'

exec unshare -m /bin/bash -c '
  set -e
  tree=$1
  shift
  mount --bind "$tree/etc" /etc
  for dir in bin sbin lib lib32 lib64 libx32; do
    if [ -d "/$dir" ] && [ ! -L "/$dir" ] && [ -e "$tree/$dir" ]; then
      mount --bind "$tree/$dir" "/$dir"
    fi
  done
  mount --bind "$tree/usr" /usr
  exec "$@"
' overlay "$tree" /usr/bin/env -i \
  PATH=/usr/bin:/bin HOME="${HOME:-/root}" USER="$(id -un)" \
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 XDG_RUNTIME_DIR="$runtime" \
  WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" \
  "${run_env[@]}" /bin/sh -c "$inner" wine-run "$@"
