"""Drives the Wine desktop that scripts/wine-session.sh brings up, whose
DISPLAY and WINEPREFIX it takes from the environment: X keyboard and mouse
input through xdotool, and what the windows show through peek.exe (built from
scripts/peek.cpp). Used by the end-to-end test and by scripts/screenshots.py.
"""

import datetime
import os
import subprocess
import time


class Failure(Exception):
    """A check that did not hold; carries the last state seen."""

    def __init__(self, message, seen=None):
        super().__init__(message)
        self.seen = seen


def numbers(text):
    """"1,2,3,4" as (1, 2, 3, 4): how peek writes rectangles and points."""
    return tuple(int(part) for part in text.split(","))


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def noon_zone():
    """A zone without daylight saving in which it is about noon now, so that an
    hour or two up on the time picker never wraps past midnight, and its offset
    from UTC in hours."""
    offset = 12 - datetime.datetime.now(datetime.timezone.utc).hour
    # The Etc zones' signs are inverted: Etc/GMT-5 is five hours ahead of UTC.
    return "Etc/GMT%+d" % -offset, offset


def picker_value(text):
    """A date-time picker's value as peek writes it: year,month,day,hour,minute,second."""
    return datetime.datetime(*numbers(text))


def tray_icon(seen, tip_start):
    """(place, tip) of the notification-area icon whose tip starts so, or None."""
    index = 0
    while "tray%d.tip" % index in seen:
        if seen["tray%d.tip" % index].startswith(tip_start):
            return numbers(seen["tray%d.rect" % index]), seen["tray%d.tip" % index]
        index += 1
    return None


class Desktop:
    def __init__(self, peek_exe, tz=None):
        missing = [name for name in ("DISPLAY", "WINEPREFIX") if not os.environ.get(name)]
        if missing:
            raise Failure("%s not set: run under the session of scripts/wine-session.sh "
                          "(scripts/test.sh starts one)" % " and ".join(missing))
        self.peek_exe = peek_exe
        self.env = dict(os.environ)
        if tz:
            self.env["TZ"] = tz
        self.programs = []

    def close(self):
        """Ends what this driver started and is still running."""
        for program in self.programs:
            if program.poll() is None:
                program.kill()
                program.wait(timeout=10)
        self.programs = []

    def run(self, args, timeout=60):
        return subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=timeout, check=False)

    def spawn(self, args):
        # No pipes: a program left running must not hold the runner's output open.
        program = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.programs.append(program)
        return program

    def peek(self):
        """What peek.exe sees, as {key: value}: UTF-16 records, each ended by a NUL."""
        output = self.run(["wine", self.peek_exe], timeout=30).stdout
        records = (record.partition("=") for record in output.decode("utf-16-le", "replace")
                   .split("\0"))
        return {key: value for key, sep, value in records if sep}

    def wait_until(self, condition, what, timeout=10):
        """Polls peek until condition(seen) holds; returns what was seen then."""
        deadline = time.monotonic() + timeout
        while True:
            seen = self.peek()
            try:
                if condition(seen):
                    return seen
            except (KeyError, ValueError, IndexError, TypeError):
                pass  # a window not there (yet, or any more) shows no such key
            if time.monotonic() > deadline:
                raise Failure("timed out after %g s waiting for %s" % (timeout, what), seen)
            time.sleep(0.1)

    def screenshot(self, path):
        self.run(["import", "-window", "root", path])

    def xdotool(self, *args):
        result = self.run(["xdotool", *[str(arg) for arg in args]], timeout=30)
        if result.returncode != 0:
            raise Failure("xdotool %s: %s" % (" ".join(map(str, args)), result.stderr.decode()))

    def click(self, point):
        self.xdotool("mousemove", *point, "click", 1)

    def double_click(self, point):
        self.xdotool("mousemove", *point, "click", "--repeat", 2, "--delay", 80, 1)

    def move_mouse(self, point):
        self.xdotool("mousemove", *point)

    def drag(self, start, end, steps=10):
        # Wine starts its move loop only once it has the button press: on a
        # busy machine moves sent before that are lost, so it gets time first.
        self.xdotool("mousemove", *start, "mousedown", 1)
        time.sleep(0.3)
        for step in range(1, steps + 1):
            self.move_mouse((start[0] + (end[0] - start[0]) * step // steps,
                             start[1] + (end[1] - start[1]) * step // steps))
            time.sleep(0.05)
        time.sleep(0.3)
        self.xdotool("mouseup", 1)

    def key(self, *keys):
        self.xdotool("key", "--delay", 60, *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 60, text)
