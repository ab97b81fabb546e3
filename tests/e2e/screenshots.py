#!/usr/bin/env python3
"""Pictures of Daymarker for docs/: the main window counting down, the
notification-area icon's tooltip and the About window, at 96 and 144 DPI,
each taken in a fresh prefix and driven with X input as the test drives it.

  screenshots.py --daymarker EXE --peek EXE --out DIR --work DIR [--dpi 96 --dpi 144]
"""

import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_test import EVENT, noon_zone, picker_value  # noqa: E402
from wine_desktop import (Failure, Session, centre, install_signal_handlers,  # noqa: E402
                          parse_point, parse_rect)

WINE_FONTS = "/usr/share/wine/fonts"  # Debian's fonts-wine
CONVERT = "/usr/bin/convert"  # ImageMagick's own, whatever else is first on PATH
SCREEN = (1280, 960)
CLIENT_TWIPS = (5055, 6015)  # the main window's client area


def crop(shot, box, out):
    left, top, right, bottom = box
    left, top = max(left, 0), max(top, 0)
    right, bottom = min(right, SCREEN[0]), min(bottom, SCREEN[1])
    geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
    subprocess.run([CONVERT, shot, "-crop", geometry, "+repage", "-strip", out], check=True,
                   timeout=60)


def pictures(args, dpi, log):
    zone, _ = noon_zone()
    session = Session(os.path.join(args.work, "prefix-%d" % dpi), args.peek, size=SCREEN, dpi=dpi,
                      tz=zone, fonts=WINE_FONTS, log=log)
    scale = dpi / 96
    shot = os.path.join(args.work, "screen-%d.png" % dpi)
    try:
        session.start()
        session.spawn(["wine", args.daymarker])
        seen = session.wait_until(lambda s: s.get("main.visible") == "1", 20, "the main window")

        # The program must draw itself for the DPI, not be scaled by Wine.
        client = parse_rect(seen["main.client"])
        width, height = client[2] - client[0], client[3] - client[1]
        expected = tuple(twips * dpi // 1440 for twips in CLIENT_TWIPS)
        if seen.get("main.dpi") != str(dpi) or abs(width - expected[0]) > 1 or \
                abs(height - expected[1]) > 1:
            raise Failure("at %d DPI the window is %dx%d at %s DPI, not %dx%d"
                          % (dpi, width, height, seen.get("main.dpi"), *expected), seen)
        log("%d DPI: client area %dx%d" % (dpi, width, height))

        # Move the window off the corner, so that its frame shows whole.
        frame = parse_rect(seen["main.rect"])
        grip = (frame[0] + round(60 * scale), parse_point(seen["main.minimise"])[1])
        session.drag(grip, (grip[0] + 40, grip[1] + 30))
        seen = session.wait_until(lambda s: parse_rect(s["main.rect"])[0] == frame[0] + 40, 10,
                                  "the window moved")

        # An event a year and two hours ahead, named, in hours.
        picker = parse_rect(seen["time.rect"])
        hour = picker_value(seen["time.value"]).hour
        session.click((picker[0] + round(8 * scale), centre(picker)[1]))
        session.key("Up", "Up")
        session.wait_until(lambda s: picker_value(s["time.value"]).hour == hour + 2, 5,
                           "two hours later")
        picker = parse_rect(seen["date.rect"])
        year = picker_value(seen["date.value"]).year
        session.click((picker[0] + round(8 * scale), centre(picker)[1]))
        session.key("Right", "Right", "Up")
        seen = session.wait_until(lambda s: picker_value(s["date.value"]).year == year + 1, 5,
                                  "a year later")
        session.click(centre(parse_rect(seen["name.rect"])))
        session.type_text(EVENT)
        session.key("alt+h")
        seen = session.wait_until(lambda s: s["opt2.check"] == "1" and
                                  s["status.text"].startswith(EVENT + " - 1 year"), 5,
                                  "the line in hours")
        # Leave the focus on the name box, where a user would have been typing.
        session.click(centre(parse_rect(seen["name.rect"])))
        session.key("End")
        time.sleep(0.5)  # the caret blinks; let the focus settle before the picture
        session.screenshot(shot)
        crop(shot, parse_rect(seen["main.rect"]), os.path.join(args.out, "main-%d.png" % dpi))

        session.click(parse_point(seen["main.minimise"]))
        seen = session.wait_until(lambda s: s["main.visible"] == "0" and "tray0.rect" in s, 10,
                                  "the notification-area icon")
        icon = parse_rect(seen["tray0.rect"])
        point = centre(icon)
        # The tooltip waits for the pointer to rest over the icon after moving onto it.
        deadline = time.monotonic() + 15
        while True:
            session.move_mouse((point[0] - 3, point[1]))
            session.move_mouse(point)
            try:
                seen = session.wait_until(lambda s: s.get("tooltip0.text", "").startswith(EVENT),
                                          2, "the tooltip")
                break
            except Failure:
                if time.monotonic() > deadline:
                    raise
        time.sleep(0.3)
        session.screenshot(shot)
        tip = parse_rect(seen["tooltip0.rect"])
        taskbar = parse_rect(seen["taskbar.rect"])
        region = (min(tip[0], icon[0]) - round(64 * scale), tip[1] - round(16 * scale),
                  SCREEN[0], taskbar[3])
        crop(shot, region, os.path.join(args.out, "tray-tooltip-%d.png" % dpi))

        session.double_click(point)
        session.wait_until(lambda s: s["main.visible"] == "1" and s["main.foreground"] == "1", 10,
                           "the window restored")
        session.key("F1")
        seen = session.wait_until(lambda s: s.get("about.visible") == "1", 10, "the About window")
        time.sleep(0.5)
        session.screenshot(shot)
        crop(shot, parse_rect(seen["about.rect"]), os.path.join(args.out, "about-%d.png" % dpi))
        log("%d DPI: about window %s" % (dpi, seen["about.rect"]))
    except Failure as failure:
        session.screenshot(os.path.join(args.work, "failure-%d.png" % dpi))
        if failure.seen:
            for key in sorted(failure.seen):
                log("  %s=%s" % (key, failure.seen[key]))
        raise
    finally:
        session.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--daymarker", required=True)
    parser.add_argument("--peek", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--dpi", type=int, action="append")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.work, exist_ok=True)
    install_signal_handlers()
    try:
        for dpi in args.dpi or [96, 144]:
            pictures(args, dpi, lambda text: print(text, flush=True))
    except Failure as failure:
        print("FAILED: %s (screens in %s)" % (failure, args.work), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
