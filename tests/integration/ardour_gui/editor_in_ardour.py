#!/usr/bin/python3
"""The editor inside a real DAW on a desktop: Ardour 7's own GUI with its Dummy
audio backend, on a private Xvfb with the openbox window manager, used with
xdotool as a producer would. Three launches of one session:

  1. silence in: the threshold handles of every band dragged, a mode button
     clicked twice quickly, the value read-out while dragging, the preset
     arrows; after each, what Ardour saved and what the editor shows;
  2. the saved session opened again: the last preset's values and picture;
  3. a sine in: the meters and the peak display move.

usage: editor_in_ardour.py BUNDLE CALVORIN PARAM_VALUES ARDOUR_GUI_TOOLS WORK
Exit status 77 (skipped) when Ardour, Xvfb, openbox or xdotool is missing.
"""

import base64
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import time

import numpy as np
from PIL import Image

SKIP = 77
NEEDED = ["ardour", "ardour7-lua", "Xvfb", "openbox", "xdotool", "xwininfo", "import"]
SCANNER = "/usr/lib/ardour7/ardour-vst3-scanner"

# The editor's geometry in editor units (scale 1), as a user finds it.
EDITOR_W, EDITOR_H = 680, 392
SLIDER_T, SLIDER_B = 42.0, 382.0
BANDS = ["Low", "Mid", "High"]
PRESET_NEXT = (434, 21)  # the preset selector's right arrow
READOUT_DRAG_BAND = 1


def slider_left(band):
    return 10.0 + 132.0 * band


def slider_right(band):
    return slider_left(band) + 122.0 / 3.0


def line_y(db):
    return SLIDER_B - (SLIDER_B - SLIDER_T) * (db + 80.0) / 86.0


def mode_button(band):
    return (round(slider_right(band) + 122.0 / 3.0), 350)


failures = []


def check(ok, what):
    print(("ok:     " if ok else "FAILED: ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def xdo(*args):
    run(["xdotool"] + [str(a) for a in args])


def picture(path):
    return np.asarray(Image.open(path).convert("RGB")).astype(int)


def differing(a, b):
    """Mask of pixels that differ by more than 2 levels in any channel."""
    if a.shape != b.shape:
        return np.ones(a.shape[:2], bool)
    return np.abs(a - b).max(axis=2) > 2


def describe(mask):
    if not mask.any():
        return "identical"
    ys, xs = np.nonzero(mask)
    return f"{mask.sum()} pixels differ in x {xs.min()}..{xs.max()}, y {ys.min()}..{ys.max()}"


class Desktop:
    """A private Xvfb with openbox."""

    def __init__(self, logs):
        self.procs = []
        for n in range(120 + os.getpid() % 300, 999):
            if not os.path.exists(f"/tmp/.X{n}-lock"):
                break
        self.display = f":{n}"
        out = open(os.path.join(logs, "xvfb.log"), "w")
        self.procs.append(subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                                           stdout=out, stderr=out))
        os.environ["DISPLAY"] = self.display
        for _ in range(100):
            if run(["xdpyinfo"]).returncode == 0:
                break
            time.sleep(0.1)
        out = open(os.path.join(logs, "openbox.log"), "w")
        self.procs.append(subprocess.Popen(["openbox"], stdout=out, stderr=out))
        time.sleep(1)

    def stop(self):
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()


class Ardour:
    """Ardour's GUI on one session in a private home."""

    def __init__(self, work, bundle, tools):
        self.work = work
        self.home = os.path.join(work, "home")
        self.sessdir = os.path.join(work, "sessions", "calvtest")
        self.session_file = os.path.join(self.sessdir, "calvtest.ardour")
        self.logs = os.path.join(work, "logs")
        self.shots = os.path.join(work, "shots")
        for d in (self.home, self.logs, self.shots):
            os.makedirs(d, exist_ok=True)
        empty = os.path.join(work, "empty")
        os.makedirs(empty, exist_ok=True)
        os.environ.update(HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                          XDG_CACHE_HOME=os.path.join(self.home, ".cache"), LV2_PATH=empty, LADSPA_PATH=empty,
                          SESSDIR=self.sessdir)
        vst3 = os.path.join(self.home, ".vst3")
        os.makedirs(vst3, exist_ok=True)
        installed = os.path.join(vst3, os.path.basename(bundle))
        shutil.copytree(bundle, installed)
        scan = run([SCANNER, "-f", installed], env=dict(os.environ, LD_LIBRARY_PATH="/usr/lib/ardour7"))
        check(scan.returncode == 0, "Ardour's scanner indexes the bundle")
        made = run(["timeout", "180", "ardour7-lua", os.path.join(tools, "mksession.lua")])
        with open(os.path.join(self.logs, "mksession.log"), "w") as f:
            f.write(made.stdout)
        if not check("\ndone" in "\n" + made.stdout, "a session with the plug-in on a track"):
            raise SystemExit(1)
        # The track plays the backend's first input through the plug-in: made
        # headless, the session does not always connect it or keep its monitoring.
        text = open(self.session_file).read()
        port = '<Port type="audio" name="Audio 1/audio_in 1"/>'
        text = text.replace(port, port[:-2] + '><Connection other="system:capture_1"/></Port>')
        text = re.sub(r'(<Controllable name="monitor"[^>]*) value="0"', r'\1 value="1"', text)
        check('<Connection other="system:capture_1"/>' in text and re.search(r'<Controllable name="monitor"[^>]*value="1"', text),
              "the track monitors its input, the backend's first")
        open(self.session_file, "w").write(text)
        self.proc = None

    def configure(self, device):
        """Skips the first-run wizard and starts the Dummy backend with this input."""
        conf = os.path.join(self.home, ".config", "ardour7")
        os.makedirs(conf, exist_ok=True)
        open(os.path.join(conf, ".a7"), "w").close()
        with open(os.path.join(conf, "config"), "w") as f:
            f.write(f"""<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="hide-dummy-backend" value="0"/><Option name="try-autostart-engine" value="1"/></Config>
<Extra><AudioMIDISetup><EngineStates>
<State backend="None (Dummy)" driver="Normal Speed" device="{device}" input-device="" output-device="" sample-rate="48000"
 buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1"
 use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1"><MIDIDevices/></State>
</EngineStates></AudioMIDISetup></Extra></Ardour>
""")

    def start(self, device, name):
        self.configure(device)
        # The session names the device it was saved with; Ardour stops at a notice when it differs.
        text = open(self.session_file).read()
        text = re.sub(r'(<EngineHints [^>]*input-device=")[^"]*("[^>]*output-device=")[^"]*"', rf'\g<1>{device}\g<2>{device}"', text)
        open(self.session_file, "w").write(text)
        log = open(os.path.join(self.logs, f"ardour-{name}.log"), "w")
        self.proc = subprocess.Popen(["ardour", self.sessdir], stdout=log, stderr=log, start_new_session=True)
        self.main = None
        for second in range(120):
            found = run(["xdotool", "search", "--name", "^calvtest - Ardour"]).stdout.split()
            if found:
                self.main = found[0]
                break
            if self.proc.poll() is not None:
                break
            time.sleep(1)
        if not check(self.main is not None, f"Ardour's main window opens ({name})"):
            run(["import", "-window", "root", os.path.join(self.shots, f"no_main_window_{name}.png")])
            raise SystemExit(1)
        time.sleep(4)

    def find_editor(self):
        """Our editor's X window (680 x 392) inside Ardour's plug-in window, and its place on the screen."""
        for window in run(["xdotool", "search", "--name", "Calvorin"]).stdout.split():
            tree = run(["xwininfo", "-id", window, "-tree"]).stdout
            for m in re.finditer(r"(0x[0-9a-f]+) .*?(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)", tree):
                if (int(m.group(2)), int(m.group(3))) == (EDITOR_W, EDITOR_H):
                    return m.group(1), (int(m.group(4)), int(m.group(5)))
        return None, None

    def main_geometry(self):
        """Where Ardour's main window is on the screen (asked again while the window settles)."""
        for _ in range(20):
            out = run(["xdotool", "getwindowgeometry", "--shell", self.main]).stdout
            geo = dict(line.split("=", 1) for line in out.split() if "=" in line)
            if "X" in geo and "Y" in geo:
                return int(geo["X"]), int(geo["Y"])
            time.sleep(0.5)
            found = run(["xdotool", "search", "--name", "^calvtest - Ardour"]).stdout.split()
            self.main = found[0] if found else self.main
        check(False, "Ardour's main window has a place on the screen")
        raise SystemExit(1)

    def open_editor(self):
        """Opens the mixer and double-clicks the plug-in in the track's strip, unless
        Ardour reopened the plug-in's window with the session."""
        self.editor, self.origin = self.find_editor()
        for attempt in range(3):  # a busy machine may need another try
            if self.editor:
                break
            geo = self.main_geometry()
            xdo("windowactivate", "--sync", self.main)
            time.sleep(0.5)
            xdo("key", "alt+m")
            time.sleep(3 + 2 * attempt)
            xdo("mousemove", geo[0] + 329, geo[1] + 195, "click", "--repeat", "2", "--delay", "80", "1")
            for _ in range(20):
                time.sleep(0.5)
                self.editor, self.origin = self.find_editor()
                if self.editor:
                    break
        if not check(self.editor is not None, "our editor opens, whole (680 x 392), in Ardour's plug-in window"):
            run(["import", "-window", "root", os.path.join(self.shots, "no_editor.png")])
            raise SystemExit(1)
        time.sleep(1)

    def shot(self, name):
        path = os.path.join(self.shots, name + ".png")
        run(["import", "-window", self.editor, path])
        return picture(path)

    # Pointer in editor units.
    def move(self, x, y):
        xdo("mousemove", self.origin[0] + round(x), self.origin[1] + round(y))
        time.sleep(0.15)

    def away(self):
        xdo("mousemove", 1590, 990)
        time.sleep(0.4)

    def drag(self, x, y, dy, during=None):
        self.move(x, y)
        xdo("mousedown", 1)
        time.sleep(0.2)
        steps = 8
        for i in range(1, steps + 1):
            self.move(x, y + dy * i / steps)
        time.sleep(0.3)
        held = during() if during else None
        xdo("mouseup", 1)
        time.sleep(0.2)
        self.away()
        return held

    def save(self):
        xdo("windowactivate", "--sync", self.main)
        time.sleep(0.5)
        before = os.path.getmtime(self.session_file)
        xdo("key", "ctrl+s")
        for _ in range(40):
            time.sleep(0.25)
            if os.path.getmtime(self.session_file) != before:
                break
        time.sleep(0.5)
        return self.saved()

    def saved(self):
        """Ardour's values of the plug-in's parameters and the plug-in's own state, as saved."""
        text = open(self.session_file).read()
        processor = text[text.index('type="vst3"'):]
        values = {name: float(v) for name, v in
                  re.findall(r'<Controllable name="([^"]+)"[^>]*value="([^"]+)"', processor.split("</Processor>")[0])}
        chunk = base64.b64decode(re.search(r"<chunk>([^<]+)</chunk>", processor).group(1))
        # Ardour's VST 3 state: "VST3", version, class ID, then our component state.
        state = struct.unpack_from("<26d", chunk, 48)
        return values, state

    def quit(self):
        xdo("windowactivate", "--sync", self.main)
        time.sleep(0.5)
        xdo("key", "ctrl+q")
        try:
            self.proc.wait(40)
        except subprocess.TimeoutExpired:
            check(False, "Ardour quits")
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()

    def kill(self):
        if self.proc and self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()


class Checker:
    def __init__(self, calvorin, param_values, ardour):
        self.calvorin = calvorin
        self.param_values = param_values
        self.ardour = ardour
        self.titles = [line.split("\t")[0] for line in run([param_values, "preset", "DEFAULT"]).stdout.splitlines()]

    def snapshot(self, name, args):
        path = os.path.join(self.ardour.shots, "ref_" + name + ".png")
        made = run([self.calvorin, "snapshot", path] + args)
        if not check(made.returncode == 0, f"calvorin snapshot draws {name}"):
            print(made.stdout)
            raise SystemExit(1)
        return picture(path)

    def set_args(self, state):
        texts = run([self.param_values, "set-args"] + [f"{v:.17g}" for v in state]).stdout.splitlines()
        return [arg for text in texts for arg in ("--set", text)]

    def editor_shows(self, state, name, what):
        shown = self.ardour.shot(name)
        diff = differing(shown, self.snapshot(name, self.set_args(state)))
        check(not diff.any(), f"{what}: the editor shows what calvorin snapshot draws for the saved values ({describe(diff)})")

    def host_agrees(self, values, state, what):
        """Ardour's saved values equal these (Ardour keeps its values as 32-bit floats and gives them back so)."""
        wrong = [f"{t} {values.get(t)} != {v:.9g}" for t, v in zip(self.titles, state)
                 if t not in values or abs(values[t] - v) > 1e-5 * max(1, abs(v))]
        check(not wrong, f"{what}: Ardour's saved values" + (f" differ: {wrong}" if wrong else " agree"))

    def preset(self, name):
        return [float(line.split("\t")[1]) for line in run([self.param_values, "preset", name]).stdout.splitlines()]


def launch_edits(ardour, checker):
    ardour.start("Silence", "edits")
    ardour.open_editor()
    ardour.away()
    _, state = ardour.saved()
    rest = ardour.shot("opened")
    diff = differing(rest, checker.snapshot("default", []))
    check(not diff.any(), f"the editor in Ardour shows calvorin snapshot's picture ({describe(diff)})")

    # Every band's push handle up and pull handle down, pressed inside their zones.
    readouts = {}
    for band, title in enumerate(BANDS):
        x = (slider_left(band) + slider_right(band)) / 2
        push, pull = state[9 + band], state[6 + band]
        during = None
        if band == READOUT_DRAG_BAND:
            during = lambda: ardour.shot("push_drag_held")
        readouts[band] = ardour.drag(x, line_y(push) - 12, -30, during)
        ardour.drag(x, line_y(pull) + 12, +30)
    values, after = ardour.save()
    for band, title in enumerate(BANDS):
        check(after[9 + band] > state[9 + band] + 3, f"a drag in the push zone raises Push Threshold {title} "
              f"({state[9 + band]:.2f} -> {after[9 + band]:.2f} dB)")
        check(after[6 + band] < state[6 + band] - 3, f"a drag in the pull zone lowers Pull Threshold {title} "
              f"({state[6 + band]:.2f} -> {after[6 + band]:.2f} dB)")
    checker.host_agrees(values, after, "threshold drags")
    checker.editor_shows(after, "thresholds_dragged", "threshold drags")

    # The read-out: beside the dragged line while held, gone after release.
    held = readouts[READOUT_DRAG_BAND]
    released = ardour.shot("thresholds_dragged")
    diff = differing(held, released)
    right = slider_right(READOUT_DRAG_BAND)
    beside = diff[:, int(right) + 1:int(right) + 90].any()
    check(beside, f"while a threshold is dragged its value shows beside the slider ({describe(diff)})")

    # Two quick clicks on a mode button are two steps: LR -> MID -> SIDE.
    ardour.move(*mode_button(0))
    xdo("click", "--repeat", "2", "--delay", "150", "1")
    time.sleep(0.3)
    ardour.away()
    values, state = ardour.save()
    check(state[18] == 2.0, f"two quick clicks on Mode Low step it twice (LR -> SIDE; now {state[18]:g})")
    checker.host_agrees(values, state, "mode clicks")

    # A knob's label shows its value while it is dragged.
    knob = (slider_right(2) + 122.0 / 3.0, 81)
    held = ardour.drag(*knob, -20, lambda: ardour.shot("knob_drag_held"))
    values, state = ardour.save()
    diff = differing(held, checker.snapshot("knob", checker.set_args(state)))
    label = diff[103:121, int(slider_right(2)):int(slider_left(2) + 122)]
    check(label.any(), "while a knob is dragged its label shows the value")
    checker.editor_shows(state, "knob_released", "after the knob drag the picture is at rest again")

    # Each preset arrow: the host hears every value the preset sets.
    for expected in ["TORV", "UP A LOT", "DEFAULT", "TORV"]:
        ardour.move(*PRESET_NEXT)
        xdo("click", "1")
        time.sleep(0.6)
        ardour.away()
        values, state = ardour.save()
        checker.host_agrees(values, checker.preset(expected), f"the next-preset arrow loads {expected}")
        checker.host_agrees(values, state, f"after the arrow to {expected}")
    ardour.quit()
    return state


def launch_reload(ardour, checker, state):
    ardour.start("Silence", "reload")
    values, reloaded = ardour.saved()
    ardour.open_editor()
    ardour.away()
    values, saved = ardour.save()
    checker.host_agrees(values, state, "the reopened session has the values saved before")
    checker.host_agrees(values, saved, "reopened session")
    checker.editor_shows(saved, "reloaded", "reopened session")
    ardour.quit()


def launch_meters(ardour):
    ardour.start("Sine Wave", "meters")
    ardour.open_editor()
    ardour.away()
    time.sleep(1)
    # A shot a second against the first: a busy machine may hold the dummy
    # backend's audio back for a while, so give the meters a few seconds.
    first = ardour.shot("meters_1")
    low_moved = peak_moved = 0
    for n in range(2, 9):
        time.sleep(1)
        diff = differing(first, ardour.shot(f"meters_{n}"))
        low_moved = max(low_moved, int(diff[int(SLIDER_T):int(SLIDER_B), int(slider_left(0)):int(slider_right(0))].sum()))
        peak_moved = max(peak_moved, int(diff[307:382, 406:670].sum()))
        if low_moved and peak_moved:
            break
    check(low_moved > 0, f"the low band's meter moves ({low_moved} pixels changed, {n - 1} s)")
    check(peak_moved > 0, f"the peak display moves ({peak_moved} pixels changed, {n - 1} s)")
    ardour.quit()


def main():
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    bundle, calvorin, param_values, tools, work = (os.path.abspath(a) for a in sys.argv[1:])
    missing = [tool for tool in NEEDED if not shutil.which(tool)] + ([SCANNER] if not os.path.exists(SCANNER) else [])
    if missing:
        print("SKIP: not installed: " + ", ".join(missing) + " (tools/setup.sh installs them)")
        return SKIP
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "logs"))
    desktop = Desktop(os.path.join(work, "logs"))
    ardour = None
    try:
        ardour = Ardour(work, bundle, tools)
        checker = Checker(calvorin, param_values, ardour)
        state = launch_edits(ardour, checker)
        launch_reload(ardour, checker, state)
        launch_meters(ardour)
    except SystemExit as stop:
        if stop.code not in (None, 0):
            failures.append("stopped early")
    finally:
        if ardour:
            ardour.kill()
        desktop.stop()
    print(("FAILED: " if failures else "PASSED: ") + f"{len(failures)} check(s) failed; pictures in {work}/shots")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
