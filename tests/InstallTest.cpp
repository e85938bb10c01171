#include "support/GameLog.h"
#include "support/GameProcess.h"
#include "support/RealTime.h"
#include "support/TempFolder.h"
#include "support/WindowPicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace
{
// Runs a shell command; returns its exit status and its standard output.
int run(const std::string& command, std::string& output)
{
    output.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string trimmed(const std::string& text)
{
    const std::size_t end = text.find_last_not_of(" \n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// The pictures and sounds the game loads, as "img/x" and "sounds/y": every
// "./img/..." or "./sounds/..." literal in the game's sources, so that a
// new picture the install leaves out is caught.
std::set<std::string> loadedData()
{
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(std::string(LUMEN_SOURCE_DIR) + "/game"))
    {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        // Every string literal that starts "./img/ or "./sounds/.
        for (const std::string& folder : std::vector<std::string>{"img/", "sounds/"})
        {
            const std::string opening = "\"./" + folder;
            for (std::size_t at = source.find(opening); at != std::string::npos; at = source.find(opening, at + 1))
            {
                const std::size_t start = at + 3;
                const std::size_t close = source.find('"', start);
                if (close != std::string::npos && close > start + folder.size())
                    files.insert(source.substr(start, close - start));
            }
        }
    }
    return files;
}

// The two layouts of an install (see cmake/Install.cmake): Debian's layout
// for games under the system's prefix /usr, the plain one elsewhere.
struct Layout
{
    std::string launcher; // the launcher, relative to the prefix
    std::string game;     // the game's executable
    std::string data;     // the folder holding img/ and sounds/
};
const Layout plainLayout{"bin/lumen", "lib/lumen/lumen", "share/lumen/"};
const Layout gamesLayout{"games/lumen", "lib/games/lumen/lumen", "share/games/lumen/"};

// Every file an install puts under its prefix, relative to it, and nothing
// else: no tests, static libraries or art sources.
std::set<std::string> expectedInstall(const Layout& layout)
{
    std::set<std::string> files = {
        layout.launcher,
        layout.game,
        "share/applications/lumen.desktop",
        "share/metainfo/org.example.Lumen.metainfo.xml",
        "share/man/man6/lumen.6.gz",
        "share/doc/lumen/copyright",
        "share/doc/lumen/changelog.gz",
    };
    for (const char* size : {"16", "32", "48", "64", "128", "256"})
        files.insert(std::string("share/icons/hicolor/") + size + "x" + size + "/apps/lumen.png");
    for (const std::string& data : loadedData())
        files.insert(layout.data + data);
    return files;
}

std::set<std::string> filesUnder(const std::string& root)
{
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory())
            files.insert(fs::relative(entry.path(), root).string());
    return files;
}

std::string joined(const std::set<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

// The Debian package made from this build, and its files unpacked as dpkg
// would install them, under usr(). deb is empty (and log says why) if
// cpack failed, made other than one package, or it could not be unpacked.
struct BuiltPackage
{
    BuiltPackage()
    {
        if (out.path.empty() || tree.path.empty() ||
            run("'" LUMEN_CPACK_COMMAND "' -G DEB --config '" LUMEN_BINARY_DIR "/CPackConfig.cmake' -B " +
                    out.path + " 2>&1",
                log) != 0)
            return;
        std::vector<std::string> packages;
        for (const fs::directory_entry& entry : fs::directory_iterator(out.path))
            if (entry.path().extension() == ".deb")
                packages.push_back(entry.path().string());
        std::string unpacking;
        if (packages.size() == 1 && run("dpkg-deb -x " + packages.front() + " " + tree.path + " 2>&1", unpacking) == 0)
            deb = packages.front();
        log += unpacking;
    }
    std::string usr() const { return tree.path + "/usr/"; }

    TempFolder out{"lumen-deb"};
    TempFolder tree{"lumen-tree"};
    std::string log;
    std::string deb;
};

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of key in a desktop entry's text ("Exec" for "Exec=lumen").
std::string desktopValue(const std::string& entry, const std::string& key)
{
    std::istringstream lines(entry);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return std::string();
}

// The parts of the gzip header (RFC 1952) that make a compressed file
// differ from one build to the next: the stored name and time.
struct GzipHeader
{
    bool valid = false;
    bool storesName = false;
    std::uint32_t time = 0;
    bool bestCompression = false;
};

GzipHeader gzipHeader(const std::string& path)
{
    const std::string bytes = fileText(path);
    GzipHeader header;
    if (bytes.size() < 10 || static_cast<unsigned char>(bytes[0]) != 0x1f ||
        static_cast<unsigned char>(bytes[1]) != 0x8b)
        return header;
    header.valid = true;
    header.storesName = (bytes[3] & 0x08) != 0;
    for (int i = 7; i >= 4; --i)
        header.time = header.time << 8 | static_cast<unsigned char>(bytes[i]);
    header.bestCompression = bytes[8] == 2;
    return header;
}

// Escape ends the installed game at once, and nothing it printed was an error.
void quitsCleanly(GameProcess& game, const std::string& window)
{
    GameProcess::xdotool("windowfocus --sync " + window);
    GameProcess::xdotool("key --window " + window + " Escape");
    EXPECT_EQ(game.waitExit(10), 0) << GameLog::dump(game.lines());
    for (const std::string& line : game.lines())
        EXPECT_NE(line.rfind("ERROR: ", 0), 0u) << line;
}
} // namespace

// An install into a scratch prefix holds exactly the game, its data and its
// desktop files; its launcher, started from an unrelated empty folder, runs
// the game on its own data: the splash shows, the four sounds load, and
// Escape ends it cleanly.
TEST(InstallTest, LauncherStartsTheInstalledGameFromAnyFolder)
{
    TempFolder prefix("lumen-prefix");
    TempFolder elsewhere("lumen-cwd");
    ASSERT_FALSE(prefix.path.empty());
    ASSERT_FALSE(elsewhere.path.empty());
    std::string log;
    ASSERT_EQ(run("'" LUMEN_CMAKE_COMMAND "' --install '" LUMEN_BINARY_DIR "' --prefix " + prefix.path + " 2>&1",
                  log),
              0)
        << log;
    EXPECT_EQ(joined(filesUnder(prefix.path)), joined(expectedInstall(plainLayout)));

    GameProcess game({"SDL_AUDIODRIVER=dummy"}, elsewhere.path, prefix.path + "/" + plainLayout.launcher);
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20)) << GameLog::dump(game.lines());
    const std::string window = game.findWindow(10);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
    for (const char* sound : {"Loaded Sound bg", "Loaded loop transfer", "Loaded loop accept", "Loaded loop gong"})
        EXPECT_GE(game.indexOf(sound), 0) << sound << "\n" << GameLog::dump(game.lines());

    // A few frames, then the window's picture against the splash.
    pause(0.6);
    std::string why;
    EXPECT_TRUE(WindowPicture::grab(window).showsUpright("img/splash.jpg", why)) << why;

    quitsCleanly(game, window);
}

// An install as root into /usr, into a staging folder as a package does,
// takes Debian's layout for games, and its launcher runs the game from
// there: the layout is chosen by the prefix, not by how the tree was built.
// The prefix is given as "/usr/", as a hand may type it (the package gives
// "/usr").
TEST(InstallTest, SystemPrefixGetsTheGamesLayout)
{
    TempFolder stage("lumen-stage");
    TempFolder elsewhere("lumen-cwd");
    ASSERT_FALSE(stage.path.empty());
    ASSERT_FALSE(elsewhere.path.empty());
    std::string log;
    ASSERT_EQ(run("DESTDIR=" + stage.path + " '" LUMEN_CMAKE_COMMAND "' --install '" LUMEN_BINARY_DIR
                  "' --prefix /usr/ 2>&1",
                  log),
              0)
        << log;
    EXPECT_EQ(joined(filesUnder(stage.path + "/usr")), joined(expectedInstall(gamesLayout)));

    GameProcess game({"SDL_AUDIODRIVER=dummy"}, elsewhere.path, stage.path + "/usr/" + gamesLayout.launcher);
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20)) << GameLog::dump(game.lines());
    EXPECT_GE(game.indexOf("Loaded Sound bg"), 0) << GameLog::dump(game.lines());
    const std::string window = game.findWindow(10);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
    quitsCleanly(game, window);
}

// The Debian package holds the games layout under /usr, named as Debian
// names packages, with its dependencies found by dpkg-shlibdeps from the
// game's libraries; folders are 0755, the game is stripped, the compressed
// documents carry no time or name, the changelog and the metainfo give the
// package's version, and the desktop entry's command and icon are among
// its files.
TEST(InstallTest, DebianPackageHoldsTheInstallAndItsLibraries)
{
    const BuiltPackage package;
    ASSERT_FALSE(package.deb.empty()) << package.log;
    const std::string& deb = package.deb;
    const std::string usr = package.usr();

    std::string name;
    std::string version;
    std::string architecture;
    std::string depends;
    std::string section;
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Package", name), 0);
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Version", version), 0);
    ASSERT_EQ(run("dpkg --print-architecture", architecture), 0);
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Depends", depends), 0);
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Section", section), 0);
    version = trimmed(version);
    EXPECT_EQ(trimmed(name), "lumen");
    EXPECT_EQ(trimmed(section), "games");
    EXPECT_EQ(fs::path(deb).filename().string(), "lumen_" + version + "_" + trimmed(architecture) + ".deb");
    for (const char* library : {"libc6", "libstdc++6", "libglut", "libdevil", "libsdl2-mixer"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;

    // "-rwxr-xr-x root/root 409 2024-01-01 12:00 ./usr/games/lumen" per entry.
    std::string listing;
    ASSERT_EQ(run("dpkg-deb -c " + deb, listing), 0);
    std::set<std::string> files;
    std::set<std::string> executables;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.empty())
            continue;
        if (line.back() == '/')
        {
            EXPECT_EQ(line.rfind("drwxr-xr-x root/root ", 0), 0u) << line;
            continue;
        }
        const std::size_t at = line.find(" ./usr/");
        ASSERT_NE(at, std::string::npos) << line;
        const std::string file = line.substr(at + 7);
        files.insert(file);
        if (line.rfind("-rwxr-xr-x root/root ", 0) == 0)
            executables.insert(file);
        else
            EXPECT_EQ(line.rfind("-rw-r--r-- root/root ", 0), 0u) << line;
    }
    EXPECT_EQ(joined(files), joined(expectedInstall(gamesLayout)));
    EXPECT_EQ(joined(executables), joined({gamesLayout.launcher, gamesLayout.game}));

    std::string kind;
    ASSERT_EQ(run("file -b " + usr + gamesLayout.game, kind), 0);
    EXPECT_NE(kind.find("ELF"), std::string::npos) << kind;
    EXPECT_NE(kind.find(", stripped"), std::string::npos) << kind;

    for (const char* compressed : {"share/man/man6/lumen.6.gz", "share/doc/lumen/changelog.gz"})
    {
        const GzipHeader header = gzipHeader(usr + compressed);
        ASSERT_TRUE(header.valid) << compressed;
        EXPECT_FALSE(header.storesName) << compressed;
        EXPECT_EQ(header.time, 0u) << compressed;
        EXPECT_TRUE(header.bestCompression) << compressed;
    }
    // The packaged changelog is dist/changelog, and its newest entry is
    // this package's version, as is the metainfo's release.
    std::string changelog;
    ASSERT_EQ(run("gzip -dc " + usr + "share/doc/lumen/changelog.gz", changelog), 0);
    EXPECT_EQ(changelog, fileText(std::string(LUMEN_SOURCE_DIR) + "/dist/changelog"));
    std::string changelogVersion;
    ASSERT_EQ(run("dpkg-parsechangelog -l " + usr + "share/doc/lumen/changelog.gz -S Version 2>&1",
                  changelogVersion),
              0)
        << changelogVersion;
    EXPECT_EQ(trimmed(changelogVersion), version);
    const std::string metainfo = fileText(usr + "share/metainfo/org.example.Lumen.metainfo.xml");
    EXPECT_NE(metainfo.find("<release version=\"" + version + "\""), std::string::npos);

    const std::string desktop = fileText(usr + "share/applications/lumen.desktop");
    const std::string command = desktopValue(desktop, "Exec");
    const std::string icon = desktopValue(desktop, "Icon");
    EXPECT_EQ(files.count("games/" + command), 1u) << "Exec=" << command;
    EXPECT_EQ(files.count("share/icons/hicolor/48x48/apps/" + icon + ".png"), 1u) << "Icon=" << icon;
}

// The packaged manual page renders without a single warning from man and
// groff, and names the command and the folders the game reads.
TEST(InstallTest, PackagedManualPageRendersCleanly)
{
    const BuiltPackage package;
    ASSERT_FALSE(package.deb.empty()) << package.log;
    const std::string page = package.usr() + "share/man/man6/lumen.6.gz";

    std::string warnings;
    ASSERT_EQ(run("LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z " + page +
                      " 2>&1 >/dev/null",
                  warnings),
              0)
        << warnings;
    EXPECT_EQ(warnings, "");
    std::string text;
    ASSERT_EQ(run("LC_ALL=C.UTF-8 MANWIDTH=80 man -l " + page + " 2>/dev/null | col -b", text), 0);
    EXPECT_NE(text.find("lumen - "), std::string::npos) << text;
    for (const std::string& path : {gamesLayout.launcher, gamesLayout.data + "img/", gamesLayout.data + "sounds/"})
        EXPECT_NE(text.find("/usr/" + path), std::string::npos) << path << "\n" << text;
}

// Debian's own checker finds nothing wrong with the package: no error, no
// warning, and at its most particular (pedantic and informational tags)
// only the tags accepted below.
TEST(InstallTest, LintianPassesThePackage)
{
    const BuiltPackage package;
    ASSERT_FALSE(package.deb.empty()) << package.log;
    const std::string& deb = package.deb;

    std::string plain;
    EXPECT_EQ(run("lintian " + deb + " 2>/dev/null", plain), 0) << plain;
    EXPECT_EQ(plain, "");

    // Accepted at the pedantic and informational levels, each quoting the
    // game's own text rather than a fault of the package:
    // - spelling-error-in-binary Tranparent: a word of a log line the game
    //   prints ("Tranparent pixels culled from Z-buffer"), kept word for
    //   word by the framework and its RenderSettingsTest.
    const std::set<std::string> accepted = {"spelling-error-in-binary Tranparent"};
    std::string particular;
    run("lintian --pedantic --display-info " + deb + " 2>/dev/null", particular);
    // "I: lumen: tag-name extra words [path]" per tag.
    std::istringstream lines(particular);
    for (std::string line; std::getline(lines, line);)
    {
        const std::string prefix = line.substr(0, 3);
        ASSERT_TRUE(prefix == "I: " || prefix == "P: ") << line;
        const std::size_t tagAt = line.find(": ", 3);
        ASSERT_NE(tagAt, std::string::npos) << line;
        const std::string tag = line.substr(tagAt + 2);
        bool known = false;
        for (const std::string& allowed : accepted)
            known = known || tag.rfind(allowed + " ", 0) == 0;
        EXPECT_TRUE(known) << line;
    }
}

// The packaged game's window tells the desktop which program it is: its
// WM_CLASS is "lumen", "Lumen", the class the desktop entry names in
// StartupWMClass, and it carries its icon in _NET_WM_ICON.
TEST(InstallTest, PackagedGameWindowCarriesItsClassAndIcon)
{
    const BuiltPackage package;
    TempFolder elsewhere("lumen-cwd");
    ASSERT_FALSE(package.deb.empty()) << package.log;
    ASSERT_FALSE(elsewhere.path.empty());

    GameProcess game({"SDL_AUDIODRIVER=dummy"}, elsewhere.path, package.usr() + gamesLayout.launcher);
    const std::string window = game.findWindow(20);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());

    std::string windowClass;
    ASSERT_EQ(run("xprop -id " + window + " WM_CLASS", windowClass), 0);
    EXPECT_EQ(trimmed(windowClass), "WM_CLASS(STRING) = \"lumen\", \"Lumen\"");
    const std::string desktop = fileText(package.usr() + "share/applications/lumen.desktop");
    EXPECT_NE(windowClass.find(", \"" + desktopValue(desktop, "StartupWMClass") + "\""), std::string::npos)
        << "StartupWMClass=" << desktopValue(desktop, "StartupWMClass") << " against " << windowClass;

    // xprop draws each icon of the property after a line "Icon (W x H):".
    std::string icon;
    ASSERT_EQ(run("xprop -id " + window + " _NET_WM_ICON", icon), 0);
    int width = 0;
    int height = 0;
    const std::size_t at = icon.find("Icon (");
    ASSERT_NE(at, std::string::npos) << icon.substr(0, 200);
    ASSERT_EQ(std::sscanf(icon.c_str() + at, "Icon (%d x %d):", &width, &height), 2) << icon.substr(at, 80);
    EXPECT_GE(width, 16);
    EXPECT_EQ(width, height);

    GameProcess::xdotool("windowfocus --sync " + window);
    GameProcess::xdotool("key --window " + window + " Escape");
    EXPECT_EQ(game.waitExit(10), 0) << GameLog::dump(game.lines());
}
