#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the plug-in on
# Linux and as a 32-bit Windows DLL under Wine, and to build the libFuzzer targets
# (Debian's clang 14 and its sanitizer and libFuzzer runtimes). Safe to run again: it only installs
# packages that are missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

need=()
want() { dpkg -s "$1" >/dev/null 2>&1 || need+=("$1"); }

for p in build-essential cmake ninja-build pkg-config ccache \
         libsimpleini-dev libicu-dev googletest libgtest-dev libgmock-dev \
         libbenchmark-dev valgrind nlohmann-json3-dev libcli11-dev can-utils clang libclang-rt-14-dev \
         g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686; do
  want "$p"
done
# The command-line host's test reads its JSON documents with jq.
want jq

if [ "${SKIP_WINE:-0}" != 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  want wine
  want wine32:i386
fi

if [ ${#need[@]} -gt 0 ]; then
  echo "install-deps: installing ${need[*]}"
  # A new foreign architecture needs a fresh package index before wine32:i386 resolves.
  $SUDO apt-get update -qq
  # env carries DEBIAN_FRONTEND through sudo, which would otherwise drop it.
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
else
  echo "install-deps: everything present"
fi
