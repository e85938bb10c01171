#!/usr/bin/python3
"""Plays one whole game of the browser's Lumen in headless Chromium.

Serves the built site (build-web/site/) on a free local port, opens it in
Debian's Chromium through Selenium with an 800 x 600 board, and plays as a
player would: the splash, a click to the instructions, a click into play,
the ten pucks of a new game, a transfer of light, q for the win picture, a
click into the next game and Escape to end it. The pictures and the log are
judged by browser_check, the desktop tests' own finders. The first board is
held against the desktop game's first board, played under the X display
the test is given.

Usage: BrowserTest.py --site FOLDER --check BROWSER_CHECK --desktop LUMEN
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NEW_GAME = [100, 89, 78, 67, 56, 45, 34, 23, 12, 1]
BOARD_WIDTH, BOARD_HEIGHT = 800, 600
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


class BrowserPlayTest(unittest.TestCase):
    def setUp(self):
        self.server = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(SOURCE_DIR, "tools", "serve_web.py"), "0", "--site", options.site],
            stdout=subprocess.PIPE, text=True)
        ready = self.server.stdout.readline().strip()
        self.assertTrue(ready.startswith("Serving Lumen at http://127.0.0.1:"), ready)
        self.url = ready.split(" at ", 1)[1]
        self.profile = tempfile.TemporaryDirectory()
        self.shots = tempfile.TemporaryDirectory()
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                                       options=chromium_options(self.profile.name))
        # The page fits the board to the window: an 800 x 600 window at one
        # pixel per CSS pixel gives the desktop's 800 x 600 board.
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": BOARD_WIDTH, "height": BOARD_HEIGHT, "deviceScaleFactor": 1, "mobile": False})
        self.console = []  # every console entry so far: (level, text)

    def tearDown(self):
        self.driver.quit()
        self.server.terminate()
        self.server.wait()
        self.server.stdout.close()
        self.profile.cleanup()
        self.shots.cleanup()

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
            self.console.append((entry["level"], text))
        return [text for level, text in self.console if level == "INFO"]

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

    def shot(self, name):
        path = os.path.join(self.shots.name, name + ".png")
        self.assertTrue(self.canvas().screenshot(path))
        return path

    def check(self, *arguments):
        return subprocess.run([options.check, *arguments], check=True, capture_output=True, text=True).stdout

    def difference(self, shot, picture):
        return float(self.check("difference", shot, picture))

    # The whole pucks on the board now: [(x, y, brightness)], and how many
    # neutral patches are not one whole puck.
    def pucks(self):
        self.last_shot = time.monotonic()
        lines = self.check("pucks", self.shot("pucks")).splitlines()
        unclear = int(lines[-1].split()[1])
        return [tuple(float(value) for value in line.split()) for line in lines[:-1]], unclear

    def ten_pucks(self, seconds):
        deadline = time.monotonic() + seconds
        while True:
            seen, unclear = self.pucks()
            if (len(seen) == len(NEW_GAME) and unclear == 0) or time.monotonic() > deadline:
                return seen
            time.sleep(0.05)

    # Clicks at a board pixel (from the top-left corner); Selenium's
    # offsets count from the element's centre.
    def click_at(self, actions, x, y, right=False):
        actions.move_to_element_with_offset(self.canvas(), x - BOARD_WIDTH / 2, y - BOARD_HEIGHT / 2)
        return actions.context_click() if right else actions.click()

    def transfer(self, source, target):
        before = self.game_log().count("Playing transfer")
        for attempt in range(3):
            seen = self.ten_pucks(3.0)
            if not same_brightnesses([puck[2] for puck in seen], NEW_GAME):
                return False
            actions = ActionChains(self.driver)
            for wanted in (source, target):
                x, y, _ = min(seen, key=lambda puck: abs(puck[2] - wanted))
                self.click_at(actions, x, y)
            actions.perform()
            deadline = time.monotonic() + 2.0
            while time.monotonic() < deadline:
                if self.game_log().count("Playing transfer") > before:
                    return True
                time.sleep(0.05)
            # The pucks moved from under the pointer: cancel and try again.
            self.click_at(ActionChains(self.driver), 5, 5, right=True).perform()
        return False

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

        # Every line is one the game prints in ordinary play, and the browser
        # reported no error of its own.
        time.sleep(0.5)
        log = self.game_log()
        unordinary = subprocess.run([options.check, "unordinary"], input="\n".join(log) + "\n",
                                    check=True, capture_output=True, text=True).stdout
        self.assertEqual(unordinary, "")
        self.assertFalse([line for line in log if "ERROR: " in line])
        self.assertEqual([text for level, text in self.console if level == "SEVERE"], [])

    def test_fits_the_window_sharply(self):
        # A wide window on a screen of two pixels per CSS pixel: the board
        # takes the window's height at 4:3, centred, with a canvas of as many
        # pixels as the screen shows there, and nothing to scroll.
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 1000, "height": 600, "deviceScaleFactor": 2, "mobile": False})
        self.driver.get(self.url)
        self.wait_for_count("Loaded texture ./img/splash.jpg", 1, 60)
        self.wait_for(lambda log: self.canvas().size["width"] == 800, 5, "the board to fit the window")
        rect = self.canvas().rect
        self.assertEqual((rect["x"], rect["y"], rect["width"], rect["height"]), (100, 0, 800, 600))
        size = self.driver.execute_script(
            "var c = document.getElementById('canvas'), page = document.documentElement;"
            "return [c.width, c.height, page.scrollWidth, page.scrollHeight];")
        self.assertEqual(size, [1600, 1200, 1000, 600])


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
