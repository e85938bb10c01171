#!/usr/bin/python3
"""What ./play.sh, ./play.sh --web, ./test.sh and bench/run.sh ask apt for.

Each runs from a scratch copy of the scripts, with stand-ins first on the
PATH for the package manager (dpkg-query, apt-get, sudo) and for the build
(cmake, emcmake, xvfb-run), which record how they were called. On a machine
where nothing is installed the install fails, as a bare machine's would
without network, so each script stops right after asking; on one where
everything is installed the scripts go on, and the stand-ins show how they
configure the build. Nothing of the real source tree, its build folders or
the machine's packages is touched.
"""

import os
import shutil
import subprocess
import tempfile
import unittest

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What building the desktop game and playing it cannot do without.
PLAYING = {"build-essential", "cmake", "freeglut3-dev", "libdevil-dev", "libsdl2-mixer-dev", "xvfb", "xauth"}
# What the browser's build and its server cannot do without.
WEB = {"emscripten", "libstb-dev", "python3"}
# Test frameworks, browsers, window and picture tools, package checkers:
# neither a player nor the browser's build needs any of them.
TESTING = {"googletest", "libgtest-dev", "libbenchmark-dev", "chromium", "chromium-driver", "python3-selenium",
           "xdotool", "imagemagick", "lintian", "dpkg-dev", "appstream", "optipng", "zopfli"}

# Each stand-in appends one line per call to its own record: its arguments,
# each ended by the unit separator, so that arguments with spaces stay whole.
RECORD = 'for a in "$@"; do printf \'%s\\037\' "$a"; done >> "$STUB_RECORDS/$(basename "$0")"; echo >> "$STUB_RECORDS/$(basename "$0")"\n'
STUBS = {
    # Every package installed, or none.
    "dpkg-query": RECORD + '[ "$STUB_INSTALLED" = all ] && { printf "install ok installed"; exit 0; }\nexit 1\n',
    # An install fails, as without network, so that the script stops there.
    "apt-get": RECORD + 'for a in "$@"; do [ "$a" = install ] && exit 100; done\nexit 0\n',
    "sudo": RECORD + 'exec "$@"\n',
    # Configuring makes the build folder, so that the scripts can go into it.
    "cmake": RECORD + 'while [ $# -gt 0 ]; do [ "$1" = -B ] && mkdir -p "$2"; shift; done\nexit 0\n',
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
        stubs = os.path.join(self.folder, "stubs")
        self.records = os.path.join(self.folder, "records")
        os.makedirs(stubs)
        os.makedirs(self.records)
        for name, body in STUBS.items():
            with open(os.path.join(stubs, name), "w") as stub:
                stub.write("#!/bin/sh\n" + body)
            os.chmod(os.path.join(stubs, name), 0o755)
        self.environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        self.environment.update(PATH=stubs + os.pathsep + os.environ["PATH"], STUB_RECORDS=self.records,
                                STUB_INSTALLED="all" if installed else "none")

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

    def configures(self):
        """The folder, the tests' and the benchmarks' setting of every CMake
        run that configures a build."""
        found = []
        for call in self.calls("cmake"):
            if "-S" in call:
                settings = dict(argument[2:].split("=", 1) for argument in call if argument.startswith("-D"))
                found.append((call[call.index("-B") + 1], settings.get("LUMEN_BUILD_TESTS"),
                              settings.get("LUMEN_BUILD_BENCHMARKS")))
        return found


class InstallDepsTest(unittest.TestCase):
    def machine(self, installed):
        machine = Machine(installed)
        self.addCleanup(machine.remove)
        return machine

    def test_each_script_asks_a_bare_machine_for_what_its_purpose_needs(self):
        # script and arguments, what it must ask for, what it must not, and
        # whether it leaves out what the packages merely recommend
        cases = [(("play.sh",), PLAYING, TESTING | WEB, True),
                 (("play.sh", "--web"), WEB, TESTING | PLAYING - {"cmake"}, True),
                 (("test.sh",), PLAYING | WEB | TESTING, set(), False),
                 (("bench/run.sh",), PLAYING | WEB | TESTING, set(), False)]
        for command, needed, refused, lean in cases:
            with self.subTest(command=command):
                machine = self.machine(installed=False)
                status, output = machine.run(*command)
                installs = [call for call in machine.calls("apt-get") if "install" in call]
                # One install, asked after looking at what is there; the
                # script stops when it fails, before any build.
                self.assertNotEqual(status, 0, output)
                self.assertTrue(machine.calls("dpkg-query"))
                self.assertEqual(len(installs), 1, output)
                self.assertEqual(machine.configures(), [])
                asked = set(argument for argument in installs[0][installs[0].index("install") + 1:]
                            if not argument.startswith("-"))
                self.assertEqual(needed - asked, set(), "missing")
                self.assertEqual(asked & refused, set(), "not for this purpose")
                self.assertEqual("--no-install-recommends" in installs[0], lean)

    def test_a_ready_machine_builds_with_the_tests_only_where_they_run(self):
        machine = self.machine(installed=True)
        status, output = machine.run("play.sh")
        self.assertEqual(status, 0, output)
        self.assertEqual(machine.calls("apt-get"), [])
        # The game alone, with the tests and benchmarks off (their libraries
        # are not installed for a player), started under Xvfb without a
        # display.
        self.assertEqual(machine.configures(), [("build", "OFF", "OFF")])
        self.assertEqual([call[-2:] for call in machine.calls("cmake") if call[:1] == ["--build"]],
                         [["--target", "lumen"]])
        self.assertEqual([call[-1] for call in machine.calls("xvfb-run")], ["./build/game/lumen"])
        # After it, the suite and the benchmarks turn them on again in the
        # build folder they share with it. bench/run.sh ends in the browser's
        # benchmark, which the copy lacks: only its configuring matters.
        self.assertEqual(machine.run("test.sh")[0], 0)
        machine.run("bench/run.sh")
        self.assertEqual(machine.configures()[1:], [("build", "ON", "ON"), ("build-sanitize", "ON", "ON"),
                                                    ("build", "ON", "ON")])


if __name__ == "__main__":
    unittest.main()
