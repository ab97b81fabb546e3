#!/usr/bin/env python3
"""Daymarker end to end: one user's journey through the real program on the Wine desktop
that scripts/test.sh brings up, by X keyboard and mouse input, read back with peek.exe, and
what it left in the registry. Run with PYTHONPATH=scripts, as its CTest test is."""

import argparse
import calendar
import contextlib
import datetime
import os
import re
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from wine_desktop import (Desktop, Failure, centre, noon_zone, numbers,  # noqa: E402
                          picker_value, tray_icon)

PLACEHOLDER = "Enter event here..."
EVENT = "Party"
WEDDING = "Wedding"
UNIT_SECONDS = {"second": 1, "minute": 60, "hour": 3600, "day": 86400, "month": 28 * 86400,
                "year": 12 * 28 * 86400}
USER = r"HKEY_USERS\\S-1-5-21-[\d-]+\\"  # how the export names HKEY_CURRENT_USER
COMPANY = USER + r"Software\\Tolvane"
SETTINGS = COMPANY + r"\\Daymarker"
# What Wine itself changes whenever any program runs, as (key, value names);
# nothing else outside the program's own key may change.
WINE_CHANGES = [
    # The display driver stamps its adapter with the time whenever a process
    # sets up the display, and each new desktop (one opens when a program starts
    # after the last one has left) records its display driver under a new GUID.
    (r"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\(Class\\"
     r"\{4D36E968-E325-11CE-BFC1-08002BE10318\}|Video\\\{[0-9a-f-]+\})(\\\d{4})?",
     r'"(DriverDateData|GraphicsDriver)"'),
    # Wine's volatile copy of the mouse and screen settings, made the first
    # time a session uses them and never saved.
    (USER + r"Software\\Wine\\Temporary System Parameters(\\.*)?", r".*"),
]


def export_registry(desktop, path):
    """The whole registry as {key: {value name: value line}}."""
    desktop.run(["wine", "regedit", "/E", path], timeout=120)
    with open(path, encoding="utf-16") as exported:
        text = re.sub(r"\\\n\s*", "", exported.read())  # join continued hex lines
    # Each key's line, then its value lines up to a blank line.
    return {key: {line.split("=", 1)[0]: line for line in values.splitlines() if "=" in line}
            for key, values in re.findall(r"^\[(.+)\]\n((?:.+\n?)*)", text, re.M)}


def registry_changes(before, after):
    """The keys changed outside the program's own and Wine's own changes: "key: value names"."""
    for key in sorted(before.keys() | after.keys()):
        old, new = before.get(key), after.get(key)
        # The settings key, and its parent made empty on the way to it, are the program's.
        if old == new or re.fullmatch(SETTINGS, key) or (not new and re.fullmatch(COMPANY, key)):
            continue
        names = sorted({name for name, _ in set((old or {}).items()) ^ set((new or {}).items())})
        if not any(re.fullmatch(pattern, key) and all(re.fullmatch(named, name) for name in names)
                   for pattern, named in WINE_CHANGES):
            yield "%s: %s" % (key, ", ".join(names) or ("created" if old is None else "deleted"))


def line_seconds(line):
    """The time the status line "Party - 59 minutes, 58 seconds" words, in seconds, and its
    units; no units when it is not so worded."""
    phrase = r"(\d+) (second|minute|hour|day|month|year)s?"
    if not re.fullmatch(re.escape(EVENT) + r" - %s(, %s)*" % (phrase, phrase), line):
        return 0, []
    units = [(int(count), unit) for count, unit in re.findall(phrase, line)]
    return sum(count * UNIT_SECONDS[unit] for count, unit in units), [unit for _, unit in units]


def expect(seen, expected):
    wrong = ["%s is %r, not %r" % (key, seen.get(key), value)
             for key, value in expected.items() if seen.get(key) != value]
    if wrong:
        raise Failure("; ".join(wrong), seen)


def picked(seen):
    return datetime.datetime.combine(picker_value(seen["date.value"]).date(),
                                     picker_value(seen["time.value"]).time())


def options(level):
    """The display option buttons with only the one for level (1..6) checked."""
    return {"opt%d.check" % i: "1" if i == level - 1 else "0" for i in range(6)}


class Journey:
    def __init__(self, args, desktop, offset):
        self.args, self.desktop, self.wait = args, desktop, desktop.wait_until
        self.offset = datetime.timedelta(hours=offset)
        self.started = time.monotonic()

    def step(self, text):
        print("[%5.1f s] %s" % (time.monotonic() - self.started, text), flush=True)

    def now(self):
        return datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None) + self.offset

    def start(self, what, launcher=(), copies=1, running=()):
        """Starts copies of the program at once, beside those running: one runs, the others end."""
        self.step(what)
        programs = [*running, *[self.desktop.spawn(["wine", *launcher, self.args.daymarker])
                                for _ in range(copies)]]
        seen = self.wait(lambda s: s["main.visible"] == "1" and s["status.text"]
                         and s["main.copies"] == "1" and [p.poll() for p in programs].count(None)
                         == 1, "the main window, the other starts ended", 60)
        codes = [program.poll() for program in programs]  # None: still running
        if codes.count(None) != 1 or set(codes) - {None, 0}:
            raise Failure("the starts ended with %s" % codes, seen)
        return programs[codes.index(None)], seen

    def close(self, program):
        # Alt+F4 goes again should the desktop drop it, as it now and then does just after the
        # window came forward from its icon; the program then ends, with 0.
        for _ in range(3):
            self.wait(lambda s: s["main.foreground"] == "1", "the window in the foreground")
            self.desktop.key("alt+F4")
            with contextlib.suppress(subprocess.TimeoutExpired):
                return expect({"exit code": program.wait(timeout=10)}, {"exit code": 0})
        raise Failure("Daymarker did not end on Alt+F4")

    def run(self):
        desktop = self.desktop
        desktop.run(["wine", "reg", "delete", r"HKCU\Software\Tolvane", "/f"])
        before = export_registry(desktop, os.path.join(self.args.work, "before.reg"))

        program, seen = self.start("first start, twice at once: the defaults", copies=2)
        expect(seen, {"main.title": "Daymarker v1.03", "status.text": "Daymarker v1.03 - DISABLED",
                      "name.text": PLACEHOLDER, "name.enabled": "0", "date.focus": "1",
                      "only.check": "0", "update.text": "Every 30 Seconds", **options(4)})

        self.step("drag the window by its title bar, off its default place")
        frame = numbers(seen["main.rect"])
        grip = (frame[0] + 60, numbers(seen["main.minimise"])[1])
        desktop.drag(grip, (grip[0] + 170, grip[1] + 110))
        seen = self.wait(lambda s: numbers(s["main.rect"])[:2] == (frame[0] + 170, frame[1] + 110),
                         "the window moved")

        self.step("time picker: the hour, then Up")
        picker = numbers(seen["time.rect"])
        desktop.click((picker[0] + 8, centre(picker)[1]))
        desktop.key("Up")
        seen = self.wait(lambda s: s["name.enabled"] == "1" and s["status.text"] == PLACEHOLDER
                         + " - ", "the event an hour ahead, under a day: no days on the line")

        self.step("name box: click, type the name")
        desktop.click(centre(numbers(seen["name.rect"])))
        desktop.type_text(EVENT)
        seen = self.wait(lambda s: s["name.text"] == EVENT and s["status.text"] == EVENT + " - ",
                         "the line with the name typed over the placeholder")
        target = picked(seen)

        # Each choice rebuilds the line at once, well before the 30-second refresh.
        for keys, box, units_shown in [("alt+s", "opt0.check", lambda units: units[-1] == "second"),
                                       ("alt+o", "only.check", lambda units: units == ["second"])]:
            self.step("%s: the line in seconds" % keys)
            early = (target - self.now()).total_seconds()
            desktop.key(keys)
            seen = self.wait(lambda s: s[box] == "1" and units_shown(line_seconds(s["status.text"])
                                                                     [1]), "the line in seconds", 5)
            late = (target - self.now()).total_seconds()
            if not late - 2 <= line_seconds(seen["status.text"])[0] <= early + 2:
                raise Failure("%r is not %d..%d s" % (seen["status.text"], late, early), seen)

        self.step("minimise: the icon's tooltip is the line")
        place = seen["main.rect"]
        desktop.click(numbers(seen["main.minimise"]))
        seen = self.wait(lambda s: s["main.visible"] == "0"
                         and tray_icon(s, EVENT)[1] == s["status.text"],
                         "the window hidden behind an icon that tells the line")

        self.step("double-click the icon: the window is back where it was")
        desktop.double_click(centre(tray_icon(seen, EVENT)[0]))
        seen = self.wait(lambda s: s["main.visible"] == "1" and s["main.rect"] == place
                         and tray_icon(s, EVENT) is None, "the window back at %s" % place)
        self.close(program)

        # Started as a shortcut set to "Minimised" starts it: still shown, in its normal state.
        program, seen = self.start("second start, minimised by its launcher: the same event, "
                                   "options and place", ["start", "/min", "/wait", "/unix"])
        expect({**seen, "picked": picked(seen), "units": line_seconds(seen["status.text"])[1]},
               {"main.rect": place, "name.text": EVENT, "only.check": "1", "picked": target,
                "units": ["second"], "update.text": "Every 30 Seconds", **options(1)})

        # Started again while it waits behind its icon (a Startup shortcut, then the Start
        # menu): the running copy comes back, and the name typed into it is what is saved.
        desktop.click(numbers(seen["main.minimise"]))
        self.wait(lambda s: s["main.visible"] == "0" and tray_icon(s, EVENT), "the icon")
        program, _ = self.start("minimised, two more starts: the running copy's window comes back",
                                copies=2, running=[program])
        seen = self.wait(lambda s: s["main.rect"] == place and s["main.foreground"] == "1"
                         and tray_icon(s, EVENT) is None, "the running copy's window in front")
        desktop.click(centre(numbers(seen["name.rect"])))
        desktop.type_text(WEDDING)
        self.close(program)

        self.step("the settings key, the name typed last in it, and nothing else changed")
        after = export_registry(desktop, os.path.join(self.args.work, "after.reg"))
        left, top = numbers(place)[:2]  # in pixels at 96 DPI, 15 twips each
        saved = {'"WindowX"=dword:%08x' % (left * 15), '"WindowY"=dword:%08x' % (top * 15),
                 '"DateNTime"=dword:%08x' % calendar.timegm(target.timetuple()),
                 '"Event"="%s"' % WEDDING, '"Display"=dword:00000001',
                 '"Update"=dword:00000003', '"OnlyUnits"=dword:00000001'}
        expect({"the settings key": [sorted(values.values()) for key, values in after.items()
                                     if re.fullmatch(SETTINGS, key)],
                "changed outside it": list(registry_changes(before, after))},
               {"the settings key": [sorted(saved)], "changed outside it": []})


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("--daymarker", "--peek", "--work"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    zone, offset = noon_zone()
    print("time zone %s" % zone, flush=True)
    desktop = Desktop(args.peek, tz=zone)
    try:
        Journey(args, desktop, offset).run()
        return 0
    except Exception as error:  # a failed check, or an error in the test itself: the evidence
        print("FAILED: " + traceback.format_exc())
        for key, value in sorted((getattr(error, "seen", None) or {}).items()):
            print("  %s=%s" % (key, value))
        desktop.screenshot(os.path.join(args.work, "e2e-failure.png"))
        print("screenshot: %s\nfailed" % os.path.join(args.work, "e2e-failure.png"), flush=True)
        return 1
    finally:
        desktop.close()


if __name__ == "__main__":
    sys.exit(main())
