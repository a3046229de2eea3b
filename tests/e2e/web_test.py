# The browser build end to end: builds it, serves it on 127.0.0.1, plays it in headless Chromium, compares every screen with the replay's.
#
# Drives Chromium over its remote-debugging protocol (Debian's
# python3-websocket): keys and clicks as input events, the canvas read back
# with getImageData. After each step the canvas must come to equal, byte for
# byte, the PNG that `brimvale-tool replay --png` composes for the same
# events. Every wait is on a condition with a generous deadline. It also
# prints the composition time of each presented frame, as the page measures
# it; nothing is asserted about time.
#
# Besides the desktop page (keys and mouse) it plays a phone's: touch only,
# through the remote-debugging protocol's touch emulation, and the page's
# layouts, a level in a link, the player set's keys, the frames painted
# during a move, a quit that starts the game again and a reload offline.
# Screenshots (PNG) go to the work folder.
#
# usage: web_test.py --source DIR --tool BRIMVALE_TOOL --data DIR --work DIR
# Exit status: 0 passed, 1 failed.
import argparse
import base64
import functools
import http.server
import json
import os
import shutil
import signal
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zlib

import websocket

DEADLINE = 60  # seconds for any one thing to happen on a loaded machine
SIDE = 384
failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_for(condition, limit=DEADLINE):
    """Polls condition() until it returns something true; that value, or None after `limit` seconds."""
    end = time.monotonic() + limit
    pause = 0.01
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value or None
        time.sleep(min(pause, max(0.0, end - time.monotonic())))
        pause = min(pause * 1.5, 0.25)


def decode_png(data):
    """The RGB bytes of an 8-bit RGB, non-interlaced PNG (what the replay writes)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height = int.from_bytes(body[:4], "big"), int.from_bytes(body[4:8], "big")
            assert body[8:10] == b"\x08\x02" and body[12] == 0, "not 8-bit RGB, non-interlaced"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, out = zlib.decompress(idat), width * 3, bytearray()
    prior = bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = prior[i], prior[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line
        prior = line
    return bytes(out)


class Replay:
    """The headless game's screens and counts for a list of event tokens."""

    def __init__(self, tool, data, work):
        self.tool, self.data, self.work, self.cache = tool, data, work, {}

    def run(self, tokens, options=()):
        """`options` go before the tokens; PROGRESS in them names a progress file made fresh for each run."""
        key = tuple(options) + ("--",) + tuple(tokens)
        if key not in self.cache:
            png = os.path.join(self.work, "expected.png")
            progress = os.path.join(self.work, "replay-progress.txt")
            for path in (png, progress):
                if os.path.exists(path):
                    os.remove(path)
            options = [progress if o == "PROGRESS" else o for o in options]
            result = subprocess.run([self.tool, "replay", "--data", self.data, "--png", png] + options + list(tokens),
                                    capture_output=True, text=True, timeout=DEADLINE)
            if result.returncode != 0:
                raise RuntimeError("replay failed for %s: %s" % (" ".join(tokens), result.stderr.strip()))
            report = dict(line.split(" ", 1) for line in result.stdout.splitlines() if " " in line)
            with open(png, "rb") as f:
                self.cache[key] = (decode_png(f.read()), report)
        return self.cache[key]


class Browser:
    """Headless Chromium with one page, over the remote-debugging protocol."""

    def __init__(self, work):
        self.profile = tempfile.mkdtemp(prefix="chromium-", dir=work)
        self.log = open(os.path.join(work, "chromium.log"), "w")
        self.process = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--remote-debugging-port=0", "--remote-allow-origins=*", "--user-data-dir=" + self.profile,
             "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
             "--window-size=1000,1000", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=self.log, start_new_session=True)
        port = wait_for(self.debugging_port)
        if not port:
            raise RuntimeError("Chromium did not open its debugging port in %d s" % DEADLINE)
        pages = wait_for(lambda: [t for t in self.targets(port) if t["type"] == "page"])
        self.socket = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=DEADLINE,
                                                  suppress_origin=True)
        self.next_id = 0
        self.events = []
        self.call("Runtime.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=1000, height=1000, deviceScaleFactor=1, mobile=False)

    def debugging_port(self):
        try:
            with open(os.path.join(self.profile, "DevToolsActivePort")) as f:
                return int(f.readline())
        except (OSError, ValueError):
            return None

    @staticmethod
    def targets(port):
        with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port, timeout=DEADLINE) as r:
            return json.load(r)

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if "method" in message:
                self.events.append(message)
            elif message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})

    def errors(self):
        """What the page threw and nobody caught, so far."""
        return [e["params"]["exceptionDetails"] for e in self.events if e["method"] == "Runtime.exceptionThrown"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("page error in %s: %s" % (expression[:60], result["exceptionDetails"]))
        return result["result"].get("value")

    def close(self):
        try:
            self.socket.close()
        except Exception:
            pass
        # Its renderer and helper processes share the group it leads.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


# The DOM's key, code and Windows key number for each replay key name.
KEYS = {"Space": (" ", "Space", 32), "Enter": ("Enter", "Enter", 13), "Escape": ("Escape", "Escape", 27),
        "Left": ("ArrowLeft", "ArrowLeft", 37), "Up": ("ArrowUp", "ArrowUp", 38),
        "Right": ("ArrowRight", "ArrowRight", 39), "Down": ("ArrowDown", "ArrowDown", 40),
        "PageUp": ("PageUp", "PageUp", 33), "PageDown": ("PageDown", "PageDown", 34),
        "Backspace": ("Backspace", "Backspace", 8),
        **{c: (c.lower(), "Key" + c, ord(c)) for c in "WASDRUMHVET"}}

CANVAS_PIXELS = """(() => {
  const c = document.getElementById('canvas');
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let s = '';
  for (let i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
  return btoa(s);
})()"""

# Records every picture the game presents (a hash, and whether it was a
# whole screen or an animation frame) and every key press, in the order they
# happen.
RECORDER = """(() => {
  const log = window.brimvaleLog = [];
  const composed = Module.onFrameComposed;
  let shown = 0;
  Module.onFrameComposed = (ms, copy, whole) => {
    log.push({frame: shown, whole: whole, at: performance.now()});
    composed(ms, copy, whole);
  };
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
    let h = 2166136261;
    const d = image.data;
    for (let i = 0; i < d.length; i += 4) h = Math.imul(h ^ (d[i] | d[i + 1] << 8 | d[i + 2] << 16), 16777619);
    shown = h >>> 0;
    return put.call(this, image, x, y);
  };
  window.addEventListener('keydown', e => log.push({key: e.code, kept: e.defaultPrevented}), true);
  return true;
})()"""


class Game:
    """The page in the browser, the events sent to it, and the replay of the same events."""

    def __init__(self, browser, url, replay, options=()):
        self.browser, self.replay, self.sent, self.options = browser, replay, [], tuple(options)
        if "#" in url:  # a new fragment alone would not load the page again
            browser.call("Page.navigate", url="about:blank")
        browser.call("Page.navigate", url=url)
        started = wait_for(lambda: browser.evaluate(
            "typeof Module === 'object' && Module.calledRun === true && document.getElementById('status').textContent === ''"))
        if not started:
            raise RuntimeError("the page did not start the game in %d s" % DEADLINE)
        self.measure()

    def measure(self):
        self.rect = self.browser.evaluate(
            "(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
            " return [r.left, r.top, r.width]; })()")
        return self.rect

    def point(self, x, y):
        """The page's CSS pixel at the middle of canvas pixel (x, y)."""
        left, top, width = self.measure()
        scale = width / SIDE
        return left + (x + 0.5) * scale, top + (y + 0.5) * scale

    def touch(self, points):
        """One finger along `points` (CSS pixels), then lifted."""
        call = self.browser.call
        call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[dict(x=points[0][0], y=points[0][1], id=1)])
        for x, y in points[1:]:
            call("Input.dispatchTouchEvent", type="touchMove", touchPoints=[dict(x=x, y=y, id=1)])
        call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def tap(self, x, y, token):
        """A tap on canvas pixel (x, y); the replay plays `token` for it."""
        self.touch([self.point(x, y)])
        self.sent.append(token)

    def swipe(self, name):
        """A swipe across the middle of the board, 60 canvas pixels, the replay's arrow key `name`."""
        dx, dy = {"Left": (-1, 0), "Right": (1, 0), "Up": (0, -1), "Down": (0, 1)}[name]
        self.touch([self.point(192 + dx * k, 192 + dy * k) for k in (0, 20, 40, 60)])
        self.sent.append(name)

    def button(self, label, token):
        """A tap on the on-screen control named `label`; the replay plays `token`."""
        x, y = self.browser.evaluate(
            "(() => { const r = document.querySelector('#pad button[aria-label=\"%s\"]').getBoundingClientRect();"
            " return [r.left + r.width / 2, r.top + r.height / 2]; })()" % label)
        self.touch([(x, y)])
        self.sent.append(token)

    def key(self, name):
        key, code, number = KEYS[name]
        common = dict(key=key, code=code, windowsVirtualKeyCode=number, nativeVirtualKeyCode=number)
        self.browser.call("Input.dispatchKeyEvent", type="keyDown", **common, **({"text": key} if key == " " else {}))
        self.browser.call("Input.dispatchKeyEvent", type="keyUp", **common)

    def click(self, x, y):
        px, py = self.point(x, y)
        for kind in ("mousePressed", "mouseReleased"):
            self.browser.call("Input.dispatchMouseEvent", type=kind, x=px, y=py, button="left", clickCount=1)

    def send(self, token):
        for part in token.split("+"):
            if part.startswith("click:"):
                self.click(*map(int, part[6:].split(",")))
            else:
                self.key(part)
        self.sent.append(token)

    def canvas(self):
        return base64.b64decode(self.browser.evaluate(CANVAS_PIXELS))

    def shows(self, expected):
        rgba = self.canvas()
        return len(rgba) == SIDE * SIDE * 4 and rgba[3::4] == b"\xff" * (SIDE * SIDE) and \
            rgba[0::4] == expected[0::3] and rgba[1::4] == expected[1::3] and rgba[2::4] == expected[2::3]

    def settle(self, what):
        """Waits for the canvas to equal the replay's screen for everything sent; false after the deadline."""
        expected, _ = self.replay.run(self.sent, self.options)
        ok = bool(wait_for(lambda: self.shows(expected)))
        if not ok:
            with open(os.path.join(self.replay.work, "failed-canvas.rgba"), "wb") as f:
                f.write(self.canvas())
        return check(ok, "%s: the canvas equals the replay's screen for '%s'" % (
            what, " ".join(list(self.options) + self.sent)))

    def frame_times(self):
        """What the page measured since the last call: composition of whole screens, of animation frames, copies."""
        return self.browser.evaluate("(() => { const f = brimvale.frames;"
                                     " const r = [f.screens.slice(), f.animation.slice(), f.showing.slice()];"
                                     " f.screens.length = f.animation.length = f.showing.length = 0; return r; })()")


class Times:
    """Composition times in milliseconds by what was on the screen."""

    def __init__(self):
        self.by_label = {}

    def add(self, label, game):
        screens, animation, showing = game.frame_times()
        self.by_label.setdefault(label, []).extend(screens)
        self.by_label.setdefault("animation frames (moves, turns, shots)", []).extend(animation)
        self.by_label.setdefault("copy to the canvas (RGBA, putImageData)", []).extend(showing)

    def report(self):
        print("composition per frame in the browser (performance.now(), ms; whole screens by what was shown):")
        for label, times in self.by_label.items():
            if times:
                times = sorted(times)
                print("  %-40s %4d frames  median %.3f  95%% %.3f  max %.3f" % (
                    label, len(times), times[len(times) // 2], times[int(len(times) * 0.95)], times[-1]))


def step(game, times, label, tokens):
    for token in tokens:
        game.send(token)
        if not game.settle(label):
            raise RuntimeError("stopped after '%s'" % " ".join(game.sent))
    times.add(label, game)


def tour(browser, url, replay, times):
    """Every screen, a level with turns, moves and a shot through a mirror, pause, restart, a win and a loss."""
    game = Game(browser, url, replay)
    check(game.rect[2] == 2 * SIDE, "in a 1000x1000 page the canvas is shown at a whole factor: %g px wide"
          % game.rect[2])
    game.settle("title")
    times.add("title", game)
    step(game, times, "level list", ["Space", "PageDown", "PageUp", "Right", "Right", "Right", "Right"])
    # "Around the Corner": up the side, then a shot round a fixed mirror onto the brick wall.
    step(game, times, "playing", ["Enter", "Up", "Up", "Right", "Space"])
    step(game, times, "pause", ["Escape"])
    step(game, times, "playing", ["click:190,280"])  # the Restart button
    step(game, times, "playing", ["Up", "Up", "Right", "Space", "Space", "Down", "Down", "Down",
                                  "Right", "Right", "Right", "Right", "Right", "Right", "Right"])
    step(game, times, "result", ["Right"])
    check(replay.run(game.sent)[1]["outcome"] == "Won", "the tour wins \"Around the Corner\"")
    # "Face to Face": into the anti-tank's line of fire.
    step(game, times, "playing", ["Enter", "Escape"])
    step(game, times, "level list", ["Escape", "Right", "Right"])
    step(game, times, "playing", ["Enter", "Left", "Left", "Right"])
    step(game, times, "result", ["Right"])
    check(replay.run(game.sent)[1]["outcome"] == "Lost", "the tour loses \"Face to Face\"")
    step(game, times, "level list", ["Escape"])
    step(game, times, "title", ["Escape"])
    game.send("Escape")
    check(replay.run(game.sent)[1]["quit"] == "yes", "the replay quits there too")
    expect_restarted(game, "Escape on the title")


def expect_restarted(game, what):
    """The quit started the game again: Space on its fresh title shows the level list, as in a new replay."""
    browser = game.browser
    check(bool(wait_for(lambda: browser.evaluate("brimvale.restarts === 1"))), what + " starts the game again")
    game.sent = []
    game.settle(what + ", then the fresh title")
    game.send("Space")
    game.settle(what + ", then Space: the level list")
    check(not browser.evaluate("document.getElementById('status').textContent"), what + ": no line under the canvas")


def moves_during_animation(browser, url, replay):
    """A key pressed while a move is drawn is handled after it, as on the desktop; the move shows its frames.

    Level 1 ("Turn, Then Roll"): turn right, then two moves right, the
    second key sent once the first move has presented two of its frames.
    False when that key came too late to test it (a busy machine)."""
    game = Game(browser, url, replay)
    step(game, Times(), "playing", ["Space", "Enter", "Right"])
    browser.evaluate(RECORDER)
    game.key("Right")
    browser.evaluate("new Promise(r => { const t = () => brimvaleLog.filter(e => e.whole === false).length >= 2 ?"
                     " r(true) : setTimeout(t, 0); t(); })")
    game.key("Right")
    game.sent.append("Right+Right")
    game.settle("a key during a move")
    log = browser.evaluate("brimvaleLog")
    frames_before = int(replay.run(game.sent[:-1])[1]["frames"])
    first_move = int(replay.run(game.sent[:-1] + ["Right"])[1]["frames"]) - frames_before
    both = int(replay.run(game.sent)[1]["frames"]) - frames_before
    presses = [i for i, e in enumerate(log) if e.get("key") == "ArrowRight"]
    check(all(log[i]["kept"] for i in presses), "the arrow keys are kept from the page (they would scroll it)")
    second_key = presses[1]
    shown_before = sum(1 for e in log[:second_key] if e.get("whole") is False)
    if shown_before >= first_move:
        print("note: the second key arrived after the first move had ended (%d of %d frames); trying again"
              % (shown_before, first_move))
        return False
    animation = [e["frame"] for e in log if e.get("whole") is False]
    check(len(animation) == both, "the two moves presented %d animation frames, the replay counts %d"
          % (len(animation), both))
    check(len(set(animation)) >= 3, "a move shows its frames: %d distinct canvases over two moves"
          % len(set(animation)))
    check(True, "the second key arrived after %d of the first move's %d frames" % (shown_before, first_move))
    return True


def storm(browser, url, replay):
    """606 keys queued in one go: deliveries nest as deep as they may, every
    level's wait is saved and resumed, and the game ends where the replay of
    the same group does."""
    game = Game(browser, url, replay)
    game.settle("title")
    walk = ["Right", "Down", "Left", "PageDown", "Right", "Up", "PageUp", "Down"]
    names = ["Space"] + [walk[i * 5 % len(walk)] for i in range(600)] + ["Enter", "Up", "Space", "Left", "Escape"]
    codes = [KEYS[n][1] for n in names]
    browser.evaluate("(() => { for (const c of %s) window.dispatchEvent(new KeyboardEvent('keydown', {code: c}));"
                     " return true; })()" % json.dumps(codes))
    game.sent.append("+".join(names))
    game.settle("a storm of %d keys" % len(names))


def exit_button(browser, url, replay):
    game = Game(browser, url, replay)
    game.settle("title")
    game.send("click:260,345")
    expect_restarted(game, "the Exit button")


def player_set(browser, url, replay):
    """The page's default, the player set: a level started is kept in the browser's storage across a reload."""
    progress = "/home/web_user/.local/share/brimvale/progress.txt"
    game = Game(browser, url, replay)
    game.send("Space")
    game.send("Enter")
    kept = wait_for(lambda: browser.evaluate("Module.FS.analyzePath('%s').exists" % progress))
    check(kept, "the player set: starting a level writes the saved progress")
    browser.evaluate("Module.FS.syncfs(false, () => { window.progressKept = true; }), true")
    wait_for(lambda: browser.evaluate("window.progressKept === true"))
    Game(browser, url, replay)
    check(browser.evaluate("Module.FS.analyzePath('%s').exists" % progress),
          "the player set: the saved progress is there again after a reload")


# Every element that must be on screen, as [name, left, top, right, bottom]
# in CSS pixels, and the page's scroll size.
LAYOUT = """(() => {
  const boxes = [];
  for (const e of document.querySelectorAll('#canvas, #side p:not(:empty), #pad button:not([hidden])')) {
    if (getComputedStyle(e).display === 'none' || e.offsetParent === null) continue;
    const r = e.getBoundingClientRect();
    boxes.push([e.id || e.getAttribute('aria-label'), r.left, r.top, r.right, r.bottom]);
  }
  const s = document.scrollingElement;
  return {boxes: boxes, width: innerWidth, height: innerHeight, scrollWidth: s.scrollWidth, scrollHeight: s.scrollHeight,
          pad: getComputedStyle(document.getElementById('pad')).display !== 'none'};
})()"""


# The on-screen controls of the player page: the arrows, fire, pause, go on,
# undo and mute, and the guide's hint, solution and own best.
PAD_CONTROLS = {"Up", "Down", "Left", "Right", "Fire", "Pause", "Go on", "Undo", "Mute", "Hint", "Solution",
                "Own best"}


def layout(game, what, scale, pad):
    """The canvas at `scale`, every control and line inside the window, nothing to scroll, controls >= 44 px."""
    def read():
        page = game.browser.evaluate(LAYOUT)
        boxes = {b[0]: b[1:] for b in page["boxes"]}
        outside = [n for n, (l, t, r, b) in boxes.items() if l < -0.01 or t < -0.01 or r > page["width"] + 0.01
                   or b > page["height"] + 0.01]
        return page, boxes, outside

    # A new viewport is laid out after its resize event: wait until it fits.
    wait_for(lambda: not read()[2])
    page, boxes, outside = read()
    canvas = boxes.get("canvas")
    check(canvas and abs(canvas[2] - canvas[0] - SIDE * scale) < 0.01,
          "%s: the canvas is %s px wide (scale %g)" % (what, canvas and canvas[2] - canvas[0], scale))
    check(not outside and page["scrollWidth"] <= page["width"] and page["scrollHeight"] <= page["height"],
          "%s: everything fits the %dx%d window without scrolling (outside: %s)"
          % (what, page["width"], page["height"], outside))
    check(page["pad"] == pad, "%s: the on-screen controls are %s" % (what, "shown" if pad else "hidden"))
    if pad:
        small = [n for n, (l, t, r, b) in boxes.items() if n not in ("canvas", "status", "note", "keys", "touch")
                 and (r - l < 44 or b - t < 44)]
        check(not small and len(boxes) >= 10, "%s: each on-screen control is at least 44 CSS px (too small: %s)"
              % (what, small))
        # Every key a player needs has its control, and none lies over the board.
        missing = PAD_CONTROLS - set(boxes)
        over = [n for n, (l, t, r, b) in boxes.items() if n != "canvas" and canvas and l < canvas[2] and
                r > canvas[0] and t < canvas[3] and b > canvas[1]]
        check(not missing and not over, "%s: the controls for %s are all there (missing: %s), none over the board "
              "(over it: %s)" % (what, ", ".join(sorted(PAD_CONTROLS)), sorted(missing), over))


def screenshot(browser, work, name):
    data = base64.b64decode(browser.call("Page.captureScreenshot", format="png")["data"])
    with open(os.path.join(work, name), "wb") as f:
        f.write(data)
    print("screenshot: %s (%d bytes)" % (os.path.join(work, name), len(data)))


def desktop_layout(browser, url, replay):
    """At 1280x800 the canvas is drawn twice its size, the help beside it."""
    browser.call("Emulation.setDeviceMetricsOverride", width=1280, height=800, deviceScaleFactor=1, mobile=False)
    try:
        game = Game(browser, url, replay, ("--player", "--progress", "PROGRESS"))
        game.settle("the player page at 1280x800")
        layout(game, "1280x800", 2, False)
        screenshot(browser, replay.work, "desktop-1280x800.png")
    finally:
        browser.call("Emulation.setDeviceMetricsOverride", width=1000, height=1000, deviceScaleFactor=1, mobile=False)


def painted_frames(browser, url, replay):
    """Every frame of a move reaches the screen: a requestAnimationFrame loop samples the canvas each refresh."""
    game = Game(browser, url, replay)
    step(game, Times(), "playing", ["Space", "Enter", "Right"])
    browser.evaluate(RECORDER)
    browser.evaluate("""(() => {
      const c = document.getElementById('canvas').getContext('2d');
      const painted = window.painted = [], refreshes = window.refreshes = [];
      const sample = () => {
        const d = c.getImageData(0, 0, 384, 384).data;
        let h = 2166136261;
        for (let i = 0; i < d.length; i += 4) h = Math.imul(h ^ (d[i] | d[i + 1] << 8 | d[i + 2] << 16), 16777619);
        painted.push(h >>> 0);
        refreshes.push(performance.now());
        if (window.sampling) requestAnimationFrame(sample);
      };
      window.sampling = true;
      requestAnimationFrame(sample);
      return true;
    })()""")
    game.send("Right")
    game.settle("a move, painted")
    browser.evaluate("window.sampling = false")
    log = browser.evaluate("brimvaleLog")
    frames = [e["frame"] for e in log if e.get("whole") is False]
    # The move's animation frames and the whole screen it ends on.
    distinct = set(frames + [[e["frame"] for e in log if "frame" in e][-1]])
    painted = set(browser.evaluate("painted"))
    count = int(replay.run(game.sent)[1]["frames"]) - int(replay.run(game.sent[:-1])[1]["frames"])
    seen = len(distinct & painted)
    check(len(frames) == count, "the move presented %d animation frames, the replay counts %d" % (len(frames), count))
    times = [e["at"] for e in log if e.get("whole") is False]
    refreshes = [t for t in browser.evaluate("refreshes") if times[0] <= t <= times[-1]]
    print("the move's %d animation frames were put on the canvas over %.1f ms, %d display refreshes"
          % (len(times), times[-1] - times[0], len(refreshes)))
    check(len(distinct) >= 12 and seen >= len(distinct) - 2,
          "%d of the move's %d distinct frames were on screen at a paint (sampled at %d refreshes)"
          % (seen, len(distinct), len(browser.evaluate("painted"))))


def link_for(tool, level_file, base, source=None):
    """The tool's link to level 1 of `level_file`; from its level text `source` too, which must give the same."""
    links = []
    for args in ([level_file, "--level", "1"],) + (([source, "1"],) if source else ()):
        result = subprocess.run([tool, "levels", "link"] + args + ["--base", base],
                                capture_output=True, text=True, timeout=DEADLINE)
        check(result.returncode == 0 and result.stdout.startswith(base + "#level="),
              "brimvale-tool levels link %s prints %s" % (os.path.basename(args[0]), result.stdout.strip()[:60]))
        links.append(result.stdout.strip())
    check(len(set(links)) == 1, "the link from the level text equals the link from the built level file")
    return links[0]


def press_link_button(game):
    """Clicks the page's Link button; the link it put on the clipboard (None when none came)."""
    browser = game.browser
    origin = browser.evaluate("location.origin")
    browser.call("Browser.grantPermissions", origin=origin,
                 permissions=["clipboardReadWrite", "clipboardSanitizedWrite"])
    browser.call("Emulation.setFocusEmulationEnabled", enabled=True)
    x, y = browser.evaluate("(() => { const r = document.getElementById('link').getBoundingClientRect();"
                            " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
    browser.evaluate("navigator.clipboard.writeText(''), true")
    for kind in ("mousePressed", "mouseReleased"):
        browser.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)
    return wait_for(lambda: browser.evaluate("navigator.clipboard.readText()"))


def link_button(browser, player_url, replay, tool, data):
    """The Link button on a shipped level in play: the clipboard holds the tool's link to it, which plays it."""
    game = Game(browser, player_url, replay, ("--player", "--progress", "PROGRESS"))
    game.send("click:200,283")  # Play
    game.settle("the player page: the level list")
    # The third level and two presses in, sent without waiting: the presses
    # reach the level, not the list drawn once more as the level starts.
    for token in ["click:160,36", "Right", "Up"]:
        game.send(token)
    game.settle("the player page: a level in play, two presses sent at once with its click")
    copied = press_link_button(game)
    result = subprocess.run([tool, "levels", "link", os.path.join(data, "data.lvl"), "3", "--base", player_url],
                            capture_output=True, text=True, timeout=DEADLINE)
    check(copied == result.stdout.strip(), "the Link button puts the tool's link to level 3 on the clipboard: %s"
          % (copied or "")[:70])
    note = browser.evaluate("document.getElementById('note').textContent")
    check("clipboard" in note, "the page says the link is on the clipboard: '%s'" % note)
    if copied:
        third = os.path.join(replay.work, "third.lvl")
        with open(os.path.join(data, "data.lvl"), "rb") as f, open(third, "wb") as out:
            out.write(f.read()[2 * 256:3 * 256])
        game = Game(browser, copied, replay, ("--player", "--progress", "PROGRESS", "--levels", third, "--start", "0"))
        game.settle("the Link button's link: level 3 at its start")


# A level of our own for the links, not one of the shipped set.
LINKED_LEVEL = "title Linked\n" + "################\n" * 5 + \
    "####T...O~..####\n####.##.....%###\n####......G.####\n" + "################\n" * 8


def linked_level(browser, player_url, replay, tool, data):
    """A level in the link plays at once, on the player and the classic page; a bad fragment is one line."""
    source, level_file = (os.path.join(replay.work, n) for n in ("linked.txt", "linked.lvl"))
    with open(source, "w") as f:
        f.write(LINKED_LEVEL)
    built = subprocess.run([tool, "levels", "build", source, "-o", level_file], capture_output=True, text=True)
    if not check(built.returncode == 0, "the linked level builds: %s" % built.stderr.strip()):
        return
    with open(level_file, "rb") as f:
        record = f.read()
    with open(os.path.join(data, "data.lvl"), "rb") as f:
        shipped = f.read()
    check(all(shipped[i:i + 256] != record for i in range(0, len(shipped), 256)), "the linked level is not shipped")
    options = ("--levels", level_file, "--start", "0")
    link = link_for(tool, level_file, player_url, source)
    encoded = link.split("#level=")[1]
    check(base64.urlsafe_b64decode(encoded + "==") == record and "=" not in encoded,
          "the link holds the record in base64url without padding")
    game = Game(browser, link, replay, ("--player", "--progress", "PROGRESS") + options)
    game.settle("the player page's link")
    # The player set's keys in the page: undo by U and Backspace, M mutes.
    for token in ["Right", "Right", "U", "Down", "Backspace", "Right", "Right", "Right"]:
        game.send(token)
        game.settle("the player set's keys")
    progress = "/home/web_user/.local/share/brimvale/progress.txt"
    muted = "Module.FS.readFile('%s', {encoding: 'utf8'}).includes('muted %%d')" % progress
    game.send("M")
    check(bool(wait_for(lambda: browser.evaluate(muted % 1))), "M mutes the sound (kept in the progress)")
    game.send("M")
    check(bool(wait_for(lambda: browser.evaluate(muted % 0))), "M again brings it back")
    game.send("Left")  # the game goes on; M changes no picture (nor does it in a replay without sound)
    game.settle("a key after M")
    # H: the solver searches in the page between frames; the time to the hint is printed, not asserted.
    game.sent.append("H")
    expected, _ = replay.run(game.sent, game.options)
    game.sent.pop()
    began = time.monotonic()
    game.send("H")
    hinted = bool(wait_for(lambda: game.shows(expected)))
    waited = time.monotonic() - began
    check(hinted, "H on the player page: the canvas shows the replay's hint")
    print("a hint in the browser arrived in %.0f ms (the linked level, after eight presses)" % (waited * 1000))
    game = Game(browser, link.replace("index.html#", "index.html?classic#"), replay, options)
    game.settle("the classic page's link")
    game = Game(browser, player_url.replace("index.html", "index.html?classic#level=AAAA"), replay)
    game.settle("a link with no whole level: the title")
    note = browser.evaluate("document.getElementById('note').textContent")
    check("\n" not in note and len(note) > 10, "a link with no whole level says so in one line: '%s'" % note)


# Watches every picture put on the canvas from now on: window.sawScreen turns
# true at the first whose rows outside y0..y1 equal the RGB bytes given.
SCREEN_WATCH = """((expected, y0, y1) => {
  const e = Uint8Array.from(atob(expected), c => c.charCodeAt(0));
  window.sawScreen = false;
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
    const d = image.data;
    let same = d.length === e.length / 3 * 4;
    for (let i = 0, p = 0; same && p < e.length; i += 4, p += 3) {
      const row = p / 3 / 384 | 0;
      if ((row < y0 || row >= y1) && (d[i] !== e[p] || d[i + 1] !== e[p + 1] || d[i + 2] !== e[p + 2])) same = false;
    }
    if (same) window.sawScreen = true;
    return put.call(this, image, x, y);
  };
  return true;
})(%s, %d, %d)"""


def solution_of(tool, data, level):
    """The solver's shortest win of level `level` (counted from 1), as replay tokens."""
    result = subprocess.run([tool, "solve", "--data", data, "--level", str(level - 1)], capture_output=True, text=True,
                            timeout=DEADLINE)
    words = result.stdout.split()
    return words[words.index("solved") + 2:] if "solved" in words else []


def watch_solution(game, opening, tool, data, level):
    """The solution control on the pause: a shortest win of the level plays to its won screen (the game's own won
    screen but for the banner), then the pause is back as the replay has it."""
    win = solution_of(tool, data, level)
    check(bool(win), "the solver gives level %d's shortest win: %s" % (level, " ".join(win)))
    won, report = game.replay.run(opening + win)
    check(report["outcome"] == "Won", "phone: level %d's solution wins in the replay" % level)
    game.browser.evaluate(SCREEN_WATCH % (json.dumps(base64.b64encode(won).decode()), 40, 112))
    began = time.monotonic()
    game.button("Solution", "Solution")
    saw = wait_for(lambda: game.browser.evaluate("window.sawScreen"))
    check(bool(saw), "phone: S on the pause plays level %d's solution to a win (after %.1f s)"
          % (level, time.monotonic() - began))
    game.settle("phone: back on the pause after the solution")
    check(game.replay.run(game.sent, game.options)[1].get("watched-wins") == "1",
          "phone: the replay counts one solution watched to a win")


PICTURE = """(() => {
  const c = document.getElementById('canvas');
  const d = c.getContext('2d').getImageData(0, 0, 384, 384).data;
  let h = 2166136261;
  for (let i = 0; i < d.length; i += 4) h = Math.imul(h ^ (d[i] | d[i + 1] << 8 | d[i + 2] << 16), 16777619);
  return [c.width, c.height, h >>> 0];
})()"""


def editor_in_browser(browser, player_url, replay, tool, data):
    """E on the level list edits a copy in mine.txt, kept in the browser's storage: a glyph typed and a cell
    clicked, Control+S, test play and back, then the Link button's link plays the edited level."""
    mine = "/home/web_user/.local/share/brimvale/levels/mine.txt"
    game = Game(browser, player_url, replay)
    browser.evaluate("Module.FS.analyzePath('%s').exists && Module.FS.unlink('%s'), true" % (mine, mine))
    game.click(200, 283)  # Play: the level list
    game.key("E")
    opened = wait_for(lambda: browser.evaluate(PICTURE)[0] > 384)
    if not check(bool(opened), "E on the level list opens the editor (the canvas grows to its panels)"):
        return
    width, height, _ = browser.evaluate(PICTURE)
    read_mine = "Module.FS.analyzePath('%s').exists && Module.FS.readFile('%s', {encoding: 'utf8'})" % (mine, mine)
    copy = browser.evaluate(read_mine)  # E wrote the copy
    layout = browser.evaluate("(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
                              " return [r.left, r.top, r.width, r.height]; })()")
    check(abs(layout[2] / layout[3] - width / height) < 0.01,
          "the editor's %dx%d picture is shown unstretched (%.0fx%.0f CSS px)" % (width, height, layout[2], layout[3]))
    screenshot(browser, replay.work, "editor-1000x1000.png")

    def click_cell(cx, cy):
        left, top, css_width, _ = browser.evaluate(
            "(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
            " return [r.left, r.top, r.width, r.height]; })()")
        f = css_width / width
        for kind in ("mousePressed", "mouseReleased"):
            browser.call("Input.dispatchMouseEvent", type=kind, x=left + (24 * cx + 12) * f,
                         y=top + (24 * cy + 12) * f, button="left", clickCount=1)

    before = browser.evaluate(PICTURE)[2]
    browser.call("Input.dispatchKeyEvent", type="keyDown", key="O", code="KeyO", text="O", windowsVirtualKeyCode=79)
    browser.call("Input.dispatchKeyEvent", type="keyUp", key="O", code="KeyO", windowsVirtualKeyCode=79)
    click_cell(1, 1)
    edited = wait_for(lambda: browser.evaluate(PICTURE)[2] != before)
    check(bool(edited), "a glyph typed and a cell clicked change the board")
    board = browser.evaluate(PICTURE)[2]
    for kind in ("keyDown", "keyUp"):
        browser.call("Input.dispatchKeyEvent", type=kind, key="s", code="KeyS", modifiers=2, windowsVirtualKeyCode=83)
    saved = wait_for(lambda: browser.evaluate(read_mine) != copy and browser.evaluate(read_mine))
    screenshot(browser, replay.work, "editor-saved-1000x1000.png")
    if not check(bool(saved), "Control+S writes mine.txt in the browser's storage"):
        return
    levels = saved.split("\ntitle ")
    rows = [line for line in levels[-1].splitlines() if len(line) == 16][-16:]
    check(len(rows) == 16 and rows[1][1] == "O", "the saved copy holds the block at (1, 1): %s" % (rows[1:2] or "?"))
    # Test play: a press moves or turns the tank; Escape brings the board back as it was.
    game.key("T")
    game.key("Right")
    moved = wait_for(lambda: browser.evaluate(PICTURE)[2] != board)
    check(bool(moved), "T plays the board being edited (a press changes it)")
    game.key("Escape")
    back = wait_for(lambda: browser.evaluate(PICTURE)[2] == board)
    check(bool(back), "Escape returns to the editor with the board as it was")
    copied = press_link_button(game)
    source = os.path.join(replay.work, "mine.txt")
    with open(source, "w") as f:
        f.write(saved)
    count = saved.count("title ")
    result = subprocess.run([tool, "levels", "link", source, str(count), "--base", player_url],
                            capture_output=True, text=True, timeout=DEADLINE)
    check(bool(copied) and copied == result.stdout.strip(),
          "the Link button copies the edited level's link, as levels link prints it from mine.txt: %s"
          % (copied or "")[:70])
    browser.evaluate("Module.FS.syncfs(false, () => { window.mineKept = true; }), true")
    wait_for(lambda: browser.evaluate("window.mineKept === true"))
    if copied:
        record = base64.urlsafe_b64decode(copied.split("#level=")[1] + "==")
        edited_file = os.path.join(replay.work, "edited.lvl")
        with open(edited_file, "wb") as f:
            f.write(record)
        game = Game(browser, copied, replay, ("--player", "--progress", "PROGRESS", "--levels", edited_file,
                                              "--start", "0"))
        game.settle("the edited level's link")
        check(record[17] == 5, "the linked level has the block placed in the editor")
    Game(browser, player_url, replay)
    check(browser.evaluate("Module.FS.analyzePath('%s').exists" % mine), "mine.txt is there again after a reload")


def phone_tour(work, url, replay, tool, data):
    """A phone (390x844, device scale 3) played by touch alone: a level opened by taps, won by swipes, the fire
    control and a tap on the tank through a shot and a push; pause, restart and undo by the on-screen controls;
    a solution watched from the pause and a hint, by the guide's controls."""
    browser = Browser(work)
    try:
        browser.call("Emulation.setDeviceMetricsOverride", width=390, height=844, deviceScaleFactor=3, mobile=True)
        browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
        game = Game(browser, url, replay, ("--player", "--progress", "PROGRESS"))
        game.settle("phone: the title")
        game.tap(200, 283, "click:200,283")  # Play
        game.settle("phone: Play by a tap")
        layout(game, "phone 390x844", 1, True)
        game.tap(160, 36, "click:160,36")  # the third level, "Stepping Stone"
        game.settle("phone: a level by a tap")
        # The solution control in play does nothing (the key S would turn the tank down).
        game.button("Solution", "Solution")
        game.settle("phone: the solution control in play leaves the tank")
        game.button("Fire", "Space")  # into the wall above
        game.settle("phone: the fire control")
        game.swipe("Down")
        game.settle("phone: a swipe turns")
        game.button("Undo", "U")
        game.settle("phone: the undo control")
        game.button("Pause", "Escape")
        game.settle("phone: the pause control")
        watch_solution(game, ["click:200,283", "click:160,36"], tool, data, 3)
        game.tap(190, 280, "click:190,280")  # Restart
        game.settle("phone: Restart by a tap")
        game.swipe("Down")
        game.swipe("Down")
        game.settle("phone: swipes move")
        # The hint control: the replay's arrow on the tank, searched in the page between frames.
        began = time.monotonic()
        game.button("Hint", "H")
        game.settle("phone: the hint control shows the replay's hint")
        print("phone: a hint arrived in %.0f ms (level 3, after two presses)" % ((time.monotonic() - began) * 1000))
        screenshot(browser, work, "phone-390x844.png")
        # The tank is at (4, 8) facing down: a tap on it fires.
        game.tap(4 * 24 + 12, 8 * 24 + 12, "Space")
        game.settle("phone: a tap on the tank fires")
        for name in ["Right"] * 8:
            game.swipe(name)
            game.settle("phone: swipes push and drive")
        report = replay.run(game.sent, game.options)[1]
        check(report["outcome"] == "Won", "phone: the level is won by touch alone (%s)" % report["outcome"])
        browser.call("Emulation.setDeviceMetricsOverride", width=844, height=390, deviceScaleFactor=3, mobile=True)
        wait_for(lambda: game.measure()[1] < 4)
        layout(game, "phone 844x390", 1, True)
        screenshot(browser, work, "phone-844x390.png")
        errors = browser.errors()
        check(not errors, "phone: the page threw no uncaught error%s" % (": %s" % errors[0] if errors else ""))
    finally:
        browser.close()


def offline(browser, url, replay):
    """The service worker keeps the files: a reload with the network off starts the game."""
    Game(browser, url, replay)
    cached = wait_for(lambda: browser.evaluate(
        "navigator.serviceWorker.ready.then(() => caches.keys()).then(k => Promise.all(k.map(n => caches.open(n)"
        ".then(c => c.match('brimvale.wasm'))))).then(m => m.some(x => !!x))"))
    check(bool(cached), "the service worker keeps the page's files")
    browser.call("Network.enable")
    browser.call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)
    try:
        game = Game(browser, url, replay)
        game.settle("offline: the game starts")
    finally:
        browser.call("Network.emulateNetworkConditions", offline=False, latency=0, downloadThroughput=-1,
                     uploadThroughput=-1)


def manifest(site, served):
    """The manifest and its icons, and no request that found nothing (the favicon)."""
    with open(os.path.join(site, "manifest.webmanifest")) as f:
        m = json.load(f)
    sizes = []
    for icon in m.get("icons", []):
        with open(os.path.join(site, icon["src"]), "rb") as f:
            head = f.read(24)
        sizes.append((int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")))
    check(m.get("display") == "standalone" and m.get("name") and m.get("theme_color") and
          sizes == [(192, 192), (512, 512)], "the manifest: %s, icons %s" % (m.get("display"), sizes))
    missing = [path for path, code in served if code == 404]
    check(not missing, "every request the pages made was found (missing: %s)" % missing)


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    served = []  # (path, status) of every request

    def log_request(self, code="-", size="-"):
        QuietHandler.served.append((self.path, int(code) if str(code).isdigit() else code))

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    for option in ("--source", "--tool", "--data", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    missing = [p for p in ("chromium", "emcmake") if not shutil.which(p)]
    if missing:
        check(False, "not installed: %s (make web-deps installs them)" % " ".join(missing))
        return 1
    site = os.path.join(args.work, "site")
    build = subprocess.run(["sh", os.path.join(args.source, "cmake", "build_web.sh"), args.source, args.data,
                            os.path.join(args.work, "tree"), site], capture_output=True, text=True)
    if not check(build.returncode == 0, "the web build"):
        print(build.stdout[-4000:] + build.stderr[-4000:])
        return 1
    server = serve(site)
    player_url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    url = player_url + "?classic"
    replay, times, browser = Replay(args.tool, args.data, args.work), Times(), None
    try:
        browser = Browser(args.work)
        tour(browser, url, replay, times)
        if not any(moves_during_animation(browser, url, replay) for _ in range(3)):
            check(False, "three tries never sent a key while a move was drawn")
        storm(browser, url, replay)
        exit_button(browser, url, replay)
        player_set(browser, player_url, replay)
        painted_frames(browser, url, replay)
        linked_level(browser, player_url, replay, args.tool, args.data)
        link_button(browser, player_url, replay, args.tool, args.data)
        editor_in_browser(browser, player_url, replay, args.tool, args.data)
        desktop_layout(browser, player_url, replay)
        offline(browser, player_url, replay)
        phone_tour(args.work, player_url, replay, args.tool, args.data)
        manifest(site, QuietHandler.served)
        errors = browser.errors()
        check(not errors, "the page threw no uncaught error%s" % (": %s" % errors[0] if errors else ""))
    except (RuntimeError, OSError, websocket.WebSocketException, subprocess.SubprocessError) as e:
        check(False, str(e))
    finally:
        if browser:
            browser.close()
        server.shutdown()
    times.report()
    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
