#!/usr/bin/env bash
# Static analysis of all the product code (core/, win/, settings/, ui/, app/);
# any finding fails:
#   - the Windows build compiled with clang targeting MinGW-w64, warnings as
#     errors: a second compiler, the nearest stand-in here for Windows' own;
#   - clang-tidy with the repository's .clang-tidy: the portable core through
#     the native build's compile commands, the Windows code through the clang
#     build's, so that it reads the MinGW-w64 headers;
#   - cppcheck, which learns the Windows API from its own description of it
#     (it cannot parse the GCC extensions in the MinGW-w64 headers).
#   scripts/analyse.sh   (after the native preset's build, whose compile
#                         commands clang-tidy reads for the core)
# DAYMARKER_JOBS bounds the parallel compiles and clang-tidy runs (default: one per core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
jobs=${DAYMARKER_JOBS:-$(nproc)}
native=build/native
windows=build/clang-mingw
if [ ! -f "${native}/compile_commands.json" ]; then
  echo "analyse: ${native}/compile_commands.json is missing; build the native preset first" >&2
  exit 2
fi

echo "clang, targeting MinGW-w64: compiling the Windows build"
cmake --preset clang-mingw >/dev/null
# Every object file; the link is GCC's (see the toolchain file).
mapfile -t objects < <(ninja -C "${windows}" -t targets all | sed -n 's/^\([^:]*\.obj\):.*/\1/p')
ninja -C "${windows}" -j "${jobs}" "${objects[@]}" >/dev/null
echo "clang: ${#objects[@]} files compiled, no warnings"

mapfile -t core < <(git ls-files 'core/*.cpp')
mapfile -t windows_sources < <(git ls-files 'win/*.cpp' 'settings/*.cpp' 'ui/*.cpp' 'app/*.cpp')
status=0

# clang-tidy exits non-zero on errors (WarningsAsErrors), but a file it cannot
# parse also counts: any "warning:" or "error:" line is a finding. As many
# files at once as there are jobs, each into a log of its own.
logs=$(mktemp -d)
trap 'rm -rf "${logs}"' EXIT
tidy() {  # compile-commands dir, files...
  local commands=$1
  shift
  printf '%s\n' "$@" | xargs -P "${jobs}" -I {} sh -c \
    'clang-tidy --quiet -p "$1" "$2" >"$3/$(echo "$2" | tr / _).log" 2>&1 || echo "$2" >>"$3/failed"' \
    tidy "${commands}" {} "${logs}"
}
tidy "${native}" "${core[@]}"
tidy "${windows}" "${windows_sources[@]}"
tidy_failed=0
if [ -f "${logs}/failed" ]; then
  tidy_failed=$(wc -l <"${logs}/failed")
fi
cat "${logs}"/*.log >"${logs}/all"
total=$((${#core[@]} + ${#windows_sources[@]}))
tidy_findings=$(grep -cE '(warning|error): ' "${logs}/all" || true)
if [ "${tidy_failed}" -ne 0 ] || [ "${tidy_findings}" -ne 0 ]; then
  cat "${logs}/all"
  echo "clang-tidy: ${tidy_findings} finding(s); ${tidy_failed} of ${total} files failed"
  status=1
else
  echo "clang-tidy: ${total} files, no findings"
fi

# No suppressions are needed today; add each with --suppress=id:file and a reason.
if cppcheck_out=$(cppcheck --enable=warning,style,performance,portability --error-exitcode=1 \
  --inline-suppr --std=c++20 -I . --library=windows -D_WIN32 -DUNICODE -D_UNICODE --quiet \
  --template='{file}:{line}: {severity}: {message} [{id}]' core win settings ui app 2>&1); then
  echo "cppcheck: core, win, settings, ui, app: no findings"
else
  printf '%s\n' "${cppcheck_out}"
  echo "cppcheck: findings"
  status=1
fi
exit "${status}"
