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

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
updated=""  # set once the package lists have been fetched
# Installs those of the named packages that are not there yet.
install_missing() {
  local package missing=()
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "${package}" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("${package}")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    ${sudo} dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [ -z "${updated}" ]; then
    ${sudo} apt-get update -qq
    updated=yes
  fi
  ${sudo} apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${packages[@]}"
# clang may only now be there, and with it the version of its runtime.
if [ -z "${clang_major}" ]; then
  exec "$0"
fi

# 32-bit Wine needs a kernel that runs 32-bit programs. Where it does not,
# the Win32 tests run in a 64-bit build under 64-bit Wine instead.
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
if ! wine_runs_32bit; then
  install_missing wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
fi
