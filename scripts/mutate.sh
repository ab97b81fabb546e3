#!/usr/bin/env bash
# How strong the tests are: makes one small fault at a time in the named
# product files (a comparison, an arithmetic, logical or bitwise operator, a
# dropped !, true for false, an integer plus one, a dropped call, a default
# returned value), rebuilds, runs the tests that cover the file and reports
# each fault as caught or survived, with its file:line and text.
#   bash scripts/mutate.sh FILE...   (.cpp and .h files of core/, win/,
#                                     settings/, ui/, app/runtime_errors.cpp)
# MUTANTS_PER_FILE caps the faults tried per file (default 20; 0 for all),
# in an order fixed by the file's name, spread over the whole file; with
# MUTATE_MATCH only faults whose line matches that regular expression are
# tried. A fault that does not compile (warnings are errors) is skipped and
# not counted.
# A survivor listed in tests/mutation/accepted.txt, with the reason no test
# can catch it, is reported as accepted; any other makes the exit status 1.
# Everything happens in a copy of the tree under /tmp, removed at the end:
# the working tree is never touched. Files other than core/'s are tested
# under Wine, in a session of scripts/wine-session.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cap=${MUTANTS_PER_FILE:-20}
jobs=${DAYMARKER_JOBS:-$(nproc)}
[ $# -gt 0 ] || { echo "usage: $0 FILE..." >&2; exit 2; }

tests_of() {  # the CTest tests that cover a product file, quickest first
  case "$1" in
    core/calendar.h | core/refresh_cycle.h) echo core_tests main_window_tests ;;  # pickers, list
    core/settings_values.h) echo core_tests settings_tests main_window_tests ;;  # the defaults
    core/*) echo core_tests ;;
    win/registry_value.*) echo win_tests settings_tests about_tests ;;
    win/system_library.* | win/system_functions.h) echo win_tests main_window_tests about_tests ;;
    win/com_apartment.*) echo main_window_tests about_tests ;;
    win/clock.*) echo main_window_tests ;;  # the fake clock and the zone rules
    win/*) echo win_tests settings_tests main_window_tests about_tests ;;  # handles.h
    settings/*) echo settings_tests ;;
    ui/main/*) echo main_window_tests ;;
    ui/about/*) echo about_tests ;;
    ui/*) echo main_window_tests about_tests ;;
    app/runtime_errors.cpp) echo runtime_errors_tests ;;
    *) return 1 ;;
  esac
}
for file in "$@"; do
  if [ ! -f "${root}/${file}" ] || ! tests_of "${file}" >/dev/null; then
    echo "mutate: no tests known for ${file}" >&2
    exit 2
  fi
done

# Lists the faults of a file as "line<TAB>mutated line", in a shuffled order
# seeded by the file's name. Strings, characters, comments and preprocessor
# lines are left alone; binary operators are recognised by the spaces
# clang-format puts around them, which template brackets, pointers and
# references lack.
read -r -d '' generator <<'PY' || true
import random, re, sys
OPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==", "&&": "||",
       "||": "&&", "+": "-", "-": "+", "*": "/", "+=": "-=", "-=": "+=", "|": "&", "&": "|",
       "|=": "&=", "&=": "|=", "!": "", "true": "false", "false": "true", "TRUE": "FALSE",
       "FALSE": "TRUE"}
QUOTED = re.compile(r"//.*|/\*.*?\*/|\"(?:\\.|[^\"\\])*\"|(?<!\d)'(?:\\.|[^'\\])*'")
OP = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||[-+|&]=|[<>+*|&-])(?= )|!(?!=)"
                r"|\b(true|false|TRUE|FALSE)\b")
NUMBER = re.compile(r"(?<![\w.'])\d+(?![\w.'])")
CALL = re.compile(r"^(\s*)(::)?[A-Za-z_][\w:.>-]*\(.*\);$")
RETURN = re.compile(r"^(\s*return )(.+);$")
mutants = []
for number, line in enumerate(open(sys.argv[1], encoding="utf-8").read().split("\n"), 1):
    code = QUOTED.sub(lambda m: " " * len(m.group()), line)
    if code.lstrip().startswith("#"):
        continue
    for m in OP.finditer(code):
        mutants.append((number, line[:m.start()] + OPS[m.group()] + line[m.end():]))
    for m in NUMBER.finditer(code):
        mutants.append((number, line[:m.start()] + str(int(m.group()) + 1) + line[m.end():]))
    call = CALL.match(code.rstrip())
    if call and " = " not in code and not code.lstrip().startswith("return"):
        mutants.append((number, call.group(1) + "{}"))
    value = RETURN.match(code.rstrip())
    if value and not re.fullmatch(r"\{\}|\d+|true|false|TRUE|FALSE|nullptr|std::nullopt|"
                                  r"ERROR_SUCCESS|S_OK|std::\w+\(\)",
                                  value.group(2)):
        mutants.append((number, value.group(1) + "{};"))
mutants = list(dict.fromkeys(mutants))
random.Random(sys.argv[1]).shuffle(mutants)
print("\n".join(f"{number}\t{line}" for number, line in mutants))
PY

work=$(mktemp -d /tmp/daymarker-mutate.XXXXXX)
cleanup() {
  if declare -F wine_session_stop >/dev/null; then
    wine_session_stop
  fi
  rm -rf "${work}"
}
trap cleanup EXIT
(cd "${root}" && git ls-files -co --exclude-standard -z | tar --null --ignore-failed-read -T - -cf -) |
  tar -C "${work}" -xf -
# shellcheck source=scripts/wine-session.sh
source "${work}/scripts/wine-session.sh"
wine_script_open win32 run tests

list=tests/mutation/accepted.txt
run_tests() {  # preset timeout tests...
  local preset=$1 timeout=$2
  shift 2
  cmake --build --preset "${preset}" -j "${jobs}" --target "$@" >"${work}/build.log" 2>&1 || return 2
  tests_started=${SECONDS}
  ctest --preset "${preset}" --timeout "${timeout}" --stop-on-failure \
    -R "^($(IFS='|'; echo "$*"))\$" >"${work}/test.log" 2>&1 || return 1
}

caught=0
total=0
unaccepted=0
wine_started=""
for file in "$@"; do
  read -r -a tests <<<"$(tests_of "${file}")"
  preset=native
  if [ "${tests[*]}" != core_tests ]; then
    if [ -z "${wine_started}" ]; then
      wine_started=yes
      wine_session_start "${work}/wineprefix"
      trap cleanup EXIT
      # A crashing fault must fail its test, not wait on a crash dialog.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    fi
    preset=${WINE_PRESET}
  fi
  [ -f "build/${preset}/build.ninja" ] || cmake --preset "${preset}" >/dev/null
  if ! run_tests "${preset}" 600 "${tests[@]}"; then
    cat "${work}/build.log" "${work}/test.log" >&2
    echo "mutate: the tests of ${file} fail without any fault" >&2
    exit 1
  fi
  timeout=$((4 * (SECONDS - tests_started) + 30))  # for a fault that makes a test hang
  cp "${file}" "${work}/original"
  file_caught=0
  file_total=0
  while IFS=$'\t' read -r -u 9 line mutated; do
    [ -n "${line}" ] || continue  # a file with no faults to make
    [ "${cap}" -eq 0 ] || [ "${file_total}" -lt "${cap}" ] || break
    [[ ${mutated} =~ ${MUTATE_MATCH:-} ]] || continue
    MUTATED=${mutated} awk -v n="${line}" 'NR == n { print ENVIRON["MUTATED"]; next } 1' \
      "${work}/original" >"${file}"
    status=0
    run_tests "${preset}" "${timeout}" "${tests[@]}" </dev/null || status=$?
    cp "${work}/original" "${file}"
    [ "${status}" -ne 2 ] || continue
    file_total=$((file_total + 1))
    original=$(sed -n "${line}p" "${work}/original")
    mutated=${mutated#"${mutated%%[! ]*}"}
    key="${file}: \`${original#"${original%%[! ]*}"}\` -> \`${mutated}\`"
    if [ "${status}" -eq 1 ]; then
      file_caught=$((file_caught + 1))
      printf 'caught   %s:%s: %s\n' "${file}" "${line}" "${mutated}"
    elif KEY="${key}: " awk 'index($0, ENVIRON["KEY"]) == 1 { found = 1 } END { exit !found }' \
      "${list}"; then
      printf 'accepted %s:%s: %s\n' "${file}" "${line}" "${mutated}"
    else
      unaccepted=$((unaccepted + 1))
      printf 'SURVIVED %s:%s, not in %s:\n  %s\n' "${file}" "${line}" "${list}" "${key}"
    fi
  done 9< <(python3 -c "${generator}" "${file}")
  echo "${file}: ${file_caught} of ${file_total} caught"
  caught=$((caught + file_caught))
  total=$((total + file_total))
done
echo "caught ${caught} of ${total} faults; ${unaccepted} survived that ${list} does not list"
[ "${unaccepted}" -eq 0 ]
