#!/usr/bin/env bash
# Installs what one of the scripts needs on Debian or Ubuntu, skips whatever is
# already there, and fails if a tool is still missing afterwards. Run as root
# (or with sudo).
#   scripts/setup.sh run     building Daymarker and starting it under Wine
#   scripts/setup.sh test    everything the tests need (the default)
set -euo pipefail
profile=${1:-test}

run_packages=(
  cmake ninja-build g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine xvfb xauth
)
run_tools=(cmake ninja i686-w64-mingw32-g++-posix wine Xvfb)
case "${profile}" in
  run)
    packages=("${run_packages[@]}")
    tools=("${run_tools[@]}")
    ;;
  test)
    # tzdata: the tests under Wine set their own time zones.
    packages=("${run_packages[@]}" g++ python3 googletest clang clang-format clang-tidy cppcheck
      xdotool imagemagick tzdata)
    tools=("${run_tools[@]}" g++ python3 clang++ clang-format clang-tidy cppcheck xdotool import)
    ;;
  *)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

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
    updated=""  # the i386 lists are not fetched yet
  fi
  export DEBIAN_FRONTEND=noninteractive
  if [ -z "${updated}" ]; then
    ${sudo} apt-get update -qq
    updated=yes
  fi
  ${sudo} apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

fuzzer_links() {
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1
}

install_missing "${packages[@]}"
# libFuzzer comes with the clang runtime of clang's own version (on older
# releases it comes with clang itself), known only once clang is there.
if [ "${profile}" = test ] && ! fuzzer_links; then
  clang_major=$(clang -dumpversion 2>/dev/null | cut -d . -f 1 || true)
  if [ -n "${clang_major}" ]; then
    install_missing "libclang-rt-${clang_major}-dev"
  fi
fi

# 32-bit Wine needs a kernel that runs 32-bit programs. Where it does not,
# Daymarker and its tests run in a 64-bit build under 64-bit Wine instead.
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
if ! wine_runs_32bit; then
  install_missing wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  tools+=(x86_64-w64-mingw32-g++-posix /usr/lib/wine/wine64)
fi

missing=()
for tool in "${tools[@]}"; do
  command -v "${tool}" >/dev/null 2>&1 || missing+=("${tool}")
done
if [ "${profile}" = test ] && ! fuzzer_links; then
  missing+=("libFuzzer (clang++ -fsanitize=fuzzer links nothing)")
fi
if [ "${#missing[@]}" -ne 0 ]; then
  echo "setup: still missing after installing: ${missing[*]}" >&2
  exit 1
fi
