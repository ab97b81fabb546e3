#!/usr/bin/env bash
# How strong the tests are: makes one small fault at a time in the named
# product files (a comparison, an arithmetic, logical or bitwise operator, a
# dropped !, true for false, an integer plus one, a dropped call, a default
# returned value), rebuilds, runs the tests that cover the file and reports
# each fault as caught, accepted (tests/mutation/accepted.txt says why no test
# catches it) or survived. docs/mutation.md tells more.
#   bash scripts/mutate.sh FILE...   (.cpp and .h files of core/, win/,
#                                     settings/, ui/, app/runtime_errors.cpp)
# MUTANTS_PER_FILE caps the faults tried per file (default 20; 0 for all), in
# an order fixed by the file's contents; MUTATE_MATCH tries only the faults
# whose line matches that regular expression; MUTATE_SHARD=K/N tries every Nth
# of the faults left, from the Kth on, so that N runs side by side share them.
# A fault that does not compile
# (warnings are errors) is skipped and not counted. The run fails on a
# survivor the ledger lacks, on a fault the ledger accepts that a test
# catches, and, before any fault is made, on a ledger entry of a named file
# that does not name exactly the faults it says it does.
# Everything happens in a copy of the tree under /tmp, removed at the end; the
# run's figures replace its command's row in tests/mutation/results.md.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cap=${MUTANTS_PER_FILE:-20}
shard=${MUTATE_SHARD:-1/1}
[[ ${shard} =~ ^([1-9][0-9]*)/([1-9][0-9]*)$ ]] && [ "${BASH_REMATCH[1]}" -le "${BASH_REMATCH[2]}" ] ||
  { echo "mutate: MUTATE_SHARD is K/N, 1 <= K <= N" >&2; exit 2; }
shard_index=$((BASH_REMATCH[1] - 1)) shard_count=${BASH_REMATCH[2]}
jobs=${DAYMARKER_JOBS:-$(nproc)}
list=tests/mutation/accepted.txt
results=${root}/tests/mutation/results.md
[ $# -gt 0 ] || { echo "usage: $0 FILE..." >&2; exit 2; }

# The test programs that cover a product file, the likeliest to catch a fault
# first: core_tests natively, the others under Wine, every layer above the file
# included (only a fault that the first survives reaches the next).
tests_of() {
  case "$1" in
    core/calendar.* | core/refresh_cycle.* | core/time_left.* | core/workspace.*)
      echo core_tests main_window_tests ;;
    core/contrast.*) echo core_tests about_tests ;;
    core/decimal.* | core/number_text.*) echo core_tests settings_tests ;;
    core/settings_values.*) echo core_tests settings_tests main_window_tests ;;
    core/version.*) echo core_tests settings_tests main_window_tests about_tests ;;
    core/*) echo core_tests ;;
    win/handles.*) echo win_tests runtime_errors_tests settings_tests main_window_tests about_tests ;;
    win/clock.*) echo win_tests main_window_tests ;;  # the zone rules, the fake clock's users
    win/*) echo win_tests settings_tests main_window_tests about_tests ;;
    settings/*) echo settings_tests main_window_tests ;;
    ui/main/*) echo main_window_tests ;;
    ui/about/*) echo about_tests main_window_tests ;;
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

# "check LEDGER FILE...": what is wrong with the ledger's entries for those
# files, each checked against every fault of its file whatever the cap.
# "list LEDGER FILE": the file's faults in an order seeded by its contents, as
# "line<TAB>mark<TAB>entry<TAB>mutated line": mark is what the ledger says
# (- for nothing, accepted, recheck), entry the line that would accept it.
# Strings, characters, comments and preprocessor lines are left alone; binary
# operators are recognised by the spaces clang-format puts around them, which
# template brackets, pointers and references lack.
read -r -d '' generator <<'PY' || true
import os, random, re, sys
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
# A line at the left edge starts a function (its name is the one before the
# first parenthesis) or ends one, or is a declaration outside any.
FUNCTION = re.compile(r"(?!(?:namespace|class|struct|enum|union|template|using|extern)\b)"
                      r"(?=[^\s=;(}])[^=;(]*?([\w:~]+)\(")
ENTRY = re.compile(r"(\S+?)(?: in ([\w:~]+))?(?:, (\d+) lines)?: `(.*?)` -> `(.*?)`: (.+)")


def faults(path):  # (line number, function, line, mutated line), lines as written
    found, function = [], ""
    for number, line in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        code = QUOTED.sub(lambda m: " " * len(m.group()), line)
        if code[:1].strip():
            start = FUNCTION.match(code)
            function = start.group(1) if start else ""
        if code.lstrip().startswith("#"):
            continue
        add = lambda mutated: found.append((number, function, line, mutated))
        for m in OP.finditer(code):
            add(line[:m.start()] + OPS[m.group()] + line[m.end():])
        for m in NUMBER.finditer(code):
            add(line[:m.start()] + str(int(m.group()) + 1) + line[m.end():])
        call = CALL.match(code.rstrip())
        if call and " = " not in code and not code.lstrip().startswith("return"):
            add(call.group(1) + "{}")
        value = RETURN.match(code.rstrip())
        if value and not re.fullmatch(r"\{\}|[\d.]+|true|false|TRUE|FALSE|nullptr|std::nullopt|"
                                      r"ERROR_SUCCESS|S_OK|std::\w+\(\)", value.group(2)):
            add(value.group(1) + "{};")
    return list(dict.fromkeys(found))


def same(a, b):  # the same change of the same text
    return (a[2].strip(), a[3].strip()) == (b[2].strip(), b[3].strip())


def entry(path, found, fault):  # the ledger line that accepts this fault alone, or all like it
    alike = [f for f in found if same(f, fault)]
    there = [f for f in alike if f[1] == fault[1]] if fault[1] else alike
    where = f" in {fault[1]}" if len(alike) > 1 and fault[1] else ""
    count = f", {len(there)} lines" if len(there) > 1 else ""
    return f"{path}{where}{count}: `{fault[2].strip()}` -> `{fault[3].strip()}`"


def ledger(path, found, problems):  # {fault index: mark} of the entries for path
    marks = {}
    for at, text in enumerate(open(sys.argv[2], encoding="utf-8").read().split("\n"), 1):
        if not text.strip() or text.startswith("#"):
            continue
        e = ENTRY.fullmatch(text)
        where = f"{sys.argv[2]}:{at}"
        if not e:
            problems.append(f"{where}: not an entry")
        elif not os.path.isfile(e[1]):
            problems.append(f"{where}: no file {e[1]}")
        if not e or e[1] != path:
            continue
        named = [i for i, f in enumerate(found)
                 if same(f, (0, "", e[4], e[5])) and e[2] in (None, f[1])]
        lines = ", ".join(str(found[i][0]) for i in named)
        if len(named) != int(e[3] or 1):
            problems.append(f"{where}: says {e[3] or 1} of {path}, matches {len(named)}"
                            + (f" (lines {lines})" if named else ": it is stale"))
        for i in named:
            if i in marks:
                problems.append(f"{where}: line {found[i][0]} is accepted twice")
            marks[i] = "recheck" if e[6].startswith("Recheck:") else "accepted"
    return marks


problems = []
for path in sys.argv[3:]:
    found = faults(path)
    marks = ledger(path, found, problems)
    if sys.argv[1] == "list":
        order = list(range(len(found)))
        random.Random(open(path, encoding="utf-8").read()).shuffle(order)
        for i in order:
            print(f"{found[i][0]}\t{marks.get(i, '-')}\t{entry(path, found, found[i])}\t"
                  f"{found[i][3]}")
if sys.argv[1] == "check" and problems:
    sys.exit("\n".join(dict.fromkeys(problems)))
PY
cd "${root}"
if ! python3 -c "${generator}" check "${list}" "$@"; then
  echo "mutate: each entry of ${list} accepts exactly the faults it names, as docs/mutation.md says" >&2
  exit 1
fi
commit=$(git rev-parse --short HEAD)
if [ -n "$(git status --porcelain -- . ":!${results#"${root}/"}")" ]; then
  commit="${commit} with uncommitted changes"
fi

work=$(mktemp -d /tmp/daymarker-mutate.XXXXXX)
cleanup() {
  if declare -F wine_session_stop >/dev/null; then
    wine_session_stop
  fi
  rm -rf "${work}"
}
trap cleanup EXIT
git ls-files -co --exclude-standard -z | tar --null --ignore-failed-read -T - -cf - |
  tar -C "${work}" -xf -
# shellcheck source=scripts/wine-session.sh
source "${work}/scripts/wine-session.sh"
wine_script_open win32 run tests

declare -A limit=()  # each test's timeout, from its run before any fault
wine_started=""
run_tests() {  # TEST...: 2 when one does not build, 1 when one fails
  local test preset
  for test; do
    preset=${WINE_PRESET}
    if [ "${test}" = core_tests ]; then
      preset=native
    elif [ -z "${wine_started}" ]; then
      wine_started=yes
      wine_session_start "${work}/wineprefix"
      trap cleanup EXIT
      # A crashing fault must fail its test, not wait on a crash dialog.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    fi
    [ -f "build/${preset}/build.ninja" ] || cmake --preset "${preset}" >/dev/null
    cmake --build --preset "${preset}" -j "${jobs}" --target "${test}" >"${work}/build.log" 2>&1 ||
      return 2
    tested_at=${SECONDS}
    # The first failure decides: the rest of a caught fault's tests are skipped.
    GTEST_FAIL_FAST=1 ctest --preset "${preset}" --timeout "${limit[${test}]:-600}" -R "^${test}\$" \
      >"${work}/test.log" 2>&1 || return 1
  done
}

tried=0 caught=0 accepted=0 unlisted=0 wrong=0 listed=0
for file in "$@"; do
  read -r -a tests <<<"$(tests_of "${file}")"
  for test in "${tests[@]}"; do
    [ -z "${limit[${test}]:-}" ] || continue
    if ! run_tests "${test}"; then
      cat "${work}/build.log" "${work}/test.log" >&2
      echo "mutate: ${test} fails without any fault" >&2
      exit 1
    fi
    limit[${test}]=$((4 * (SECONDS - tested_at) + 30))  # for a fault that makes a test hang
  done
  cp "${file}" "${work}/original"
  file_tried=0 file_caught=0 file_started=${SECONDS}
  while IFS=$'\t' read -r -u 9 line mark key mutated; do
    # Past the cap only the faults the ledger asks to try on every run are tried.
    [ "${cap}" -eq 0 ] || [ "${file_tried}" -lt "${cap}" ] || [ "${mark}" = recheck ] || continue
    [[ ${mutated} =~ ${MUTATE_MATCH:-} ]] || continue
    [ $((listed++ % shard_count)) -eq "${shard_index}" ] || continue
    MUTATED=${mutated} awk -v n="${line}" 'NR == n { print ENVIRON["MUTATED"]; next } 1' \
      "${work}/original" >"${file}"
    status=0
    run_tests "${tests[@]}" </dev/null || status=$?
    cp "${work}/original" "${file}"
    [ "${status}" -ne 2 ] || continue
    file_tried=$((file_tried + 1))
    if [ "${status}" -eq 1 ] && [ "${mark}" = - ]; then
      file_caught=$((file_caught + 1))
      printf 'caught   %s:%s: %s\n' "${file}" "${line}" "${mutated#"${mutated%%[! ]*}"}"
    elif [ "${status}" -eq 1 ]; then
      file_caught=$((file_caught + 1)) wrong=$((wrong + 1))
      printf 'CAUGHT   %s:%s, yet %s accepts it: mend or drop its entry\n  %s\n' \
        "${file}" "${line}" "${list}" "${key}"
    elif [ "${mark}" != - ]; then
      accepted=$((accepted + 1))
      [ "${mark}" = accepted ] || line+=" (rechecked)"
      printf 'accepted %s:%s: %s\n' "${file}" "${line}" "${mutated#"${mutated%%[! ]*}"}"
    else
      unlisted=$((unlisted + 1))
      printf 'SURVIVED %s:%s, not in %s:\n  %s\n' "${file}" "${line}" "${list}" "${key}"
    fi
  done 9< <(python3 -c "${generator}" list "${list}" "${file}")
  echo "${file}: ${file_caught} of ${file_tried} caught in $((SECONDS - file_started)) s"
  tried=$((tried + file_tried)) caught=$((caught + file_caught))
done
minutes=$(((SECONDS + 30) / 60))
echo "caught ${caught} of ${tried} faults in ${minutes} min; ${accepted} accepted;" \
  "${unlisted} survived that ${list} does not list; ${wrong} it lists were caught"

command="${MUTATE_MATCH:+MUTATE_MATCH=$(printf %q "${MUTATE_MATCH}") }MUTANTS_PER_FILE=${cap}"
[ "${shard_count}" -eq 1 ] || command="MUTATE_SHARD=${shard} ${command}"
command+=" bash scripts/mutate.sh $*"
row="| \`${command//|/\\|}\` | ${tried} | ${caught} | ${accepted} | ${unlisted} | ${minutes} | ${commit} |"
[ -f "${results}" ] || printf '%s\n' "| Command | Tried | Caught | Accepted | Unlisted | Minutes | Commit |" \
  "| --- | ---: | ---: | ---: | ---: | ---: | --- |" >"${results}"
ROW=${row} KEY="| \`${command//|/\\|}\` |" awk '
  index($0, ENVIRON["KEY"]) == 1 { if (!done) print ENVIRON["ROW"]; done = 1; next }
  { print }
  END { if (!done) print ENVIRON["ROW"] }' "${results}" >"${work}/results.md"
cp "${work}/results.md" "${results}"
[ "${unlisted}" -eq 0 ] && [ "${wrong}" -eq 0 ]
