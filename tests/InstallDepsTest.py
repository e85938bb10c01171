#!/usr/bin/python3
"""What ./play.sh, ./play.sh --web, ./test.sh and bench/run.sh ask apt for.

Each runs from a scratch copy of the scripts, with stand-ins first on the
PATH for the package manager (dpkg-query, apt-get, sudo, id) and for the
build (cmake, emcmake, xvfb-run), which record how they were called. On a
machine where nothing is installed the install fails, as a bare machine's
would without network, so each script stops right after asking; on one
where everything is installed the scripts go on, and the stand-ins show
how they configure the build. Nothing of the real source tree, its build
folders or the machine's packages is touched.
"""

import os
import shutil
import subprocess
import tempfile
import unittest

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What building the desktop game and playing it cannot do without: the
# compiler, CMake and pkg-config, the libraries CMakeLists.txt finds, Mesa's
# software renderer and Xvfb for a machine without a display.
NEEDED_FOR_PLAYING = {"build-essential", "cmake", "pkg-config", "freeglut3-dev", "libgl1-mesa-dev",
                      "libglu1-mesa-dev", "libgl1-mesa-dri", "libx11-dev", "libdevil-dev",
                      "libsdl2-mixer-dev", "xvfb", "xauth"}
# The browser's build and its server.
NEEDED_FOR_THE_WEB = {"emscripten", "libstb-dev", "python3", "cmake"}
# Test frameworks, browsers, window and picture tools, package checkers:
# a player needs none of them.
ONLY_FOR_TESTING = {"googletest", "libgtest-dev", "libbenchmark-dev", "chromium", "chromium-driver",
                    "python3-selenium", "xdotool", "x11-utils", "imagemagick", "lintian", "dpkg-dev",
                    "file", "desktop-file-utils", "appstream-util", "appstream", "man-db",
                    "bsdextrautils", "optipng", "zopfli", "libjpeg-turbo-progs"}
# What only the browser's version uses.
ONLY_FOR_THE_WEB = {"emscripten", "libstb-dev", "brotli", "flac", "nodejs"}
# What only the desktop's version uses.
ONLY_FOR_THE_DESKTOP = {"build-essential", "freeglut3-dev", "libgl1-mesa-dev", "libglu1-mesa-dev",
                        "libdevil-dev", "libsdl2-mixer-dev", "xvfb", "xauth"}

# Each stand-in appends one line per call to its own record: its arguments,
# each ended by the unit separator, so that arguments with spaces stay whole.
RECORD = 'for a in "$@"; do printf \'%s\\037\' "$a"; done >> "$STUB_RECORDS/$(basename "$0")"; echo >> "$STUB_RECORDS/$(basename "$0")"\n'
STUBS = {
    # Reports every package installed, or none, as dpkg-query does for a
    # package it does not know.
    "dpkg-query": RECORD + '''
if [ "$STUB_INSTALLED" = all ]; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching $4" >&2
exit 1
''',
    # Updates succeed; an install fails, as without network, so that the
    # script asking for it stops there.
    "apt-get": RECORD + '''
for a in "$@"; do [ "$a" = install ] && { echo "E: stand-in apt-get installs nothing" >&2; exit 100; }; done
exit 0
''',
    "sudo": RECORD + 'exec "$@"\n',
    # A user who is not root, so that the install goes through sudo.
    "id": RECORD + '[ "$1" = -u ] && { echo 1000; exit 0; }\necho "uid=1000(player) gid=1000(player)"\n',
    # Configuring makes the build folder, so that the scripts can go into it.
    "cmake": RECORD + '''
while [ $# -gt 0 ]; do [ "$1" = -B ] && mkdir -p "$2"; shift; done
exit 0
''',
    "emcmake": RECORD + "exit 0\n",
    "xvfb-run": RECORD + "exit 0\n",
}


class Machine:
    """A scratch copy of the scripts with the stand-ins in front of the PATH,
    on which either nothing or everything is installed."""

    def __init__(self, installed):
        self.folder = tempfile.mkdtemp(prefix="lumen-install-deps-")
        self.tree = os.path.join(self.folder, "lumen")
        os.makedirs(os.path.join(self.tree, "bench"))
        for script in ["play.sh", "test.sh", "bench/run.sh"]:
            shutil.copy2(os.path.join(SOURCE_DIR, script), os.path.join(self.tree, script))
        shutil.copytree(os.path.join(SOURCE_DIR, "tools"), os.path.join(self.tree, "tools"))
        self.stubs = os.path.join(self.folder, "stubs")
        self.records = os.path.join(self.folder, "records")
        os.makedirs(self.stubs)
        os.makedirs(self.records)
        for name, body in STUBS.items():
            path = os.path.join(self.stubs, name)
            with open(path, "w") as stub:
                stub.write("#!/bin/sh\n" + body)
            os.chmod(path, 0o755)
        self.environment = {key: value for key, value in os.environ.items()
                            if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.environment.update(PATH=self.stubs + os.pathsep + os.environ["PATH"],
                                STUB_RECORDS=self.records, STUB_INSTALLED="all" if installed else "none")

    def remove(self):
        shutil.rmtree(self.folder)

    def run(self, script, *arguments):
        """Runs a script of the copy from an unrelated folder; its exit status
        and its output."""
        finished = subprocess.run([os.path.join(self.tree, script), *arguments], cwd=self.folder,
                                  env=self.environment, stdin=subprocess.DEVNULL,
                                  capture_output=True, text=True, timeout=60)
        return finished.returncode, finished.stdout + finished.stderr

    def calls(self, tool):
        """Every call of a stand-in so far, as its list of arguments."""
        path = os.path.join(self.records, tool)
        if not os.path.exists(path):
            return []
        with open(path) as record:
            return [line.rstrip("\n").split("\x1f")[:-1] for line in record]

    def installs(self):
        """The argument lists of every apt-get install, however it was reached."""
        return [call[call.index("install") + 1:] for call in self.calls("apt-get") if "install" in call]

    def configures(self):
        """The argument lists of every CMake run that configures a build."""
        return [call for call in self.calls("cmake") if "-S" in call]

    def listed(self, *purposes):
        """The packages tools/install-deps.sh --list prints for the purposes."""
        finished = subprocess.run([os.path.join(self.tree, "tools/install-deps.sh"), "--list", *purposes],
                                  env=self.environment, capture_output=True, text=True, check=True)
        return finished.stdout.split()


def cache_value(arguments, variable):
    """The last value a CMake command line gives a cache variable, or None."""
    value = None
    for argument in arguments:
        if argument.startswith("-D" + variable + "="):
            value = argument.split("=", 1)[1]
    return value


class OnABareMachine(unittest.TestCase):
    """Nothing is installed: what each script asks apt to install."""

    def bare_machine(self):
        machine = Machine(installed=False)
        self.addCleanup(machine.remove)
        return machine

    def asked_by(self, script, *arguments):
        """The packages and the options of the one install the script asks
        for on a bare machine, and that machine."""
        machine = self.bare_machine()
        status, output = machine.run(script, *arguments)
        self.assertNotEqual(status, 0, "the script went on after a failed install:\n" + output)
        self.assertTrue(machine.calls("dpkg-query"), "nothing asked which packages are installed")
        installs = machine.installs()
        self.assertEqual(len(installs), 1, "expected one apt-get install:\n" + output)
        self.assertTrue(any("install" in call for call in machine.calls("sudo")),
                        "the install does not go through sudo")
        self.assertTrue(any("update" in call for call in machine.calls("apt-get")),
                        "the package lists are not updated first")
        self.assertEqual(machine.configures(), [], "the build was configured after a failed install")
        options = [argument for argument in installs[0] if argument.startswith("-")]
        packages = [argument for argument in installs[0] if not argument.startswith("-")]
        self.assertEqual(len(packages), len(set(packages)), "a package is asked for twice")
        return set(packages), options, machine

    def test_play_asks_for_the_desktop_build_and_nothing_of_the_tests(self):
        packages, options, machine = self.asked_by("play.sh")
        self.assertEqual(NEEDED_FOR_PLAYING - packages, set(), "missing for playing")
        self.assertEqual(packages & ONLY_FOR_TESTING, set(), "test tools for a player")
        self.assertEqual(packages & ONLY_FOR_THE_WEB, set(), "the browser's build for a player")
        self.assertEqual(packages, set(machine.listed("play")))
        self.assertIn("--no-install-recommends", options)

    def test_web_asks_for_the_browser_build_and_nothing_of_the_desktop_or_the_tests(self):
        packages, options, machine = self.asked_by("play.sh", "--web")
        self.assertEqual(NEEDED_FOR_THE_WEB - packages, set(), "missing for the browser's build")
        self.assertEqual(packages & ONLY_FOR_TESTING, set(), "test tools for the browser's build")
        self.assertEqual(packages & ONLY_FOR_THE_DESKTOP, set(), "the desktop's build for the browser's")
        self.assertEqual(packages, set(machine.listed("web")))
        self.assertIn("--no-install-recommends", options)

    def test_the_suite_and_the_benchmarks_ask_for_everything(self):
        for script in ["test.sh", "bench/run.sh"]:
            with self.subTest(script=script):
                packages, options, machine = self.asked_by(script)
                everything = NEEDED_FOR_PLAYING | NEEDED_FOR_THE_WEB | ONLY_FOR_TESTING
                self.assertEqual(everything - packages, set(), "missing for the tests")
                self.assertEqual(set(machine.listed("play", "web")) - packages, set(),
                                 "the game's own packages are not all among the tests'")
                self.assertEqual(packages, set(machine.listed("test")))
                self.assertNotIn("--no-install-recommends", options)

    def test_an_unknown_purpose_installs_nothing(self):
        machine = self.bare_machine()
        finished = subprocess.run([os.path.join(machine.tree, "tools/install-deps.sh"), "plya"],
                                  env=machine.environment, capture_output=True, text=True)
        self.assertNotEqual(finished.returncode, 0)
        self.assertIn("plya", finished.stderr)
        self.assertEqual(machine.calls("apt-get"), [])


class OnAReadyMachine(unittest.TestCase):
    """Everything is installed: nothing is asked of apt, and each script
    configures the shared build/ with the tests and benchmarks as it needs."""

    def setUp(self):
        self.machine = Machine(installed=True)
        self.addCleanup(self.machine.remove)

    def test_play_builds_only_the_game_and_starts_it_under_xvfb(self):
        status, output = self.machine.run("play.sh")
        self.assertEqual(status, 0, output)
        self.assertTrue(self.machine.calls("dpkg-query"), "nothing asked which packages are installed")
        self.assertEqual(self.machine.calls("apt-get"), [])
        configures = self.machine.configures()
        self.assertEqual(len(configures), 1, configures)
        self.assertEqual(configures[0][configures[0].index("-B") + 1], "build")
        self.assertEqual(cache_value(configures[0], "LUMEN_BUILD_TESTS"), "OFF")
        self.assertEqual(cache_value(configures[0], "LUMEN_BUILD_BENCHMARKS"), "OFF")
        builds = [call for call in self.machine.calls("cmake") if call[:1] == ["--build"]]
        self.assertEqual([(call[1], call[-2:]) for call in builds], [("build", ["--target", "lumen"])])
        starts = self.machine.calls("xvfb-run")
        self.assertEqual(len(starts), 1, "no display, yet the game was not started under Xvfb")
        self.assertEqual(starts[0][-1], "./build/game/lumen")

    def test_the_suite_and_the_benchmarks_turn_the_tests_back_on(self):
        status, output = self.machine.run("test.sh")
        self.assertEqual(status, 0, output)
        # bench/run.sh ends in the browser's benchmark, which the copy lacks:
        # only how it configured the build matters here.
        self.machine.run("bench/run.sh")
        configures = self.machine.configures()
        folders = [call[call.index("-B") + 1] for call in configures]
        self.assertEqual(folders, ["build", "build-sanitize", "build"])
        for call in configures:
            self.assertEqual(cache_value(call, "LUMEN_BUILD_TESTS"), "ON", call)
            self.assertEqual(cache_value(call, "LUMEN_BUILD_BENCHMARKS"), "ON", call)
        self.assertEqual(self.machine.calls("apt-get"), [])


if __name__ == "__main__":
    unittest.main()
