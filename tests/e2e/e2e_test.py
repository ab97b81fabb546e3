#!/usr/bin/env python3
"""Daymarker end to end: the real program in Wine's desktop, driven with X
keyboard and mouse input as a new user would drive it, read back with
peek.exe, and its registry footprint compared with a trivial program's.

  e2e_test.py --daymarker EXE --peek EXE --baseline EXE --work DIR
"""

import argparse
import calendar
import datetime
import math
import os
import re
import signal
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_desktop import (Failure, Session, centre, install_signal_handlers,  # noqa: E402
                          parse_point, parse_rect)

TITLE = "Daymarker v1.03"
PLACEHOLDER = "Enter event here..."
DISABLED_LINE = TITLE + " - DISABLED"
EVENT = "Party"
SETTINGS_KEY = r"HKEY_CURRENT_USER\Software\Tolvane\Daymarker"
SETTINGS_QUERY_KEY = r"HKCU\Software\Tolvane\Daymarker"
SCREEN = (1024, 768)
TIME_LIMIT = 280  # seconds; below CTest's 300, so that cleanup still runs
START = 20  # seconds for a program to show its window or end
QUICK = 3  # well under the 30-second refresh: a change this fast came from the input
TWIPS_PER_PIXEL = 15  # at 96 DPI
DISPLAY_KEYS = ["s", "n", "h", "d", "m", "y"]  # access keys of options 0..5
UNIT_SECONDS = {"second": 1, "minute": 60, "hour": 3600, "day": 86400,
                "month": 28 * 86400, "year": 12 * 28 * 86400}
LEVEL_UNITS = ["second", "minute", "hour", "day", "month", "year"]

# What Wine itself changes while any program runs: (key, kinds of change,
# value names, why). A change to one of these is excused only when the
# trivial program's run made it too.
WINE_FILTERS = [
    (r"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\(Class\\"
     r"\{4D36E968-E325-11CE-BFC1-08002BE10318\}|Video\\\{[0-9a-f-]+\})\\\d{4}",
     {"changed"}, r"DriverDateData",
     "the display driver stamps the adapter with the time whenever a process sets up the display"),
    (r"HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters(\\.+)?",
     {"created", "changed"}, r".*",
     "Wine's record of the session's mouse and screen settings, never saved for the user"),
]


# -- the local clock -----------------------------------------------------------------------------

def noon_zone():
    """A zone without daylight saving in which it is about noon now, so that
    one hour up on the time picker never wraps past midnight."""
    offset = 12 - datetime.datetime.now(datetime.timezone.utc).hour
    if offset == 0:
        return "Etc/GMT", 0
    # The Etc zones' signs are inverted: Etc/GMT-5 is five hours ahead of UTC.
    return ("Etc/GMT-%d" % offset if offset > 0 else "Etc/GMT+%d" % -offset), offset


class Clock:
    def __init__(self, offset_hours):
        self.offset = datetime.timedelta(hours=offset_hours)

    def now(self):
        return (datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None) + self.offset)


def picker_value(text):
    """A picker's value as peek shows it: year,month,day,hour,minute,second."""
    return datetime.datetime.strptime(text, "%Y,%m,%d,%H,%M,%S")


def target_of(seen):
    """The event's moment as the two pickers show it: the date of one, the time of the other."""
    date = picker_value(seen["date.value"])
    clock = picker_value(seen["time.value"])
    return date.replace(hour=clock.hour, minute=clock.minute, second=clock.second)


# -- the status line -----------------------------------------------------------------------------

def phrase_units(line):
    """{unit: count} of "<event> - 1 year, 2 months, 3 days"; None when the words are wrong."""
    prefix = EVENT + " - "
    if not line.startswith(prefix):
        return None
    units = {}
    rest = line[len(prefix):]
    parts = rest.split(", ") if rest else []
    # A unit above the smallest shown keeps its ", " even when nothing follows.
    if parts and parts[-1] == "":
        parts.pop()
    for part in parts:
        match = re.fullmatch(r"([1-9]\d*) (second|minute|hour|day|month|year)(s?)", part)
        if match is None:
            return None
        count, unit, plural = int(match.group(1)), match.group(2), match.group(3)
        if (count > 1) != (plural == "s") or unit in units:
            return None
        units[unit] = count
    return units


# -- registry ------------------------------------------------------------------------------------

def export_registry(session, path):
    """The whole registry as {key: {value name: value line}}, the user's own
    hive under HKEY_CURRENT_USER as the program sees it."""
    if os.path.exists(path):
        os.remove(path)
    session.run(["wine", "regedit", "/E", path], timeout=120)
    with open(path, "rb") as exported:
        text = exported.read().decode("utf-16")
    keys = {}
    current = None
    pending = ""
    for line in text.splitlines():
        line = pending + line.lstrip() if pending else line
        pending = ""
        if line.startswith("[") and line.endswith("]"):
            current = {}
            keys[line[1:-1]] = current
        elif current is not None and line.endswith("\\"):
            pending = line[:-1]  # a hex value goes on on the next line
        elif current is not None and line.strip():
            match = re.match(r'(@|"(?:[^"\\]|\\.)*")=', line)
            current[match.group(1) if match else line] = line
    # The export lists the user's hive under HKEY_USERS\<SID>.
    users = {key.split("\\")[1] for key in keys
             if key.startswith("HKEY_USERS\\S-1-5-21-") and key.count("\\") >= 1}
    if len(users) != 1:
        raise Failure("cannot tell the user's hive among %s" % sorted(users))
    hive = "HKEY_USERS\\" + users.pop()
    return {("HKEY_CURRENT_USER" + key[len(hive):] if key == hive or key.startswith(hive + "\\")
             else key): values for key, values in keys.items()}


def registry_changes(before, after):
    """[(key, kind, changed value names, detail)] for every key created, deleted or changed."""
    changes = []
    for key in sorted(set(before) | set(after)):
        old, new = before.get(key), after.get(key)
        if old == new:
            continue
        if old is None:
            changes.append((key, "created", set(new), "created"))
        elif new is None:
            changes.append((key, "deleted", set(old), "deleted"))
        else:
            names = {name for name in set(old) | set(new) if old.get(name) != new.get(name)}
            detail = "; ".join("%s: %s -> %s" % (name, old.get(name), new.get(name))
                               for name in sorted(names))
            changes.append((key, "changed", names, "changed " + detail[:300]))
    return changes


def own_key(key, kind, after):
    """The settings key itself, or one of its parents created empty on the way to it."""
    if key.lower() == SETTINGS_KEY.lower():
        return True
    return (kind == "created" and SETTINGS_KEY.lower().startswith(key.lower() + "\\")
            and not after.get(key))


def matching_filter(change):
    key, kind, names, _ = change
    for number, (pattern, kinds, value_names, _reason) in enumerate(WINE_FILTERS):
        if (re.fullmatch(pattern, key, re.IGNORECASE) and kind in kinds
                and all(re.fullmatch(value_names, name.strip('"')) for name in names)):
            return number
    return None


# -- the test ------------------------------------------------------------------------------------

class EndToEnd:
    def __init__(self, args, log):
        self.args = args
        self.log = log
        zone, offset = noon_zone()
        self.clock = Clock(offset)
        self.log("time zone %s" % zone)
        self.session = Session(os.path.join(args.work, "prefix"), args.peek, size=SCREEN, tz=zone,
                               log=log)
        self.scale = 1.0
        self.started = time.monotonic()

    def step(self, text):
        self.log("[%6.1f s] %s" % (time.monotonic() - self.started, text))

    def wait(self, condition, what, timeout=10, args=()):
        return self.session.wait_until(condition, timeout, what, args=args)

    def expect(self, condition, message, seen):
        if not condition:
            raise Failure(message, seen)

    def run(self):
        self.started = time.monotonic()
        self.session.start()
        self.step("Wine desktop up on %s" % self.session.display)
        self.check_screen_mapping()
        registry = {"start": export_registry(self.session, self.work("registry-start.reg"))}
        self.baseline_run()
        registry["baseline"] = export_registry(self.session, self.work("registry-baseline.reg"))
        saved = self.first_run()
        registry["daymarker"] = export_registry(self.session, self.work("registry-daymarker.reg"))
        self.check_saved_values(saved)
        self.check_footprint(registry)
        self.second_run(saved)
        self.step("all checks passed")

    def work(self, name):
        return os.path.join(self.args.work, name)

    # Win32 screen coordinates are the X coordinates only while the desktop
    # window covers the whole Xvfb screen from its corner.
    def check_screen_mapping(self):
        geometry = self.session.desktop_geometry()
        seen = self.session.peek()
        self.expect(geometry == (0, 0) + SCREEN, "Wine's desktop is at %s in X" % (geometry,), seen)
        self.expect(seen.get("screen.rect") == "0,0,%d,%d" % SCREEN,
                    "Win32 sees the screen as %s" % seen.get("screen.rect"), seen)
        taskbar = parse_rect(seen["taskbar.rect"])
        self.expect(taskbar[3] == SCREEN[1] and taskbar[2] == SCREEN[0],
                    "the taskbar is not along the bottom edge", seen)

    def tray_icon(self, seen, tip_start):
        index = 0
        while "tray%d.tip" % index in seen:
            if seen["tray%d.tip" % index].startswith(tip_start):
                return parse_rect(seen["tray%d.rect" % index]), seen["tray%d.tip" % index]
            index += 1
        return None

    def wait_exit(self, program, what):
        try:
            code = program.wait(timeout=START)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not end within %d s" % (what, START), self.session.peek())
        self.expect(code == 0, "%s ended with exit code %d" % (what, code), None)

    # -- the trivial program ---------------------------------------------------------------------

    def baseline_run(self):
        self.step("trivial program: start, type, minimise, restore, close")
        args = ("Baseline",)
        program = self.session.spawn(["wine", self.args.baseline])
        seen = self.wait(lambda s: s.get("window.visible") == "1", "the trivial program's window",
                         START, args)
        client = parse_rect(seen["window.client"])
        self.session.click((client[0] + 40, client[1] + 20))
        self.session.type_text("hello")
        self.session.click(parse_point(seen["window.minimise"]))
        seen = self.wait(lambda s: s.get("window.visible") == "0" and self.tray_icon(s, "Baseline"),
                         "the trivial program in the notification area", args=args)
        self.session.double_click(centre(self.tray_icon(seen, "Baseline")[0]))
        self.wait(lambda s: s.get("window.visible") == "1" and s.get("window.foreground") == "1",
                  "the trivial program restored", args=args)
        self.session.key("alt+F4")
        self.wait_exit(program, "the trivial program")

    # -- first run -------------------------------------------------------------------------------

    def first_run(self):
        self.step("first start: defaults")
        program = self.session.spawn(["wine", self.args.daymarker])
        seen = self.wait(lambda s: s.get("main.visible") == "1" and s.get("status.text"),
                         "the main window", START)
        self.scale = int(seen["main.dpi"]) / 96
        self.check_defaults(seen)

        self.step("drag the window by its title bar")
        frame = parse_rect(seen["main.rect"])
        grip = (frame[0] + 60, parse_point(seen["main.minimise"])[1])
        moved = (frame[0] + 170, frame[1] + 110)
        self.session.drag(grip, (grip[0] + 170, grip[1] + 110))
        seen = self.wait(lambda s: parse_rect(s["main.rect"])[:2] == moved,
                         "the window at %s" % (moved,))

        self.step("time picker: click the hour, then Up")
        before = picker_value(seen["time.value"])
        picker = parse_rect(seen["time.rect"])
        self.session.click((picker[0] + round(8 * self.scale), centre(picker)[1]))
        self.session.key("Up")
        seen = self.wait(lambda s: picker_value(s["time.value"]).hour == before.hour + 1,
                         "the time picker one hour later", QUICK)
        self.expect(picker_value(seen["time.value"]).minute == before.minute,
                    "Up on the hour changed the minutes", seen)
        seen = self.wait(lambda s: s["name.enabled"] == "1"
                         and s["status.text"] == PLACEHOLDER + " - ",
                         "the name box enabled and the line counting down", QUICK)

        self.step("name box: click selects the placeholder, typing replaces it")
        self.session.click(centre(parse_rect(seen["name.rect"])))
        whole = "0,%d" % len(PLACEHOLDER)
        self.wait(lambda s: s["name.focus"] == "1" and s["name.sel"] == whole,
                  "the whole placeholder selected", QUICK)
        self.session.type_text(EVENT)
        seen = self.wait(lambda s: s["name.text"] == EVENT and s["status.text"] == EVENT + " - ",
                         "the line with the typed name", QUICK)

        self.step("date picker: the year field, then Up")
        before = picker_value(seen["date.value"])
        picker = parse_rect(seen["date.rect"])
        self.session.click((picker[0] + round(8 * self.scale), centre(picker)[1]))
        self.session.key("Right", "Right", "Up")
        seen = self.wait(lambda s: picker_value(s["date.value"]).year == before.year + 1,
                         "the date a year later", QUICK)
        target = target_of(seen)

        self.check_display_options(target)

        self.step("minimise into the notification area")
        seen = self.session.peek()
        restored_rect = seen["main.rect"]
        self.session.click(parse_point(seen["main.minimise"]))
        seen = self.wait(lambda s: s["main.visible"] == "0" and self.tray_icon(s, EVENT + " - "),
                         "the window hidden behind a notification-area icon")
        icon, tip = self.tray_icon(seen, EVENT + " - ")
        self.expect(tip == seen["status.text"], "the icon's tooltip %r is not the line %r"
                    % (tip, seen["status.text"]), seen)

        self.step("double-click the icon")
        self.session.double_click(centre(icon))
        seen = self.wait(lambda s: s["main.visible"] == "1" and s["main.rect"] == restored_rect
                         and not self.tray_icon(s, EVENT),
                         "the window back at %s, the icon gone" % restored_rect)

        self.step("Alt+F4")
        self.wait(lambda s: s["main.foreground"] == "1", "the window in the foreground", QUICK)
        saved = {"target": target, "rect": parse_rect(seen["main.rect"]), "display": 2}
        self.session.key("alt+F4")
        self.wait_exit(program, "Daymarker")
        seen = self.session.peek()
        self.expect("main.title" not in seen and not self.tray_icon(seen, EVENT),
                    "a window or an icon outlived the program", seen)
        return saved

    def check_defaults(self, seen):
        expected = {
            "main.title": TITLE,
            "name.text": PLACEHOLDER,
            "name.enabled": "0",
            "status.text": DISABLED_LINE,
            "only.check": "0",
            "only.text": "&Only display the units selected",
            "update.text": "Every 30 Seconds",
            "update.count": "8",
            "date.focus": "1",
        }
        for option in range(6):
            expected["opt%d.check" % option] = "1" if option == 3 else "0"
        for key, value in expected.items():
            self.expect(seen.get(key) == value, "%s is %r, not %r" % (key, seen.get(key), value),
                        seen)
        for picker in ("date", "time"):
            shown = picker_value(seen[picker + ".value"])
            if picker == "date":
                self.expect(shown.date() == self.clock.now().date(), "the date picker is not on "
                            "today", seen)
            else:
                drift = abs((shown - self.clock.now()).total_seconds()) % 86400
                self.expect(min(drift, 86400 - drift) < 60, "the time picker is not at now", seen)
        self.expect(not self.tray_icon(seen, TITLE), "an icon while the window is shown", seen)

    def remaining(self, target):
        return (target - self.clock.now()).total_seconds()

    def press_option(self, key, condition, what):
        before = time.time()
        self.session.key("alt+" + key)
        seen = self.wait(condition, what, QUICK)
        return seen, time.time() - before

    def check_display_options(self, target):
        self.step("Alt+S: every unit down to seconds")
        early = self.remaining(target)
        seen, _ = self.press_option("s", lambda s: s["opt0.check"] == "1" and
                                    phrase_units(s["status.text"]) is not None and
                                    "second" in phrase_units(s["status.text"]),
                                    "the line in seconds")
        late = self.remaining(target)
        units = phrase_units(seen["status.text"])
        total = sum(count * UNIT_SECONDS[unit] for unit, count in units.items())
        self.expect(late - 2 <= total <= early + 2, "%r is %d s, not %d..%d s"
                    % (seen["status.text"], total, late, early), seen)
        order = [unit for unit in reversed(LEVEL_UNITS) if unit in units]
        self.expect(list(units) == order, "units out of order in %r" % seen["status.text"], seen)

        self.step("Alt+O: only the selected unit")
        self.session.key("alt+o")
        self.wait(lambda s: s["only.check"] == "1" and list(phrase_units(s["status.text"]) or {})
                  == ["second"], "the line in seconds only", QUICK)

        # Each option, the only-units line: the whole time in that one unit.
        for level in [1, 2, 3, 4, 5, 0, 1]:
            unit = LEVEL_UNITS[level]
            self.step("Alt+%s: only %ss" % (DISPLAY_KEYS[level].upper(), unit))
            early = self.remaining(target)
            seen, _ = self.press_option(
                DISPLAY_KEYS[level],
                lambda s, u=unit, i=level: s["opt%d.check" % i] == "1" and
                list(phrase_units(s["status.text"]) or {}) == [u],
                "only %ss on the line" % unit)
            late = self.remaining(target)
            count = phrase_units(seen["status.text"])[unit]
            low = math.floor((late - 2) / UNIT_SECONDS[unit])
            high = math.floor((early + 2) / UNIT_SECONDS[unit])
            self.expect(low <= count <= high, "%r: not %d..%d %ss"
                        % (seen["status.text"], low, high, unit), seen)
            others = [i for i in range(6) if i != level and seen["opt%d.check" % i] != "0"]
            self.expect(not others, "options %s are still checked" % others, seen)

    # -- what was saved --------------------------------------------------------------------------

    def check_saved_values(self, saved):
        self.step("reg query %s" % SETTINGS_QUERY_KEY)
        values = self.session.reg_query(SETTINGS_QUERY_KEY)
        self.expect(values is not None, "the settings key is missing", None)
        left, top = saved["rect"][:2]
        expected = {
            "WindowX": ("REG_DWORD", left * TWIPS_PER_PIXEL),
            "WindowY": ("REG_DWORD", top * TWIPS_PER_PIXEL),
            "DateNTime": ("REG_DWORD", calendar.timegm(saved["target"].timetuple())),
            "Event": ("REG_SZ", EVENT),
            "Display": ("REG_DWORD", saved["display"]),
            "Update": ("REG_DWORD", 3),
            "OnlyUnits": ("REG_DWORD", 1),
        }
        self.expect(set(values) == set(expected), "saved values %s" % sorted(values), values)
        for name, (kind, data) in expected.items():
            stored_kind, stored = values[name]
            if kind == "REG_DWORD":
                stored = int(stored, 16)
            self.expect((stored_kind, stored) == (kind, data), "%s is %s %r, not %s %r"
                        % (name, stored_kind, stored, kind, data), values)

    def check_footprint(self, registry):
        self.step("registry footprint")
        wine_changes = registry_changes(registry["start"], registry["baseline"])
        ours = registry_changes(registry["baseline"], registry["daymarker"])
        after = registry["daymarker"]
        shown_by_wine = {(matching_filter(change), change[0].lower()) for change in wine_changes}
        for change in wine_changes:
            self.log("  trivial program: %s %s%s" % (change[0], change[3], "" if matching_filter(
                change) is not None else "  (no filter)"))
        for number, (pattern, _kinds, _names, reason) in enumerate(WINE_FILTERS):
            hits = sum(1 for found, _ in shown_by_wine if found == number)
            self.log("  filter %d, %s: %d key(s) in the trivial program's run" % (number, reason,
                                                                                 hits))
        unexplained = []
        for change in ours:
            key, kind, _names, detail = change
            if own_key(key, kind, after):
                self.log("  Daymarker: %s %s" % (key, detail))
            elif (matching_filter(change), key.lower()) in shown_by_wine and \
                    matching_filter(change) is not None:
                self.log("  Wine: %s %s" % (key, detail))
            else:
                unexplained.append("%s %s" % (key, detail))
        self.expect(any(key.lower() == SETTINGS_KEY.lower() for key, *_ in ours),
                    "the settings key was not written", None)
        self.expect(not unexplained, "Daymarker changed the registry outside its key:\n  "
                    + "\n  ".join(unexplained), None)

    # -- second run ------------------------------------------------------------------------------

    def second_run(self, saved):
        self.step("second start: the same event, options and position")
        program = self.session.spawn(["wine", self.args.daymarker])
        seen = self.wait(lambda s: s.get("main.visible") == "1" and s.get("status.text", "")
                         .startswith(EVENT + " - "), "the main window with the event", START)
        expected = {
            "name.text": EVENT,
            "name.enabled": "1",
            "only.check": "1",
            "update.cursel": "2",
        }
        for option in range(6):
            expected["opt%d.check" % option] = "1" if option == saved["display"] - 1 else "0"
        for key, value in expected.items():
            self.expect(seen.get(key) == value, "%s is %r, not %r" % (key, seen.get(key), value),
                        seen)
        self.expect(parse_rect(seen["main.rect"]) == saved["rect"], "the window opened at %s, "
                    "not %s" % (seen["main.rect"], saved["rect"]), seen)
        self.expect(target_of(seen) == saved["target"], "the pickers show %s, not %s"
                    % (target_of(seen), saved["target"]), seen)
        unit = LEVEL_UNITS[saved["display"] - 1]
        self.expect(list(phrase_units(seen["status.text"]) or {}) == [unit],
                    "the line %r is not in %ss only" % (seen["status.text"], unit), seen)
        self.session.key("alt+F4")
        self.wait_exit(program, "Daymarker, second start")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--daymarker", required=True)
    parser.add_argument("--peek", required=True)
    parser.add_argument("--baseline", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    log_path = os.path.join(args.work, "e2e.log")
    log_file = open(log_path, "w", encoding="utf-8")

    def log(text):
        print(text, flush=True)
        log_file.write(text + "\n")
        log_file.flush()

    install_signal_handlers()

    def out_of_time(_number, _frame):
        raise Failure("the whole test took longer than %d s" % TIME_LIMIT)

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(TIME_LIMIT)
    test = EndToEnd(args, log)
    failed = True
    try:
        test.run()
        failed = False
    except Failure as failure:
        log("FAILED: %s" % failure)
        if failure.seen:
            log("last seen:")
            for key in sorted(failure.seen):
                log("  %s=%s" % (key, failure.seen[key]))
    except Exception:  # a crash of the test itself still leaves its evidence
        log("FAILED with an error in the test:\n" + traceback.format_exc())
    finally:
        signal.alarm(0)
        if failed and test.session.display:
            shot = os.path.join(args.work, "e2e-failure.png")
            test.session.screenshot(shot)
            log("screenshot: %s" % shot)
        test.session.close()
        log("%s in %.1f s (log: %s)" % ("FAILED" if failed else "passed",
                                        time.monotonic() - test.started, log_path))
        log_file.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
