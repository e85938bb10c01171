#!/usr/bin/python3
"""Measures the browser's game in headless Chromium: what a first visit
downloads, how long the splash picture takes to appear, and the play
screen's frame rate against an empty page's; beside them, the frame rate of
a plain WebGL page that draws only the board's passes (board_passes.html),
which tells how much of the play screen's rate the renderer itself allows.

Usage: web_bench.py [--site FOLDER] [--loads N] [--rounds N] [--seconds S]
The site defaults to build-web/site/ (./tools/build-web.sh makes it). Exits
non-zero when a measurement cannot be made or a first visit downloads more
than 1.5 MB. The splash is timed on a fast link and on a phone's.
"""

import argparse
import contextlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.common.exceptions import WebDriverException

HERE = os.path.dirname(os.path.abspath(__file__))
LIMIT = 1_500_000  # 1.5 MB in decimal megabytes, the stricter reading
SPLASH_LINE = "Loaded texture ./img/splash.jpg"
MIN_COLOURS = 32  # a cleared canvas has one colour; a picture has hundreds

# Run in every page before its own scripts. Counts the colours of a canvas
# or picture shrunk to 64x48 (for the screenshot's check). Wraps
# requestAnimationFrame so that, once the splash line is logged, the frame
# is read right after each of the page's own frame callbacks, while it is
# still in the drawing buffer (reading it in a later callback finds it
# already cleared); the first frame with a picture in it is the splash
# frame. Also counts the page's own callbacks, the game drawing once in
# each, and their time.
HOOK = r"""
window.__bench = {line: null, splash: null, pageFrames: 0, pageMs: 0, raf: window.requestAnimationFrame};
// The distinct colours on a 64x48 grid of an RGBA picture's pixels.
__bench.gridColours = function (pixels, width, height) {
  var seen = new Set();
  for (var y = 0; y < 48; y++)
    for (var x = 0; x < 64; x++) {
      var i = (Math.floor((y + 0.5) * height / 48) * width + Math.floor((x + 0.5) * width / 64)) * 4;
      seen.add((pixels[i] << 24) | (pixels[i + 1] << 16) | (pixels[i + 2] << 8) | pixels[i + 3]);
    }
  return seen.size;
};
// The colours of a canvas or picture shrunk to 64x48.
__bench.colours = function (source) {
  var copy = document.createElement('canvas');
  copy.width = 64; copy.height = 48;
  var context = copy.getContext('2d', {willReadFrequently: true});
  context.drawImage(source, 0, 0, 64, 48);
  return __bench.gridColours(context.getImageData(0, 0, 64, 48).data, 64, 48);
};
// The colours of the frame just drawn, read from the game's own WebGL
// context on the grid: far cheaper than copying the canvas, so that looking
// for the splash hardly delays the next frame.
__bench.drawnColours = function () {
  var gl = window.Module && Module.ctx;
  if (!gl) return 0;
  var width = gl.drawingBufferWidth, height = gl.drawingBufferHeight;
  var pixels = new Uint8Array(width * height * 4);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
  return __bench.gridColours(pixels, width, height);
};
window.requestAnimationFrame = function (callback) {
  return __bench.raf.call(window, function (stamp) {
    var start = performance.now();
    callback(stamp);
    var drawn = performance.now();
    __bench.pageFrames += 1;
    __bench.pageMs += drawn - start;
    if (__bench.line !== null && __bench.splash === null && __bench.drawnColours() >= %d)
      __bench.splash = drawn;
  });
};
var __log = console.log;
console.log = function (text) {
  if (__bench.line === null && String(text).indexOf('%s') >= 0)
    __bench.line = performance.now();
  return __log.apply(console, arguments);
};
""" % (MIN_COLOURS, SPLASH_LINE)

# Counts animation frames for the given milliseconds with the browser's own
# requestAnimationFrame; returns browser frames/s, the page's own frames/s and
# the milliseconds each of the page's own callbacks took.
COUNT = """
var done = arguments[1], ticks = 0, first = null, last = null;
var pageStart = __bench.pageFrames, msStart = __bench.pageMs;
var end = performance.now() + arguments[0];
function tick(stamp) {
  if (first === null) first = stamp; else ticks += 1;
  last = stamp;
  if (performance.now() < end) { __bench.raf.call(window, tick); return; }
  var seconds = (last - first) / 1000, frames = __bench.pageFrames - pageStart;
  done([ticks / seconds, frames / seconds, frames ? (__bench.pageMs - msStart) / frames : 0]);
}
__bench.raf.call(window, tick);
"""


class Failure(Exception):
    pass


@contextlib.contextmanager
def served(folder):
    """Serves a folder with the game's own server on a free port; yields its URL."""
    server = subprocess.Popen([sys.executable, os.path.join(HERE, "..", "tools", "serve_web.py"), "0",
                               "--site", folder], stdout=subprocess.PIPE, text=True)
    try:
        line = server.stdout.readline()
        if not line.startswith("Serving Lumen at "):
            raise Failure("the web server did not start for " + folder)
        yield line.split()[-1]
    finally:
        server.terminate()
        server.wait()


@contextlib.contextmanager
def browser():
    """A headless Chromium with a fresh profile, so nothing is cached."""
    profile = tempfile.mkdtemp(prefix="lumen-web-bench-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader "
                 "--no-first-run --disable-background-networking --disable-component-update --disable-sync "
                 "--window-size=1000,800 --autoplay-policy=no-user-gesture-required").split():
        options.add_argument(flag)
    options.add_argument("--user-data-dir=" + profile)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.set_script_timeout(120)
        # A window that fits the board at the desktop's own 800 x 600, one
        # pixel per CSS pixel, as the desktop's drawing benchmark measures.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": 800, "height": 600, "deviceScaleFactor": 1, "mobile": False})
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HOOK})
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def wait_for(what, probe, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = probe()
        if value:
            return value
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


def logged(driver, text, lines):
    """Whether the page has logged a line holding text; lines keeps what was read so far."""
    lines.extend(entry["message"] for entry in driver.get_log("browser"))
    return any(text in line for line in lines)


# What every first visit fetches over the network: the first four before
# the splash, the other packs behind it.
GAME_FILES = ("index.html", "lumen.js", "lumen.wasm", "lumen-splash.data", "lumen-instructions.data",
              "lumen-play.data")


# A phone's link: 4 Mbit/s down, 150 ms round trip (CDP's throughputs are
# bytes per second).
SLOW_LINK = {"offline": False, "latency": 150, "downloadThroughput": 4_000_000 / 8,
             "uploadThroughput": 1_000_000 / 8}


def first_visit(url, link=None):
    """One fresh page load, on the emulated link if one is given, with the
    browser's cache off: the splash's times (ms from opening) and the bytes
    fetched."""
    with browser() as driver:
        if link:
            driver.execute_cdp_cmd("Network.enable", {})
            driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
            driver.execute_cdp_cmd("Network.emulateNetworkConditions", link)
        driver.get(url)
        splash = wait_for("the splash on the canvas", lambda: driver.execute_script("return __bench.splash"))
        line = driver.execute_script("return __bench.line")
        # The compositor's picture of the canvas must show the splash too.
        shot = driver.find_element(By.ID, "canvas").screenshot_as_base64
        shown = driver.execute_async_script("""
            var picture = new Image(), done = arguments[1];
            picture.onload = function () { done(__bench.colours(picture)); };
            picture.onerror = function () { done(0); };
            picture.src = 'data:image/png;base64,' + arguments[0];""", shot)
        if shown < MIN_COLOURS:
            raise Failure("the canvas's screenshot shows no picture (%d colours)" % shown)
        # The packs after the first and the icon come after the splash; a
        # first visit fetches them all.
        entries_js = "return performance.getEntriesByType('navigation').concat(" \
                     "performance.getEntriesByType('resource')).map(e => [e.name, e.transferSize, e.encodedBodySize])"
        end = time.monotonic() + 60
        entries = driver.execute_script(entries_js)
        while time.monotonic() < end and not all(
                any(name.split("?")[0].endswith("/" + path) for name, _, _ in entries)
                for path in GAME_FILES[1:] + ("lumen.png",)):
            time.sleep(0.1)
            entries = driver.execute_script(entries_js)
    fetched = {}
    for name, transfer, body in entries:
        path = name[len(url):] if name.startswith(url) else name
        # The page asks for the game's files under its build's identity
        # (lumen.js?v=...): the file is the same.
        fetched[path.split("?")[0] or "index.html"] = (transfer, body)
    return line, splash, fetched


def frame_rates(game_url, empty_url, rounds, seconds):
    """Alternates the empty page, the board's passes alone and the play
    screen in one browser."""
    empty, board, game, drawn, busy = [], [], [], [], []
    with browser() as driver:
        for _ in range(rounds):
            driver.get(empty_url)
            empty.append(driver.execute_async_script(COUNT, seconds * 1000)[0])
            driver.get(empty_url + "board_passes.html")
            time.sleep(1)  # its first frames hand its pictures to the renderer
            board.append(driver.execute_async_script(COUNT, seconds * 1000)[0])
            driver.get(game_url)
            wait_for("the splash", lambda: driver.execute_script("return __bench.splash"))
            driver.get_log("browser")  # drops the lines so far: only the clicks' lines count
            lines = []
            canvas = driver.find_element(By.ID, "canvas")
            for image in ("instructions.jpg", "bg.jpg"):  # splash -> instructions -> play
                ActionChains(driver).move_to_element(canvas).click().perform()
                wait_for(image + " after a click", lambda: logged(driver, "Loaded texture ./img/" + image, lines))
            time.sleep(3)  # the opening fade
            browser_rate, page_rate, page_ms = driver.execute_async_script(COUNT, seconds * 1000)
            game.append(browser_rate)
            drawn.append(page_rate)
            busy.append(page_ms)
    return empty, board, game, drawn, busy


def spread(values):
    return "%.1f (%.1f-%.1f)" % (statistics.median(values), min(values), max(values))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--site", default=os.path.join(HERE, "..", "build-web", "site"))
    parser.add_argument("--loads", type=int, default=5, help="fresh page loads timed (default 5)")
    parser.add_argument("--rounds", type=int, default=5, help="empty page / play screen pairs (default 5)")
    parser.add_argument("--seconds", type=float, default=5, help="seconds each frame count lasts (default 5)")
    options = parser.parse_args()
    site = os.path.abspath(options.site)
    if not os.path.isfile(os.path.join(site, "index.html")):
        sys.exit("No web build in %s: run ./tools/build-web.sh first." % site)

    empty_site = tempfile.mkdtemp(prefix="lumen-empty-page-")
    with open(os.path.join(empty_site, "index.html"), "w") as page:
        page.write("<!doctype html><title>Empty</title>\n")
    shutil.copy(os.path.join(HERE, "board_passes.html"), empty_site)
    try:
        with served(site) as game_url, served(empty_site) as empty_url:
            visits = [first_visit(game_url) for _ in range(options.loads)]
            slow_visits = [first_visit(game_url, SLOW_LINK) for _ in range(options.loads)]
            empty, board, game, drawn, busy = frame_rates(game_url, empty_url, options.rounds, options.seconds)
    finally:
        shutil.rmtree(empty_site, ignore_errors=True)

    failed = []
    print("Load average (1 min) on this machine at the end: %.1f; the figures vary with it\n" % os.getloadavg()[0])
    fetched = visits[0][2]
    print("First visit's downloads (Resource Timing: bytes over the wire with headers; body as sent, "
          "compressed where the server had a copy; file on disk)")
    for path, (transfer, body) in sorted(fetched.items()):
        on_disk = os.path.join(site, path)
        size = os.path.getsize(on_disk) if os.path.isfile(on_disk) else None
        # A file with compressed copies arrives as one of them.
        copies = [os.path.getsize(on_disk + suffix) for suffix in ("", ".gz", ".br")
                  if os.path.isfile(on_disk + suffix)]
        note = "" if body in copies and transfer > body else "  <- differs from the file or not fetched"
        # The service worker, which the page starts once the game runs, may
        # answer the last requests (the icons the browser asks for to offer
        # installing) from the copy it has just kept, or the browser from its
        # cache: no byte of those crosses the network, and the count says so.
        if note and transfer == 0 and body in copies and path not in GAME_FILES:
            note = "  (from a local copy)"
        elif note:
            failed.append(path + " was not fetched whole")
        print("  %-12s %10d %10d %10s%s" % (path, transfer, body, size, note))
    for name in sorted(name for name in set(os.listdir(site)) - set(fetched)
                       if not name.endswith((".gz", ".br"))):
        print("  %-12s not fetched (%d bytes on disk)" % (name, os.path.getsize(os.path.join(site, name))))
    total = sum(transfer for transfer, _ in fetched.values())

    def game_bytes(visit):
        return sum(visit[2][path][0] for path in GAME_FILES if path in visit[2])
    if any(game_bytes(visit) != game_bytes(visits[0]) for visit in visits):
        failed.append("fresh loads downloaded different amounts")
    within = total <= LIMIT
    print("  %-12s %10d bytes = %.2f MB; at most %g MB: %s" % ("total", total, total / 1e6, LIMIT / 1e6,
                                                            "yes" if within else "NO"))
    if not within:
        failed.append("a first visit downloads more than %g MB" % (LIMIT / 1e6))

    print("\nOpening the page to the splash, ms from navigation start, median (range) of %d fresh browsers"
          % len(visits))
    print("  console line \"%s\"  %s" % (SPLASH_LINE, spread([v[0] for v in visits])))
    print("  first frame holding the splash drawn        %s" % spread([v[1] for v in visits]))
    print("  the same on a phone's link (%g Mbit/s down, %d ms round trip, cache off):"
          % (SLOW_LINK["downloadThroughput"] * 8 / 1e6, SLOW_LINK["latency"]))
    slow_splash = statistics.median([v[1] for v in slow_visits])
    print("    console line                               %s" % spread([v[0] for v in slow_visits]))
    print("    first frame holding the splash drawn      %s; at most 1500: %s"
          % (spread([v[1] for v in slow_visits]), "yes" if slow_splash <= 1500 else "NO"))
    print("  (the frame read back right after the game's drawing callback: >= %d colours on a 64x48 grid;"
          % MIN_COLOURS)
    print("   the canvas's screenshot checked to show a picture too)")

    ratio = statistics.median(game) / statistics.median(empty)
    print("\nFrame rate, requestAnimationFrame callbacks/s over %g s, median (range) of %d alternating rounds"
          % (options.seconds, options.rounds))
    print("  empty page            %s" % spread(empty))
    print("  board's passes alone  %s (board_passes.html: plain WebGL, no game)" % spread(board))
    print("  play screen           %s" % spread(game))
    print("  the game's own frames %s/s, each %s ms in its drawing callback" % (spread(drawn), spread(busy)))
    print("  ratio play/empty      %.2f (per round %s); at least 0.9: %s" % (
        ratio, " ".join("%.2f" % (g / e) for g, e in zip(game, empty)), "yes" if ratio >= 0.9 else "NO"))
    print("  the game's own frames to the empty page's: %.2f" % (statistics.median(drawn) / statistics.median(empty)))
    print("  ratio board's passes alone/empty %.2f: what the renderer allows a page that draws the board"
          % (statistics.median(board) / statistics.median(empty)))

    for reason in failed:
        print("FAILED: " + reason, file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (Failure, WebDriverException) as problem:
        sys.exit("Measurement failed: %s" % problem)
