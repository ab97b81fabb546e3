#!/usr/bin/env python3
"""usage: check-readme-examples.py [WINE_PRESET]

Fails unless each command of README.md's sh blocks that picks tests, by
`ctest -R` or GTEST_FILTER, picks at least one: a GoogleTest filter that
matches nothing passes quietly, so an example that went stale would not show.
A command names its build with --preset, or runs through scripts/wine-ctest.sh
and so in WINE_PRESET (its commands are skipped when none is given). CTest picks
the programs and the programs list their tests under the filter themselves, so
both match as they do when the example runs. Run from the source tree after the
builds; the Wine programs need the Wine session (scripts/wine-session.sh)."""

import json
import os
import re
import shlex
import subprocess
import sys


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, check=True, **options).stdout


def problem(line, wine_preset):
    """What is wrong with the line's pick, if it picks tests; None when it is fine."""
    words = shlex.split(line, comments=True)
    named = dict(w.split("=", 1) for w in words if re.match(r"\w+=", w))
    after = lambda *options: [b for a, b in zip(words, words[1:]) if a in options]
    pattern = (after("-R", "--tests-regex") or [None])[0]
    if pattern is None and "GTEST_FILTER" not in named:
        return None
    if pattern is None:
        return "a GoogleTest filter with no -R naming its program"
    if "scripts/wine-ctest.sh" in words:
        preset = wine_preset
        if preset is None:
            print(f"skipped, no Wine preset given: {line}")
            return None
    elif after("--preset"):
        preset = after("--preset")[-1]
    else:
        return "no build named (--preset or scripts/wine-ctest.sh)"
    tests = json.loads(run(["ctest", "--preset", preset, "-N", "-R", pattern,
                            "--show-only=json-v1"]))["tests"]
    if not tests:
        return f"-R {pattern} selects no test of preset {preset}"
    if "GTEST_FILTER" in named:
        env = dict(os.environ, GTEST_FILTER=named["GTEST_FILTER"])
        listed = [run(t["command"] + ["--gtest_list_tests"], env=env) for t in tests]
        if not any(re.search(r"^  \S", out, re.M) for out in listed):
            return f"GTEST_FILTER={named['GTEST_FILTER']} selects no test of {pattern}"
    return None


def main(argv):
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    readme = open("README.md", encoding="utf-8").read()
    blocks = re.findall(r"^```sh\n(.*?)^```", readme, re.S | re.M)
    lines = [line for block in blocks for line in block.splitlines()]
    failed = [(line, why) for line in lines if (why := problem(line, (argv[1:] or [None])[0]))]
    for line, why in failed:
        print(f"README.md: {line}\n  {why}", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
