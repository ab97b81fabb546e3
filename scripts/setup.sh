#!/usr/bin/env bash
# Installs what building, running and testing Daymarker needs on Debian or
# Ubuntu, and skips whatever is already there. Run as root (or with sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  googletest libbenchmark-dev
  clang clang-format clang-tidy cppcheck
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine xvfb xauth xdotool x11-utils imagemagick
)
# libFuzzer's runtime comes with the versioned clang runtime package.
clang_major=$(clang --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1 || true)
if [ -n "${clang_major}" ]; then
  packages+=("libclang-rt-${clang_major}-dev")
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "${package}" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("${package}")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  ${sudo} dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
${sudo} apt-get update -qq
${sudo} apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# clang may only now be there, and with it the version of its runtime.
if [ -z "${clang_major}" ]; then
  exec "$0"
fi
