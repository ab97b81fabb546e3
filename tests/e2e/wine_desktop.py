"""A Wine desktop with a taskbar on an Xvfb of its own, driven with X input.

Used by the end-to-end test and by scripts/screenshots.sh. A Session owns its
Xvfb (started with -displayfd, so X itself picks a free display), a fresh
32-bit prefix and the one wineserver of that prefix, and stops all three,
and every program it started, when it is closed.
"""

import os
import shutil
import signal
import subprocess
import time

POLL_INTERVAL = 0.1


class Failure(Exception):
    """A check that did not hold; carries the last state seen."""

    def __init__(self, message, seen=None):
        super().__init__(message)
        self.seen = seen


def parse_rect(text):
    left, top, right, bottom = (int(part) for part in text.split(","))
    return left, top, right, bottom


def parse_point(text):
    x, y = (int(part) for part in text.split(","))
    return x, y


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


class Session:
    def __init__(self, prefix, peek_exe, size=(1024, 768), dpi=None, tz=None, fonts=None,
                 log=print):
        self.prefix = os.path.abspath(prefix)
        self.fonts = fonts
        self.peek_exe = peek_exe
        self.size = size
        self.dpi = dpi
        self.log = log
        self.xvfb = None
        self.display = None
        self.programs = []
        self.env = dict(os.environ)
        # Whatever the runner set up for itself is not ours to use.
        for name in ("DISPLAY", "WINEPREFIX", "WINESERVER", "WINELOADER", "WAYLAND_DISPLAY",
                     "XAUTHORITY", "WINE_SESSION_USE_DISPLAY"):
            self.env.pop(name, None)
        # A 32-bit prefix, unless the runner chose 64-bit Wine (wine-session.sh).
        arch = os.environ.get("WINE_SESSION_ARCH", "win32")
        self.env.update(WINEPREFIX=self.prefix, WINEARCH=arch,
                        WINEDEBUG=os.environ.get("E2E_WINEDEBUG", "-all"),
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if tz:
            self.env["TZ"] = tz

    # -- lifetime --------------------------------------------------------------------------------

    def start(self):
        self._start_xvfb()
        self._make_prefix()
        self.run(["wineserver", "-p"])
        # The desktop and Wine's services start now, with no output to hold open.
        self.spawn(["wine", "explorer", "/desktop=shell,%dx%d" % self.size])
        self.run(["wine", "cmd", "/c", "exit"], timeout=60)
        self.wait_until(lambda seen: "taskbar.rect" in seen, 30, "the taskbar")
        return self

    def close(self):
        for program in self.programs:
            if program.poll() is None:
                program.kill()
        if os.path.isdir(self.prefix):
            self.run(["wineserver", "-k"], check=False, timeout=30)
        for program in self.programs:
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        self.programs = []
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
            self.xvfb = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.close()
        return False

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        width, height = self.size
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the display's number once it accepts clients.
        number = b""
        deadline = time.monotonic() + 20
        os.set_blocking(read_end, False)
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline or self.xvfb.poll() is not None:
                os.close(read_end)
                raise Failure("Xvfb did not start")
            try:
                chunk = os.read(read_end, 16)
            except BlockingIOError:
                chunk = None
            if chunk:
                number += chunk
            else:
                time.sleep(POLL_INTERVAL)
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display
        self.log("Xvfb %s (pid %d)" % (self.display, self.xvfb.pid))

    def _make_prefix(self):
        # A server left behind by an interrupted run would keep the old registry alive.
        if os.path.isdir(self.prefix):
            self.run(["wineserver", "-k"], check=False, timeout=30)
            shutil.rmtree(self.prefix)
        os.makedirs(self.prefix)
        started = time.monotonic()
        self.run(["wineboot", "-i"], timeout=180)
        self.reg_add(r"HKCU\Software\Wine\Explorer", "Desktop", "shell")
        self.reg_add(r"HKCU\Software\Wine\Explorer\Desktops", "shell", "%dx%d" % self.size)
        if self.dpi is not None:
            # Wine 8 takes the desktop's DPI from here when its processes start.
            self.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", str(self.dpi), "REG_DWORD")
        if self.fonts:
            # Wine 8 as packaged loads no fonts from its own data folder, only
            # the prefix's: without these, title-bar buttons show letters.
            target = os.path.join(self.prefix, "drive_c", "windows", "Fonts")
            for name in sorted(os.listdir(self.fonts)):
                if name.lower().endswith(".ttf"):
                    shutil.copy(os.path.join(self.fonts, name), target)
        self.run(["wineserver", "-w"], timeout=60)
        self.log("fresh prefix %s in %.1f s" % (self.prefix, time.monotonic() - started))

    # -- processes -------------------------------------------------------------------------------

    def run(self, args, check=True, timeout=60, capture=False):
        result = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                                stderr=subprocess.PIPE if capture else subprocess.DEVNULL,
                                timeout=timeout, check=False)
        if check and result.returncode != 0:
            raise Failure("%s exited with %d" % (" ".join(args), result.returncode))
        return result

    def spawn(self, args):
        program = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.programs.append(program)
        return program

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.run(["wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"])

    def reg_query(self, key):
        """The values of one key as {name: (type, data)}; None when the key is missing."""
        result = self.run(["wine", "reg", "query", key], check=False, capture=True)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
        return values

    # -- reading the screen ----------------------------------------------------------------------

    def peek(self, *args):
        """What peek.exe sees, as {key: value}: UTF-16 records, each ended by a NUL."""
        result = self.run(["wine", self.peek_exe, *args], check=False, timeout=30, capture=True)
        seen = {}
        for record in result.stdout.decode("utf-16-le", "replace").split("\0"):
            key, sep, value = record.partition("=")
            if sep:
                seen[key] = value
        return seen

    def wait_until(self, condition, timeout, what, args=()):
        """Polls peek until condition(seen) holds; returns what was seen then."""
        deadline = time.monotonic() + timeout
        seen = {}
        while True:
            seen = self.peek(*args)
            try:
                held = condition(seen)
            except (KeyError, ValueError, IndexError):
                held = False  # a window not there (yet, or any more) shows no such key
            if held:
                return seen
            if time.monotonic() > deadline:
                raise Failure("timed out after %g s waiting for %s" % (timeout, what), seen)
            time.sleep(POLL_INTERVAL)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30, check=False)

    def desktop_geometry(self):
        """Where X shows Wine's desktop window: (x, y, width, height)."""
        found = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], env=self.env,
                               capture_output=True, timeout=10, check=False)
        ids = found.stdout.split()
        if not ids:
            raise Failure("no Wine desktop window on %s" % self.display)
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", ids[0]], env=self.env,
                               capture_output=True, timeout=10, check=True)
        values = dict(line.split("=", 1) for line in shell.stdout.decode().split() if "=" in line)
        return tuple(int(values[name]) for name in ("X", "Y", "WIDTH", "HEIGHT"))

    # -- input -----------------------------------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool", *[str(arg) for arg in args]], env=self.env,
                       stdin=subprocess.DEVNULL, timeout=30, check=True)

    def click(self, point, button=1):
        self.xdotool("mousemove", point[0], point[1], "click", button)

    def double_click(self, point):
        self.xdotool("mousemove", point[0], point[1], "click", "--repeat", 2, "--delay", 80, 1)

    def move_mouse(self, point):
        self.xdotool("mousemove", point[0], point[1])

    def drag(self, start, end, steps=10):
        self.xdotool("mousemove", start[0], start[1], "mousedown", 1)
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            self.xdotool("mousemove", x, y)
            time.sleep(0.02)
        self.xdotool("mouseup", 1)

    def key(self, *keys):
        self.xdotool("key", "--delay", 60, *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 60, text)


def install_signal_handlers():
    """Turns SIGTERM and SIGHUP into SystemExit, so that cleanup still runs."""

    def stop(number, _frame):
        raise SystemExit(128 + number)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)
