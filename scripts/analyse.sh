#!/usr/bin/env bash
# Runs the static analysers over the portable core and fails on any finding:
# clang-tidy with the repository's .clang-tidy, using the compile commands of
# a native build (default build/native, configured and built beforehand),
# then cppcheck.
#   scripts/analyse.sh [native build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "${root}"
build=${1:-build/native}
if [ ! -f "${build}/compile_commands.json" ]; then
  echo "analyse: ${build}/compile_commands.json is missing; configure a native build first" >&2
  exit 2
fi

shopt -s nullglob
sources=(core/*.cpp)
if [ "${#sources[@]}" -eq 0 ]; then
  echo "analyse: no sources in core/" >&2
  exit 2
fi
status=0

# clang-tidy exits non-zero on errors (WarningsAsErrors), but a file it cannot
# parse also counts: any "warning:" or "error:" line is a finding.
tidy_log=$(mktemp)
trap 'rm -f "${tidy_log}"' EXIT
tidy_failed=0
for source in "${sources[@]}"; do
  if ! clang-tidy --quiet -p "${build}" "${source}" >>"${tidy_log}" 2>&1; then
    tidy_failed=$((tidy_failed + 1))
  fi
done
tidy_findings=$(grep -cE '(warning|error): ' "${tidy_log}" || true)
if [ "${tidy_failed}" -ne 0 ] || [ "${tidy_findings}" -ne 0 ]; then
  cat "${tidy_log}"
  echo "clang-tidy: ${tidy_findings} finding(s); ${tidy_failed} of ${#sources[@]} files failed"
  status=1
else
  echo "clang-tidy: ${#sources[@]} files of core/, no findings"
fi

# No suppressions are needed today; add each with --suppress=id:file and a reason.
if cppcheck_out=$(cppcheck --enable=warning,style,performance,portability --error-exitcode=1 \
  --inline-suppr --std=c++20 -I . --quiet --template='{file}:{line}: {severity}: {message} [{id}]' \
  core/ 2>&1); then
  echo "cppcheck: core/, no findings"
else
  printf '%s\n' "${cppcheck_out}"
  echo "cppcheck: findings in core/"
  status=1
fi
exit "${status}"
