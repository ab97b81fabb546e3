#!/usr/bin/env bash
# Installs on Debian or Ubuntu what the named parts need, skipping whatever is
# already there; run as root (or with sudo).
#   scripts/setup.sh PART...   (all of them when none is named)
#     run        building Daymarker and starting it under Wine
#     tests      the test programs: GoogleTest, the native compiler, Python
#                (configuring the Windows build needs it) and the time zones
#                the tests under Wine set
#     desktop    X input and screen grabs (xdotool, ImageMagick)
#     analysers  clang-format, clang-tidy, cppcheck, and clang with libFuzzer
set -euo pipefail
declare -A parts=(
  [run]="cmake ninja-build g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine fonts-wine xvfb
    xauth"
  [tests]="g++ googletest python3 tzdata"
  [desktop]="xdotool imagemagick"
  [analysers]="clang clang-format clang-tidy cppcheck"
)
[ $# -gt 0 ] || set -- run tests desktop analysers
packages=()
for part in "$@"; do
  [ -n "${parts[${part}]:-}" ] || { echo "usage: $0 [${!parts[*]}]..." >&2; exit 2; }
  read -r -d '' -a named <<<"${parts[${part}]}" || true
  packages+=("${named[@]}")
done

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
    # A list that cannot be fetched (a mirror in mid-sync) leaves the last one
    # fetched in use: the install then fails only if that one cannot serve it.
    ${sudo} apt-get update -qq || echo "setup: some package lists were not fetched" >&2
    updated=yes
  fi
  ${sudo} apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_missing "${packages[@]}"

# 32-bit Wine needs a kernel that runs 32-bit programs, and its i386 libraries
# at the versions of the installed amd64 ones. Where either is missing,
# Daymarker and its tests run in a 64-bit build under 64-bit Wine instead.
if [[ " ${packages[*]} " == *" wine "* ]] && ! install_missing wine32:i386; then
  echo "setup: 32-bit Wine could not be installed: a 64-bit build stands in" >&2
fi
# shellcheck source=scripts/wine-session.sh
source "$(dirname "$0")/wine-session.sh"
if ! wine_runs_32bit; then
  install_missing wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
fi

# libFuzzer comes with the clang runtime of clang's own version (on older
# releases it comes with clang itself), known only once clang is there.
fuzzer_links() {
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -fsanitize=fuzzer -x c++ - -o /dev/null >/dev/null 2>&1
}
if [[ " $* " == *" analysers "* ]] && ! fuzzer_links; then
  install_missing "libclang-rt-$(clang -dumpversion | cut -d . -f 1)-dev"
  fuzzer_links || { echo "setup: clang++ -fsanitize=fuzzer still links nothing" >&2; exit 1; }
fi
