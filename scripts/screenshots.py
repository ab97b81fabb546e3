#!/usr/bin/env python3
"""Pictures of Daymarker for docs/: the main window counting down, the
notification-area icon's tooltip and the About window, taken on the Wine
desktop of the session scripts/screenshots.sh brings up for one DPI.

  screenshots.py --daymarker EXE --peek EXE --out DIR --dpi N
"""

import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wine_desktop import (Desktop, Failure, centre, noon_zone, numbers,  # noqa: E402
                          picker_value, tray_icon)

CONVERT = "/usr/bin/convert"  # ImageMagick's own, whatever else is first on PATH
EVENT = "Party"
CLIENT_TWIPS = (5055, 6015)  # the main window's client area


def pictures(desktop, args, shot):
    dpi = args.dpi
    scale = dpi / 96

    def picture(box, name):
        desktop.screenshot(shot)
        left, top, right, bottom = (max(edge, 0) for edge in box)
        subprocess.run([CONVERT, shot, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left,
                                                                 top), "+repage", "-strip",
                        os.path.join(args.out, "%s-%d.png" % (name, dpi))], check=True, timeout=60)

    desktop.spawn(["wine", args.daymarker])
    seen = desktop.wait_until(lambda s: s["main.visible"] == "1", "the main window", 30)

    # The program must draw itself for the DPI, not be scaled by Wine.
    client = numbers(seen["main.client"])
    size = (client[2] - client[0], client[3] - client[1])
    expected = tuple(twips * dpi // 1440 for twips in CLIENT_TWIPS)
    if seen["main.dpi"] != str(dpi) or any(abs(a - b) > 1 for a, b in zip(size, expected)):
        raise Failure("at %d DPI the window is %dx%d at %s DPI, not %dx%d"
                      % (dpi, *size, seen["main.dpi"], *expected), seen)

    # Off the corner, so that its frame shows whole.
    frame = numbers(seen["main.rect"])
    grip = (frame[0] + round(60 * scale), numbers(seen["main.minimise"])[1])
    desktop.drag(grip, (grip[0] + 40, grip[1] + 30))
    seen = desktop.wait_until(lambda s: numbers(s["main.rect"])[0] == frame[0] + 40,
                              "the window moved")

    # An event a year and two hours ahead, named, in hours.
    for field, keys, ahead in [("time", ["Up", "Up"], lambda old, new: new.hour == old.hour + 2),
                               ("date", ["Right", "Right", "Up"],
                                lambda old, new: new.year == old.year + 1)]:
        picker = numbers(seen[field + ".rect"])
        old = picker_value(seen[field + ".value"])
        desktop.click((picker[0] + round(8 * scale), centre(picker)[1]))
        desktop.key(*keys)
        seen = desktop.wait_until(lambda s: ahead(old, picker_value(s[field + ".value"])),
                                  "the %s picker moved on" % field)
    desktop.click(centre(numbers(seen["name.rect"])))
    desktop.type_text(EVENT)
    desktop.key("alt+h")
    seen = desktop.wait_until(lambda s: s["opt2.check"] == "1" and
                              s["status.text"].startswith(EVENT + " - 1 year"), "the line in hours")
    # Leave the focus on the name box, where a user would have been typing.
    desktop.click(centre(numbers(seen["name.rect"])))
    desktop.key("End")
    time.sleep(0.5)  # the caret blinks; let the focus settle before the picture
    picture(numbers(seen["main.rect"]), "main")

    desktop.click(numbers(seen["main.minimise"]))
    seen = desktop.wait_until(lambda s: s["main.visible"] == "0" and tray_icon(s, EVENT),
                              "the notification-area icon")
    icon = tray_icon(seen, EVENT)[0]
    point = centre(icon)
    # The tooltip waits for the pointer to rest over the icon after moving onto it.
    deadline = time.monotonic() + 15
    while True:
        desktop.move_mouse((point[0] - 3, point[1]))
        desktop.move_mouse(point)
        try:
            seen = desktop.wait_until(lambda s: s["tooltip0.text"].startswith(EVENT), "the tooltip",
                                      2)
            break
        except Failure:
            if time.monotonic() > deadline:
                raise
    time.sleep(0.3)
    tip, taskbar = numbers(seen["tooltip0.rect"]), numbers(seen["taskbar.rect"])
    picture((min(tip[0], icon[0]) - round(64 * scale), tip[1] - round(16 * scale), taskbar[2],
             taskbar[3]), "tray-tooltip")

    desktop.double_click(point)
    desktop.wait_until(lambda s: s["main.visible"] == "1" and s["main.foreground"] == "1",
                       "the window restored")
    desktop.key("F1")
    seen = desktop.wait_until(lambda s: s["about.visible"] == "1", "the About window")
    time.sleep(0.5)
    picture(numbers(seen["about.rect"]), "about")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("--daymarker", "--peek", "--out"):
        parser.add_argument(name, required=True)
    parser.add_argument("--dpi", type=int, required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    zone, _ = noon_zone()
    desktop = Desktop(args.peek, tz=zone)
    shot = os.path.join(os.path.dirname(os.path.abspath(args.peek)), "screen-%d.png" % args.dpi)
    try:
        pictures(desktop, args, shot)
    except Failure as failure:
        desktop.screenshot(shot)
        for key, value in sorted((failure.seen or {}).items()):
            print("  %s=%s" % (key, value))
        print("FAILED at %d DPI: %s (the screen: %s)" % (args.dpi, failure, shot), file=sys.stderr)
        return 1
    finally:
        desktop.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
