#!/usr/bin/python3
"""Plays the browser's Lumen in headless Chromium.

Serves the built site (build-web/site/) with the site's own server on a free
local port, beside two broken copies of it (a data pack missing, and one cut
short), and opens it in Debian's Chromium through Selenium, one browser for
every case. It plays as a player would: with the mouse on an 800 x 600
board, the splash, a click to the instructions, a click into play, the ten
pucks of a new game, a transfer of light, q for the win picture, a click
into the next game and Escape to end it; on an emulated phone, by taps; and
through the bad moments: a reload with the network cut, the WebGL context
taken away and given back, a new build put on the server, and the broken
sites; and on a slow link, clicking through faster than the files arrive.
The pictures and the log are judged by browser_check, the desktop tests' own
finders. The first board is held against the desktop game's first board,
played under the X display the test is given.

Usage: BrowserTest.py --site FOLDER --check BROWSER_CHECK --desktop LUMEN
"""

import argparse
import base64
import http.server
import json
import os
import re
import shutil
import struct
import subprocess
import sys
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
PHONE = {"width": 412, "height": 915, "deviceScaleFactor": 2.625, "mobile": True}
# The fastest a puck drifts, in board pixels a second, with room for what a
# screenshot's timing blurs.
MAX_DRIFT = 45.0
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
    """The site's server for the whole run: a copy of the built site as
    lumen/, where a new build can be put, the site itself again as slow/ (a
    place no service worker has kept), and copies of it whose last data pack
    is missing/ (it fails while the game already runs) or whose first is cut
    short/ (before the game starts). Stopping it cuts the network as surely
    as a cable; it starts again on the same port."""

    def __init__(self, built):
        self.folder = tempfile.TemporaryDirectory()
        shutil.copytree(built, os.path.join(self.folder.name, "lumen"))
        os.symlink(os.path.abspath(built), os.path.join(self.folder.name, "slow"))
        for broken, pack in (("missing", "lumen-play.data"), ("short", "lumen-splash.data")):
            copy = os.path.join(self.folder.name, broken)
            shutil.copytree(built, copy)
            with open(os.path.join(built, pack), "rb") as data:
                whole = data.read()
            for served in (pack, pack + ".gz", pack + ".br"):
                if os.path.exists(os.path.join(copy, served)):
                    os.remove(os.path.join(copy, served))
            if broken == "short":
                with open(os.path.join(copy, pack), "wb") as cut:
                    cut.write(whole[: len(whole) * 2 // 3])
        self.port = 0
        self.start()

    def start(self):
        handler = lambda *arguments: serve_web.SiteHandler(*arguments, directory=self.folder.name)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()

    # Puts a new build on lumen/, as an upload of a new version would: the
    # same game under another identity, which the page and the service
    # worker carry (their compressed copies go, being the old build's).
    # Returns the new identity.
    def publish_new_build(self):
        site = os.path.join(self.folder.name, "lumen")
        with open(os.path.join(site, "service-worker.js")) as worker:
            old = re.search(r'var BUILD = "([0-9a-f]+)";', worker.read()).group(1)
        new = old[::-1] if old[::-1] != old else "0" * len(old)
        for name in ("index.html", "service-worker.js"):
            with open(os.path.join(site, name)) as text:
                content = text.read()
            with open(os.path.join(site, name), "w") as text:
                text.write(content.replace(old, new))
            for copy in (name + ".gz", name + ".br"):
                if os.path.exists(os.path.join(site, copy)):
                    os.remove(os.path.join(site, copy))
        return new

    def url(self, folder="lumen"):
        return "http://127.0.0.1:%d/%s/" % (self.port, folder)


class BrowserTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = Site(options.site)
        cls.profile = tempfile.TemporaryDirectory()
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                                      options=chromium_options(cls.profile.name))
        cls.driver.execute_cdp_cmd("Network.enable", {})

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.site.stop()
        cls.site.folder.cleanup()
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
        # Every line is one the game prints in ordinary play, and nothing
        # reached the console as an error (uncaught, or the browser's own)
        # but the files that a case made fail on purpose.
        time.sleep(0.5)
        log = self.game_log()
        unordinary = subprocess.run([options.check, "unordinary"], input="\n".join(log) + "\n",
                                    check=True, capture_output=True, text=True).stdout
        self.assertEqual(unordinary, "")
        self.assertFalse([line for line in log if "ERROR: " in line])
        self.assertEqual([entry for entry in self.console if entry[0] == "SEVERE" and entry[1] != "network"], [])

    def emulate(self, metrics, touch=False):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch, "maxTouchPoints": 5})

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

    # The board as an 800 x 600 picture, the size the finders know, however
    # large it is on the screen; self.shot_time is when it was taken.
    def shot(self, name):
        path = os.path.join(self.shots.name, name + ".png")
        rect = self.canvas().rect
        ratio = self.driver.execute_script("return window.devicePixelRatio;")
        asked = time.monotonic()
        picture = self.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png", "clip": dict(
            rect, scale=BOARD_WIDTH / (rect["width"] * ratio))})
        self.shot_time = (asked + time.monotonic()) / 2
        png = base64.b64decode(picture["data"])
        with open(path, "wb") as out:
            out.write(png)
        if struct.unpack(">II", png[16:24]) != (BOARD_WIDTH, BOARD_HEIGHT):  # the width and height it holds
            subprocess.run(["convert", path, "-resize", "%dx%d!" % (BOARD_WIDTH, BOARD_HEIGHT), path], check=True)
        return path

    def check(self, *arguments):
        return subprocess.run([options.check, *arguments], check=True, capture_output=True, text=True).stdout

    def difference(self, shot, picture):
        return float(self.check("difference", shot, picture))

    # The whole pucks on the board now: [(x, y, brightness)], and how many
    # neutral patches are not one whole puck.
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

    # The pucks seen once more, each with its drift since the sight before
    # (seen) in pixels a second, so that a press can aim where a puck is by
    # then however slow the machine: [(x, y, brightness, dx, dy)].
    def drifting(self, seen):
        then = self.last_shot
        now, _ = self.pucks()
        span = max(self.last_shot - then, 0.01)
        moving = []
        for x, y, brightness in now:
            px, py, _ = min(seen, key=lambda p: (p[0] - x) ** 2 + (p[1] - y) ** 2 + (10 * (p[2] - brightness)) ** 2)
            dx, dy = (x - px) / span, (y - py) / span
            if dx * dx + dy * dy > MAX_DRIFT ** 2:  # not the same puck after all, or it bounced
                dx, dy = 0.0, 0.0
            moving.append((x, y, brightness, dx, dy))
        return moving

    # Clicks at a board pixel (from the top-left corner); Selenium's
    # offsets count from the element's centre.
    def click_at(self, actions, x, y, right=False):
        actions.move_to_element_with_offset(self.canvas(), x - BOARD_WIDTH / 2, y - BOARD_HEIGHT / 2)
        return actions.context_click() if right else actions.click()

    # A finger's tap at a board pixel, wherever the board is on the screen.
    def tap_at(self, x, y):
        rect = self.canvas().rect
        point = {"x": rect["x"] + x * rect["width"] / BOARD_WIDTH, "y": rect["y"] + y * rect["height"] / BOARD_HEIGHT}
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [point]})
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    # Moves light from the puck nearest the source brightness to the one
    # nearest the target's on a new game's board, in a few tries, since a
    # puck may drift from under the pointer. With the mouse: a click on each.
    # By touch: a tap on the source picks it, a second lets go of it, a third
    # picks it again and a tap on the target moves the light, which it could
    # not had the second tap not let go. Returns the "accept"s of the try
    # that moved it (1 and 3), or 0.
    def transfer(self, source, target, by_touch=False):
        for attempt in range(3):
            before = self.game_log()
            seen = self.ten_pucks(3.0)
            if not same_brightnesses([puck[2] for puck in seen], NEW_GAME):
                return 0
            moving = self.drifting(seen)
            chosen = [min(moving, key=lambda puck: abs(puck[2] - wanted)) for wanted in (source, target)]
            presses = [chosen[0]] * 3 + [chosen[1]] if by_touch else chosen
            actions = ActionChains(self.driver)
            for press, (x, y, _, dx, dy) in enumerate(presses):
                ahead = time.monotonic() - self.last_shot + 0.05 * (press + 1)
                if by_touch:
                    self.tap_at(x + dx * ahead, y + dy * ahead)
                else:
                    self.click_at(actions, x + dx * ahead, y + dy * ahead)
            actions.perform()
            deadline = time.monotonic() + 2.0
            while time.monotonic() < deadline:
                log = self.game_log()
                if log.count("Playing transfer") > before.count("Playing transfer"):
                    return log.count("Playing accept") - before.count("Playing accept")
                time.sleep(0.05)
            # A puck moved from under the pointer: let go where no puck goes
            # (outside the board's disc) and try again.
            if by_touch:
                self.tap_at(5, 5)
            else:
                self.click_at(ActionChains(self.driver), 5, 5, right=True).perform()
            time.sleep(0.3)
        return 0

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

    # The board's place and size in CSS pixels, the canvas's own pixels, and
    # how far the page reaches, once the board is width CSS pixels wide.
    def board_fit(self, width):
        self.wait_for(lambda log: self.canvas().size["width"] == width, 5, "the board to fit the screen")
        rect = self.canvas().rect
        return [rect["x"], rect["y"], rect["width"], rect["height"]] + self.driver.execute_script(
            "var c = document.getElementById('canvas'), page = document.documentElement;"
            "return [c.width, c.height, page.scrollWidth, page.scrollHeight];")

    def test_fits_the_window_sharply(self):
        # A wide window on a screen of two pixels per CSS pixel: the board
        # takes the window's height at 4:3, centred, with a canvas of as many
        # pixels as the screen shows there, and nothing to scroll.
        self.emulate({"width": 1000, "height": 600, "deviceScaleFactor": 2, "mobile": False})
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        self.assertEqual(self.board_fit(800), [100, 0, 800, 600, 1600, 1200, 1000, 600])

    def test_plays_by_touch_on_a_phone(self):
        self.emulate(PHONE, touch=True)
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        # Upright and sideways the board fits the screen, sharp and with
        # nothing to scroll; the browser's gestures are off on it, and only
        # there.
        self.assertEqual(self.board_fit(412), [0, 303, 412, 309, 1082, 811, 412, 915])
        self.emulate(dict(PHONE, width=915, height=412), touch=True)
        self.assertEqual(self.board_fit(549), [183, 0.5, 549, 411, 1441, 1080, 915, 412])
        self.emulate(PHONE, touch=True)
        self.board_fit(412)
        self.assertEqual(self.driver.execute_script(
            "return [getComputedStyle(document.getElementById('board')).touchAction,"
            "        getComputedStyle(document.body).touchAction];"), ["none", "auto"])

        # A tap on the splash shows the instructions for touch (the two
        # pictures share their sky and title: the words make the difference).
        self.tap_at(400, 300)
        self.wait_for_count("Loaded texture ./img/instructions.jpg", 1, 10)
        time.sleep(0.4)
        instructions = self.shot("instructions")
        to_touch = self.difference(instructions, "img/instructions-touch.jpg")
        self.assertLess(to_touch, 4.0)
        self.assertGreater(self.difference(instructions, "img/instructions.jpg"), to_touch + 2.0)
        # A tap into play, with its sound; then taps move light.
        self.tap_at(400, 300)
        self.wait_for_count("Playing gong", 1, 10)
        self.wait_for(lambda log: self.sound()["started"] >= 2 and self.sound()["state"] == "running", 5,
                      "the music and the gong to sound")
        self.assertEqual(self.transfer(89, 45, by_touch=True), 3, "a pick, letting go, a pick and a transfer")

    def test_bad_moments(self):
        # After one visit the game is kept, and can be installed: with the
        # browser's cache off, the page offline and the server stopped, a
        # reload starts it and it plays.
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        self.wait_for(lambda log: self.driver.execute_script("return !!navigator.serviceWorker.controller;"), 30,
                      "the service worker to take the page")
        self.assertEqual(self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"], [])
        self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        conditions = {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1}
        self.driver.execute_cdp_cmd("Network.emulateNetworkConditions", conditions)
        self.site.stop()
        try:
            self.driver.refresh()
            for line in ("Loaded texture ./img/instructions.jpg", "Playing gong"):
                self.click_at(ActionChains(self.driver), 400, 300).perform()
                self.wait_for_count(line, 1, 30)
            self.assertTrue(same_brightnesses([puck[2] for puck in self.ten_pucks(8.0)], NEW_GAME))
        finally:
            self.site.start()
            self.driver.execute_cdp_cmd("Network.emulateNetworkConditions", dict(conditions, offline=False))
            self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": False})

        # The WebGL context taken away in play: the sounds stop and the page
        # says what happened; given back: the game starts from its splash.
        self.driver.execute_script("window.loseContext = Module.ctx.getExtension('WEBGL_lose_context');"
                                   "loseContext.loseContext();")
        self.wait_for(lambda log: "drawing surface" in self.page_text(), 5, "the sentence about the loss")
        self.assertIn("Start again", self.page_text())
        self.assertEqual(self.sound()["state"], "closed")
        self.assertEqual(self.game_log()[-1], "Stopping all sounds")
        self.driver.execute_script("loseContext.restoreContext();")
        self.wait_for_count("Loaded texture ./img/splash.jpg", 3, 30)
        time.sleep(0.6)
        self.assertLess(self.difference(self.shot("splash"), "img/splash.jpg"), 6.0)

        # A new build on the server: the next visit with a network plays it,
        # and its service worker keeps its files and drops the old build's.
        build = self.site.publish_new_build()
        self.driver.get(self.url)
        self.assertEqual(self.driver.execute_script("return BUILD;"), build)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 4, 30)
        kept = lambda: [name.split(" ")[-1] for name in self.driver.execute_async_script(
            "caches.keys().then(arguments[arguments.length - 1]);")]
        self.wait_for(lambda log: kept() == [build], 30, "only the new build to be kept")

        # A site whose data pack is missing, or cut short, says so within
        # seconds, with a button to reload: the missing one once the game
        # has started, the short one before.
        for broken in ("missing", "short"):
            self.driver.get(self.site.url(broken))
            self.wait_for(lambda log: "could not download its files" in self.page_text(), 6, broken + "'s sentence")
            self.assertIn("Reload", self.page_text())

    def test_plays_on_a_slow_link(self):
        # A slow link, nothing kept: the page and its first screen's files
        # come first, the rest behind them, and clicks as soon as each screen
        # shows outrun the download. Each click waits, with the progress over
        # the board, and then acts: the game reaches play with every picture
        # and every sound (a picture missed would also print an unordinary
        # "Couldn't load texture", which fails every case).
        self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        link = {"offline": False, "latency": 150, "downloadThroughput": 1_000_000 / 8,
                "uploadThroughput": 1_000_000 / 8}
        self.driver.execute_cdp_cmd("Network.emulateNetworkConditions", link)
        try:
            self.driver.get(self.site.url("slow"))
            held = []
            for line in ("Loaded texture ./img/splash.jpg", "Loaded texture ./img/instructions.jpg"):
                self.wait_for_count(line, 1, 60)
                self.click_at(ActionChains(self.driver), 400, 300).perform()
                held.append(self.driver.execute_script(
                    "return document.getElementById('waiting').style.display === 'block';"))
            self.assertIn(True, held, "no click outran the download")
            self.wait_for_count("Playing gong", 1, 60)
        finally:
            self.driver.execute_cdp_cmd("Network.emulateNetworkConditions",
                                        {"offline": False, "latency": 0, "downloadThroughput": -1,
                                         "uploadThroughput": -1})
            self.driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": False})
        self.assertFalse(self.driver.find_element("id", "waiting").is_displayed())
        self.assertTrue(same_brightnesses([puck[2] for puck in self.ten_pucks(8.0)], NEW_GAME))
        log = self.game_log()
        for picture in ("bg.jpg", "yingtop.png", "yingleft.png", "yingright.png", "selection.png", "arrow.png",
                        "sparkle.png", "whiteSparkle.png", "puck.png", "aura.png"):
            self.assertIn("Loaded texture ./img/" + picture, log)
        # The four sounds, asked for before they arrived, all decoded, and the
        # music and the gong, asked to play before then, sound.
        self.wait_for(lambda log: self.sound()["decoded"] == 4 and self.sound()["started"] >= 2, 10,
                      "every sound to be decoded and the music and the gong to start")
        self.assertEqual(self.sound()["waiting"], 0)


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
