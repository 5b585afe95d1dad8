#!/bin/sh
# Installs what the build and the tests need on a fresh Debian machine, when
# it is missing. Run as root (apt-get); as another user it only reports.
set -eu

need=""
command -v cmake >/dev/null 2>&1 || need="$need cmake"
command -v g++ >/dev/null 2>&1 || need="$need g++"
command -v make >/dev/null 2>&1 || need="$need make"
[ -f /usr/include/gtest/gtest.h ] || need="$need libgtest-dev"
[ -f /usr/include/gmock/gmock.h ] || need="$need libgmock-dev"
# The Windows executable: 32-bit MinGW-w64 with Win32 threads.
command -v i686-w64-mingw32-g++-win32 >/dev/null 2>&1 || need="$need g++-mingw-w64-i686-win32"
# The sample setup package (package/): NSIS 3.
command -v makensis >/dev/null 2>&1 || need="$need nsis"

if [ -n "$need" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages:$need (run as root to install them)" >&2
    exit 1
  fi
  echo "installing:$need"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $need >/dev/null
fi
