#!/usr/bin/python3
"""Plays the browser's Lumen in headless Chromium, as players meet it.

One server and one browser serve every case. The server is the site's own
(tools/serve_web.py) and hosts the built site (build-web/site/) in a
subfolder, as a static host may, beside two broken copies of it: one whose
data file is missing and one whose data file was cut short. Through
Selenium and CDP, in Debian's Chromium:

- a whole game with the mouse on an 800 x 600 board: the splash, a click to
  the instructions, a click into play, the ten pucks of a new game (held
  against the desktop game's first board, played under the X display the
  test is given), a transfer of light, q for the win picture, a click into
  the next game and Escape to end it;
- the board on a wide high-density screen;
- a phone held upright and sideways, played by taps: the instructions for
  touch, a transfer made by tapping one puck and then another, and letting
  go of a picked puck by tapping it again;
- the bad moments: a reload with the network cut after one visit, the WebGL
  context taken away and given back, and the two broken sites.

The pictures and the log are judged by browser_check, the desktop tests' own
finders. Nothing may reach the page uncaught in any of them.

Usage: BrowserTest.py --site FOLDER --check BROWSER_CHECK --desktop LUMEN
"""

import argparse
import base64
import http.server
import json
import os
import re
import subprocess
import sys
import shutil
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))
import serve_web  # noqa: E402  (the site's own server, found through the path above)

NEW_GAME = [100, 89, 78, 67, 56, 45, 34, 23, 12, 1]
BOARD_WIDTH, BOARD_HEIGHT = 800, 600
# The fastest a puck drifts, in board pixels a second (a puck of brightness
# 0 or 100), with some room for what a screenshot's timing blurs.
MAX_DRIFT = 45.0
PHONE = {"width": 412, "height": 915, "deviceScaleFactor": 2.625, "mobile": True}
# What the page says when a file of the game's could not be fetched.
NOT_DOWNLOADED = "could not download its files"
options = None  # the command line, set in main


def chromium_options(profile):
    chrome = webdriver.ChromeOptions()
    chrome.binary_location = "/usr/bin/chromium"
    # WebGL draws here only with SwiftShader; as root Chromium needs
    # --no-sandbox; the machine's network is closed, so nothing in the
    # background may try it.
    for flag in ["--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                 "--no-first-run", "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--window-size=1000,900", "--user-data-dir=" + profile]:
        chrome.add_argument(flag)
    chrome.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return chrome


def desktop_first_board():
    """The desktop game's first ten pucks, as (x, y, brightness), seen as soon
    as they are all in, and the seconds from the click that began the game
    to the grab they were seen in; no pucks if they were not seen within ten
    seconds."""
    environment = dict(os.environ, SDL_AUDIODRIVER="dummy")
    game = subprocess.Popen([options.desktop], cwd=SOURCE_DIR, env=environment,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = ""
        deadline = time.monotonic() + 20
        while not window and time.monotonic() < deadline:
            time.sleep(0.2)
            window = subprocess.run(["xdotool", "search", "--name", "TODO: CHANGE THIS"],
                                    capture_output=True, text=True).stdout.split("\n")[0]
        if not window:
            return [], 0.0
        time.sleep(0.5)
        subprocess.run(["xdotool", "mousemove", "--window", window, "400", "300", "click", "1"], check=True)
        time.sleep(0.5)
        subprocess.run(["xdotool", "click", "1", "mousemove", "--window", window, "5", "5"], check=True)
        began = time.monotonic()
        with tempfile.TemporaryDirectory() as folder:
            shot = os.path.join(folder, "desktop.png")
            while time.monotonic() < began + 10:
                taken = time.monotonic()
                subprocess.run(["import", "-window", window, shot], check=True)
                lines = subprocess.run([options.check, "pucks", shot], check=True, capture_output=True,
                                       text=True).stdout.splitlines()
                if len(lines) == len(NEW_GAME) + 1 and lines[-1] == "unclear 0":
                    return [tuple(float(value) for value in line.split()) for line in lines[:-1]], taken - began
        return [], 0.0
    finally:
        game.terminate()
        game.wait()


def same_brightnesses(seen, expected, tolerance=4.0):
    return len(seen) == len(expected) and all(
        abs(a - b) <= tolerance for a, b in zip(sorted(seen), sorted(expected)))


class Site:
    """The site's server on a free local port for the whole run, serving a
    folder that holds the built site as lumen/ and its broken copies as
    missing/ and short/. It can be stopped and started again on the same
    port, which cuts the network as surely as a cable."""

    def __init__(self, built):
        self.folder = tempfile.TemporaryDirectory()
        shutil.copytree(built, os.path.join(self.folder.name, "lumen"))
        for broken in ("missing", "short"):
            copy = os.path.join(self.folder.name, broken)
            os.mkdir(copy)
            for name in os.listdir(built):
                if name != "lumen.data":
                    os.symlink(os.path.abspath(os.path.join(built, name)), os.path.join(copy, name))
        with open(os.path.join(built, "lumen.data"), "rb") as whole, \
                open(os.path.join(self.folder.name, "short", "lumen.data"), "wb") as cut:
            cut.write(whole.read()[: os.path.getsize(os.path.join(built, "lumen.data")) * 2 // 3])
        self.port = 0
        self.server = None
        self.start()

    def start(self):
        handler = lambda *arguments: serve_web.SiteHandler(*arguments, directory=self.folder.name)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()

    def publish_new_build(self):
        """Puts a new build of the game on the server, as an upload of a new
        version would, and returns its identity: the same game's files under
        another build's identity, which its page and service worker carry."""
        site = os.path.join(self.folder.name, "lumen")
        with open(os.path.join(site, "service-worker.js")) as worker:
            old = re.search(r'var BUILD = "([0-9a-f]+)";', worker.read()).group(1)
        new = old[::-1] if old[::-1] != old else "0" * len(old)
        for name in ("index.html", "service-worker.js"):
            with open(os.path.join(site, name)) as text:
                content = text.read().replace(old, new)
            with open(os.path.join(site, name), "w") as text:
                text.write(content)
        return new

    def url(self, folder="lumen"):
        return "http://127.0.0.1:%d/%s/" % (self.port, folder)

    def close(self):
        self.stop()
        self.folder.cleanup()


# Recorded in every page before its own scripts run: whatever reaches the
# page uncaught, which the console may not show (an error event that a
# handler cancels, a promise nobody waits for).
UNCAUGHT_RECORDER = """
window.lumenUncaught = [];
window.addEventListener("error", function (event) {
  window.lumenUncaught.push(String(event.error && event.error.message || event.message));
}, true);
window.addEventListener("unhandledrejection", function (event) {
  window.lumenUncaught.push("unhandled rejection: " + String(event.reason && event.reason.message || event.reason));
});
"""


class BrowserTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = Site(options.site)
        cls.profile = tempfile.TemporaryDirectory()
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                                      options=chromium_options(cls.profile.name))
        cls.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": UNCAUGHT_RECORDER})
        cls.driver.execute_cdp_cmd("Network.enable", {})

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.site.close()
        cls.profile.cleanup()

    def setUp(self):
        self.url = self.site.url()
        self.shots = tempfile.TemporaryDirectory()
        self.addCleanup(self.shots.cleanup)
        # The page fits the board to the window: an 800 x 600 window at one
        # pixel per CSS pixel gives the desktop's 800 x 600 board.
        self.emulate({"width": BOARD_WIDTH, "height": BOARD_HEIGHT, "deviceScaleFactor": 1, "mobile": False})
        self.driver.get("about:blank")
        self.driver.get_log("browser")  # what earlier cases left
        self.console = []  # every console entry so far: (level, source, text)

    def tearDown(self):
        # Nothing reached a page uncaught, and the browser reported no error
        # of its own but for files that the case made fail on purpose.
        self.no_uncaught_errors()
        self.assertEqual([text for level, source, text in self.console
                          if level == "SEVERE" and source != "network"], [])

    def emulate(self, metrics, touch=False):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch, "maxTouchPoints": 5})

    def no_uncaught_errors(self):
        uncaught = self.driver.execute_script("return window.lumenUncaught || [];")
        self.assertEqual(uncaught, [], "uncaught on the page")

    # The game's log so far: the console, read as it grows. A console.log of
    # a line shows as the page's address, a position and the line as a quoted
    # string.
    def game_log(self):
        for entry in self.driver.get_log("browser"):
            text = entry["message"]
            parts = text.split(" ", 2)
            if len(parts) == 3 and parts[2].startswith('"'):
                try:
                    text = json.loads(parts[2])
                except ValueError:
                    pass
            self.console.append((entry["level"], entry.get("source", ""), text))
        return [text for level, source, text in self.console if level == "INFO"]

    def wait_for(self, condition, seconds, what):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if condition(self.game_log()):
                return
            time.sleep(0.05)
        self.fail("waited %.0f s for %s; the log:\n%s" % (seconds, what, "\n".join(self.game_log())))

    def wait_for_count(self, line, count, seconds):
        self.wait_for(lambda log: log.count(line) >= count, seconds, "%d x %r" % (count, line))

    # The page's sound as the game's audio device counts it: sources started
    # and ended, channels playing, and the audio context's state.
    def sound(self):
        return self.driver.execute_script("return Module.soundPlays();")

    def canvas(self):
        return self.driver.find_element("id", "canvas")

    def page_text(self):
        return self.driver.find_element("tag name", "body").text

    # A screenshot of the board, scaled to the 800 x 600 board that the
    # finders know, whatever its size on the screen; taken by the browser at
    # that scale, which is quick enough to find a drifting puck where it is.
    def shot(self, name):
        path = os.path.join(self.shots.name, name + ".png")
        rect = self.canvas().rect
        ratio = self.driver.execute_script("return window.devicePixelRatio;")
        asked = time.monotonic()
        picture = self.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png", "clip": {
            "x": rect["x"], "y": rect["y"], "width": rect["width"], "height": rect["height"],
            "scale": BOARD_WIDTH / (rect["width"] * ratio)}})
        self.shot_time = (asked + time.monotonic()) / 2
        with open(path, "wb") as out:
            out.write(base64.b64decode(picture["data"]))
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True,
                              text=True).stdout
        if size != "%d %d" % (BOARD_WIDTH, BOARD_HEIGHT):
            subprocess.run(["convert", path, "-resize", "%dx%d!" % (BOARD_WIDTH, BOARD_HEIGHT), path], check=True)
        if os.environ.get("LUMEN_BROWSER_SHOTS"):
            shutil.copy(path, os.path.join(os.environ["LUMEN_BROWSER_SHOTS"], name + ".png"))
        return path

    def check(self, *arguments):
        return subprocess.run([options.check, *arguments], check=True, capture_output=True, text=True).stdout

    def difference(self, shot, picture):
        return float(self.check("difference", shot, picture))

    # The whole pucks on the board now: [(x, y, brightness)] in board pixels,
    # and how many neutral patches are not one whole puck.
    def pucks(self):
        lines = self.check("pucks", self.shot("pucks")).splitlines()
        self.last_shot = self.shot_time
        unclear = int(lines[-1].split()[1])
        return [tuple(float(value) for value in line.split()) for line in lines[:-1]], unclear

    def ten_pucks(self, seconds):
        deadline = time.monotonic() + seconds
        while True:
            seen, unclear = self.pucks()
            if (len(seen) == len(NEW_GAME) and unclear == 0) or time.monotonic() > deadline:
                return seen
            time.sleep(0.05)

    # The pucks of a board just seen (by pucks, at self.last_shot), seen once
    # more, each with its drift between the two sights in board pixels a
    # second: [(x, y, brightness, dx, dy)]. A puck not matched in the first
    # sight gets none.
    def drifting(self, seen):
        before, then = seen, self.last_shot
        now, _ = self.pucks()
        span = max(self.last_shot - then, 0.01)
        moving = []
        for x, y, brightness in now:
            # The same puck: near, and of nearly the same brightness (a new
            # game's pucks are 11 apart).
            px, py, _ = min(before, key=lambda puck: (puck[0] - x) ** 2 + (puck[1] - y) ** 2 +
                            (10 * (puck[2] - brightness)) ** 2) if before else (x, y, 0)
            dx, dy = (x - px) / span, (y - py) / span
            if dx * dx + dy * dy > MAX_DRIFT ** 2:  # not the same puck after all, or it bounced
                dx, dy = 0.0, 0.0
            moving.append((x, y, brightness, dx, dy))
        return moving

    # Where a drifting puck is by now, or lead seconds from now: a click or a
    # tap then lands on it however long the sights took to read.
    def ahead(self, puck, lead=0.0):
        x, y, _, dx, dy = puck
        elapsed = time.monotonic() - self.last_shot + lead
        return x + dx * elapsed, y + dy * elapsed

    # Clicks at a board pixel (from the top-left corner); Selenium's
    # offsets count from the element's centre.
    def click_at(self, actions, x, y, right=False):
        actions.move_to_element_with_offset(self.canvas(), x - BOARD_WIDTH / 2, y - BOARD_HEIGHT / 2)
        return actions.context_click() if right else actions.click()

    # A finger's tap at a board pixel of the 800 x 600 board, wherever the
    # board is on the screen and however large.
    def tap_at(self, x, y):
        rect = self.canvas().rect
        point = {"x": rect["x"] + x * rect["width"] / BOARD_WIDTH, "y": rect["y"] + y * rect["height"] / BOARD_HEIGHT}
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [point]})
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
        return x, y

    # Moves light from the puck nearest the source brightness to the one
    # nearest the target's on a new game's board, by mouse or by taps; a few
    # tries, since a puck may drift from under the pointer.
    def transfer(self, source, target, by_touch=False):
        before = self.game_log().count("Playing transfer")
        for attempt in range(3):
            seen = self.ten_pucks(3.0)
            if not same_brightnesses([puck[2] for puck in seen], NEW_GAME):
                return False
            moving = self.drifting(seen)
            chosen = [min(moving, key=lambda puck: abs(puck[2] - wanted)) for wanted in (source, target)]
            if by_touch:
                points = [self.tap_at(*self.ahead(puck, 0.03)) for puck in chosen]
            else:
                actions = ActionChains(self.driver)
                points = [self.ahead(puck, lead) for puck, lead in zip(chosen, (0.05, 0.1))]
                for x, y in points:
                    self.click_at(actions, x, y)
                actions.perform()
            deadline = time.monotonic() + 2.0
            while time.monotonic() < deadline:
                if self.game_log().count("Playing transfer") > before:
                    return True
                time.sleep(0.05)
            # The pucks moved from under the pointer: let go and try again.
            if by_touch:
                self.tap_at(*points[1])
            else:
                self.click_at(ActionChains(self.driver), 5, 5, right=True).perform()
            time.sleep(0.3)
        return False

    # From the splash into play with two clicks or two taps, waiting for
    # each screen.
    def into_play(self, by_touch=False):
        log = self.game_log()
        instructions = log.count("Loaded texture ./img/instructions.jpg")
        gongs = log.count("Playing gong")
        for line, count in (("Loaded texture ./img/instructions.jpg", instructions + 1),
                            ("Playing gong", gongs + 1)):
            if by_touch:
                self.tap_at(400, 300)
            else:
                self.click_at(ActionChains(self.driver), 400, 300).perform()
            self.wait_for_count(line, count, 10)

    def test_plays_a_whole_game(self):
        self.desktop_board, self.desktop_seconds = desktop_first_board()
        self.assertEqual(len(self.desktop_board), len(NEW_GAME), "the desktop's first board")
        self.driver.get(self.url)
        self.assertEqual(self.driver.title, "Lumen")
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        rect = self.canvas().rect
        self.assertEqual((rect["width"], rect["height"]), (BOARD_WIDTH, BOARD_HEIGHT))
        time.sleep(0.6)
        self.assertLess(self.difference(self.shot("splash"), "img/splash.jpg"), 6.0)

        self.click_at(ActionChains(self.driver), 400, 300).perform()
        self.wait_for_count("Loaded texture ./img/instructions.jpg", 1, 10)
        self.click_at(ActionChains(self.driver), 400, 300).perform()
        began = time.monotonic()
        self.wait_for_count("Playing gong", 1, 10)
        log = self.game_log()
        self.assertEqual(log.index("Playing bg") + 1, log.index("Playing gong"))
        # The clicks let the page's sound start: the music and the gong play.
        self.wait_for(lambda log: self.sound()["started"] >= 2 and self.sound()["state"] == "running", 5,
                      "the music and the gong to sound")
        self.click_at(ActionChains(self.driver), 5, 5).perform()  # out of the pucks' way

        # The new game's ten pucks, with the first board's brightnesses, each
        # where the desktop's first game has the puck of its brightness: the
        # same board. A puck drifts at most 40 pixels a second, so the two
        # can be apart by that much for each second between the two sights.
        seen = self.ten_pucks(8.0)
        since_start = self.last_shot - began
        self.assertTrue(same_brightnesses([puck[2] for puck in seen], NEW_GAME), seen)
        allowed = 20.0 + 40.0 * abs(since_start - self.desktop_seconds)
        for x, y, brightness in seen:
            dx, dy, _ = min(((px - x, py - y, abs(pb - brightness)) for px, py, pb in self.desktop_board),
                            key=lambda difference: difference[2])
            self.assertLess((dx * dx + dy * dy) ** 0.5, allowed, (seen, self.desktop_board))

        # The 89 puck gives light to the 45 puck.
        self.assertTrue(self.transfer(89, 45), "no transfer after three tries")
        log = self.game_log()
        self.assertLess(log.index("Playing accept"), log.index("Playing transfer"))

        # Releasing q wins at once: the win picture.
        gongs = log.count("Playing gong")
        ActionChains(self.driver).send_keys("q").perform()
        self.wait_for_count("Key Up: q(113)", 1, 5)
        self.wait_for_count("Playing gong", gongs + 1, 5)
        won = time.monotonic()
        time.sleep(0.3)
        end = self.shot("end")
        to_win = self.difference(end, "img/win.jpg")
        self.assertLess(to_win, 6.0)
        self.assertGreater(self.difference(end, "img/lose.jpg"), to_win + 10.0)

        # A click after the end screen's pause starts the next game.
        games = self.game_log().count("Playing bg")
        time.sleep(max(0.0, 4.2 - (time.monotonic() - won)))
        self.click_at(ActionChains(self.driver), 400, 300).perform()
        self.wait_for_count("Playing bg", games + 1, 5)

        # Escape ends the program: its static destructors stop the sounds,
        # and the page says that the game has ended.
        ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
        self.wait_for(lambda log: log[-1:] == ["Stopping all sounds"], 5, "the sounds to stop at the end")
        self.assertIn("Key Down: \x1b(27)", self.game_log())
        sound = self.sound()
        self.assertEqual((sound["playing"], sound["state"]), (0, "closed"), sound)
        body = self.driver.find_element("tag name", "body").text
        self.assertIn("ended", body)
        self.assertIn("Reload", body)
        self.assertEqual(self.driver.find_elements("id", "canvas"), [])

        # Every line is one the game prints in ordinary play (and the end
        # left nothing uncaught: tearDown).
        time.sleep(0.5)
        self.assert_ordinary(self.game_log())

    def assert_ordinary(self, log):
        unordinary = subprocess.run([options.check, "unordinary"], input="\n".join(log) + "\n",
                                    check=True, capture_output=True, text=True).stdout
        self.assertEqual(unordinary, "")
        self.assertFalse([line for line in log if "ERROR: " in line])

    def test_fits_the_window_sharply(self):
        # A wide window on a screen of two pixels per CSS pixel: the board
        # takes the window's height at 4:3, centred, with a canvas of as many
        # pixels as the screen shows there, and nothing to scroll.
        self.emulate({"width": 1000, "height": 600, "deviceScaleFactor": 2, "mobile": False})
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        self.assertEqual(self.board_fit(800), [100, 0, 800, 600, 1600, 1200, 1000, 600])

    # The board's place and size in CSS pixels, the canvas's own pixels, and
    # how far the page reaches, once the board has settled at width CSS
    # pixels.
    def board_fit(self, width):
        self.wait_for(lambda log: self.canvas().size["width"] == width, 5, "the board to fit the screen")
        rect = self.canvas().rect
        return [rect["x"], rect["y"], rect["width"], rect["height"]] + self.driver.execute_script(
            "var c = document.getElementById('canvas'), page = document.documentElement;"
            "return [c.width, c.height, page.scrollWidth, page.scrollHeight];")

    def test_plays_by_touch_on_a_phone(self):
        self.emulate(PHONE, touch=True)
        self.addCleanup(self.emulate, {"width": BOARD_WIDTH, "height": BOARD_HEIGHT, "deviceScaleFactor": 1,
                                       "mobile": False})
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)

        # Upright and sideways the board takes the screen's width or height
        # at 4:3, sharp at 2.625 pixels per CSS pixel, with nothing to scroll.
        self.assertEqual(self.board_fit(412), [0, 303, 412, 309, 1082, 811, 412, 915])
        self.emulate(dict(PHONE, width=915, height=412), touch=True)
        self.assertEqual(self.board_fit(549), [183, 0.5, 549, 411, 1441, 1080, 915, 412])
        self.emulate(PHONE, touch=True)
        self.board_fit(412)
        # The browser's own gestures are off on the board, and only there.
        gestures = self.driver.execute_script(
            "return [getComputedStyle(document.getElementById('board')).touchAction,"
            "        getComputedStyle(document.body).touchAction];")
        self.assertEqual(gestures, ["none", "auto"])

        # A tap on the splash shows the instructions for touch.
        self.tap_at(400, 300)
        self.wait_for_count("Loaded texture ./img/instructions.jpg", 1, 10)
        time.sleep(0.4)
        instructions = self.shot("touch-instructions")
        # The two pictures share their sky and title, so they differ little
        # on average: the words make the difference.
        to_touch = self.difference(instructions, "img/instructions-touch.jpg")
        self.assertLess(to_touch, 4.0)
        self.assertGreater(self.difference(instructions, "img/instructions.jpg"), to_touch + 2.0)

        # A tap into play; the taps let the sound start.
        self.tap_at(400, 300)
        self.wait_for_count("Playing gong", 1, 10)
        self.wait_for(lambda log: self.sound()["started"] >= 2 and self.sound()["state"] == "running", 5,
                      "the music and the gong to sound")

        # A tap on the 89 puck picks it, a tap on the 45 puck gives it light.
        self.assertTrue(self.transfer(89, 45, by_touch=True), "no transfer by taps after three tries")
        log = self.game_log()
        self.assertLess(log.index("Playing accept"), log.index("Playing transfer"))

        # Tapping a picked puck again lets go of it: the next tap on another
        # puck picks that one ("accept") instead of moving light to it.
        time.sleep(1.5)  # the transfer's end
        for attempt in range(3):
            first, second = sorted(self.drifting(self.ten_pucks(3.0)), key=lambda puck: puck[0])[:2]
            accepts = self.game_log().count("Playing accept")
            transfers = self.game_log().count("Playing transfer")
            for puck in (first, first, second):
                self.tap_at(*self.ahead(puck, 0.03))
            time.sleep(0.5)
            log = self.game_log()
            if log.count("Playing accept") == accepts + 3:
                break
            self.tap_at(*second[:2])  # whatever was picked, let go of it
            time.sleep(0.3)
        self.assertEqual(log.count("Playing accept"), accepts + 3, "a pick, a letting go and a new pick")
        self.assertEqual(log.count("Playing transfer"), transfers)
        self.assert_ordinary(log)

    def test_bad_moments(self):
        # After one visit the site is kept: with the network cut (the
        # browser's cache off, the page offline and the server stopped) a
        # reload starts the game and plays.
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        deadline = time.monotonic() + 30
        while not self.driver.execute_script("return !!navigator.serviceWorker.controller;"):
            self.assertLess(time.monotonic(), deadline, "the service worker never took the page")
            time.sleep(0.1)
        # It can be installed: the browser finds nothing missing from the
        # manifest, its icons and the worker.
        self.assertEqual(self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"], [])
        self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        self.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        self.site.stop()
        try:
            self.driver.refresh()
            self.wait_for_count("Loaded texture ./img/splash.jpg", 2, 30)
            self.into_play()
            self.assertTrue(same_brightnesses([puck[2] for puck in self.ten_pucks(8.0)], NEW_GAME))
        finally:
            self.site.start()
            self.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
                "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
            self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": False})
        self.no_uncaught_errors()

        # A new build on the server: the next visit with a network plays it,
        # and its worker keeps its files and drops the old build's.
        build = self.site.publish_new_build()
        self.driver.get(self.url)
        self.assertEqual(self.driver.execute_script("return BUILD;"), build)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 3, 30)
        deadline = time.monotonic() + 30
        while True:
            kept = self.driver.execute_async_script(
                "var done = arguments[arguments.length - 1]; caches.keys().then(done);")
            if [name.split(" ")[-1] for name in kept] == [build] or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        self.assertEqual([name.split(" ")[-1] for name in kept], [build])
        self.into_play()

        # The browser takes the WebGL context away in the middle of a game:
        # the sounds stop and the page says what happened, with a button; it
        # gives the context back: the game starts again from its splash.
        self.driver.execute_script(
            "window.lumenLoseContext = Module.ctx.getExtension('WEBGL_lose_context');"
            "window.lumenLoseContext.loseContext();")
        self.wait_for(lambda log: "drawing surface" in self.page_text(), 5, "the sentence about the loss")
        self.assertIn("Start again", self.page_text())
        self.assertFalse(self.canvas().is_displayed())
        sound = self.sound()
        self.assertEqual((sound["playing"], sound["state"]), (0, "closed"), sound)
        self.assertEqual(self.game_log()[-1], "Stopping all sounds")
        self.no_uncaught_errors()
        self.driver.execute_script("window.lumenLoseContext.restoreContext();")
        self.wait_for_count("Loaded texture ./img/splash.jpg", 4, 30)
        self.wait_for(lambda log: self.canvas().is_displayed(), 5, "the board again")
        time.sleep(0.6)
        self.assertLess(self.difference(self.shot("splash-again"), "img/splash.jpg"), 6.0)
        self.assert_ordinary(self.game_log())
        self.no_uncaught_errors()

        # A site whose data file is missing, or cut short, says so within
        # seconds, with a button to reload.
        for broken in ("missing", "short"):
            began = time.monotonic()
            self.driver.get(self.site.url(broken))
            self.wait_for(lambda log: NOT_DOWNLOADED in self.page_text(), 6, "the sentence on " + broken)
            self.assertLess(time.monotonic() - began, 6.0)
            self.assertIn("Reload", self.page_text())
            self.assertFalse(self.canvas().is_displayed())
            self.no_uncaught_errors()


def main():
    global options
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--site", required=True)
    parser.add_argument("--check", required=True)
    parser.add_argument("--desktop", required=True)
    options, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
