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

    def run(self, tokens):
        key = tuple(tokens)
        if key not in self.cache:
            png = os.path.join(self.work, "expected.png")
            if os.path.exists(png):
                os.remove(png)
            result = subprocess.run([self.tool, "replay", "--data", self.data, "--png", png] + list(tokens),
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
        **{c: (c.lower(), "Key" + c, ord(c)) for c in "WASDR"}}

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
  Module.onFrameComposed = (ms, copy, whole) => { log.push({frame: shown, whole: whole}); composed(ms, copy, whole); };
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

    def __init__(self, browser, url, replay):
        self.browser, self.replay, self.sent = browser, replay, []
        browser.call("Page.navigate", url=url)
        started = wait_for(lambda: browser.evaluate(
            "typeof Module === 'object' && Module.calledRun === true && document.getElementById('status').textContent === ''"))
        if not started:
            raise RuntimeError("the page did not start the game in %d s" % DEADLINE)
        self.rect = browser.evaluate(
            "(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
            " return [r.left, r.top, r.width]; })()")

    def key(self, name):
        key, code, number = KEYS[name]
        common = dict(key=key, code=code, windowsVirtualKeyCode=number, nativeVirtualKeyCode=number)
        self.browser.call("Input.dispatchKeyEvent", type="keyDown", **common, **({"text": key} if key == " " else {}))
        self.browser.call("Input.dispatchKeyEvent", type="keyUp", **common)

    def click(self, x, y):
        left, top, width = self.rect
        scale = width / SIDE
        px, py = left + (x + 0.5) * scale, top + (y + 0.5) * scale
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
        expected, _ = self.replay.run(self.sent)
        ok = bool(wait_for(lambda: self.shows(expected)))
        if not ok:
            with open(os.path.join(self.replay.work, "failed-canvas.rgba"), "wb") as f:
                f.write(self.canvas())
        return check(ok, "%s: the canvas equals the replay's screen for '%s'" % (what, " ".join(self.sent)))

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
    expect_stopped(game, "Escape on the title")


def expect_stopped(game, what):
    """The game has ended, the page says how to start again, and the tab still answers."""
    browser = game.browser
    stopped = wait_for(lambda: browser.evaluate("brimvale.stopped !== null"))
    check(bool(stopped) and browser.evaluate("brimvale.stopped") == 0, what + " ends the game with status 0")
    line = browser.evaluate("document.getElementById('status').textContent")
    check("Reload the page" in line, what + ": the line under the canvas says '%s'" % line)
    before = game.canvas()
    game.key("Space")
    game.key("Enter")
    check(browser.evaluate("new Promise(r => setTimeout(() => r(6 * 7), 200))") == 42 and game.canvas() == before,
          what + ": the tab still answers and keys change nothing")


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
    expect_stopped(game, "the Exit button")


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


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
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
