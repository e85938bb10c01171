#include "GameLog.h"
#include "GameProcess.h"
#include "WindowPicture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
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

// A fresh folder under /tmp, removed with everything in it at the end.
class TempFolder
{
public:
    explicit TempFolder(const std::string& name)
    {
        std::string pattern = "/tmp/" + name + "-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            fs::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path;
};

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

// Every file an install puts under its prefix, relative to it, and nothing
// else: no tests, static libraries or art sources.
std::set<std::string> expectedInstall()
{
    std::set<std::string> files = {
        "bin/lumen",
        "lib/lumen/lumen",
        "share/applications/lumen.desktop",
        "share/metainfo/org.example.Lumen.metainfo.xml",
    };
    for (const char* size : {"16", "32", "48", "64", "128", "256"})
        files.insert(std::string("share/icons/hicolor/") + size + "x" + size + "/apps/lumen.png");
    for (const std::string& data : loadedData())
        files.insert("share/lumen/" + data);
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
    EXPECT_EQ(joined(filesUnder(prefix.path)), joined(expectedInstall()));

    GameProcess game({"SDL_AUDIODRIVER=dummy"}, elsewhere.path, prefix.path + "/bin/lumen");
    ASSERT_TRUE(game.waitForLine("Loaded texture ./img/splash.jpg", 20)) << GameLog::dump(game.lines());
    const std::string window = game.findWindow(10);
    ASSERT_FALSE(window.empty()) << GameLog::dump(game.lines());
    for (const char* sound : {"Loaded Sound bg", "Loaded loop transfer", "Loaded loop accept", "Loaded loop gong"})
        EXPECT_GE(game.indexOf(sound), 0) << sound << "\n" << GameLog::dump(game.lines());

    // A few frames, then the window's picture against the splash.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const WindowPicture seen = WindowPicture::grab(window);
    const double upright = seen.differenceFrom("img/splash.jpg");
    EXPECT_LT(upright, 6.0);
    EXPECT_GT(seen.differenceFrom("img/splash.jpg", true), upright + 4.0);

    GameProcess::xdotool("windowfocus --sync " + window);
    GameProcess::xdotool("key --window " + window + " Escape");
    EXPECT_EQ(game.waitExit(10), 0) << GameLog::dump(game.lines());
    for (const std::string& line : game.lines())
        EXPECT_NE(line.rfind("ERROR: ", 0), 0u) << line;
}

// The Debian package holds the same tree under /usr, named as Debian names
// packages, with its dependencies found by dpkg-shlibdeps from the game's
// libraries; the desktop entry's command and icon are among its files.
TEST(InstallTest, DebianPackageHoldsTheInstallAndItsLibraries)
{
    TempFolder out("lumen-deb");
    ASSERT_FALSE(out.path.empty());
    std::string log;
    ASSERT_EQ(run("'" LUMEN_CPACK_COMMAND "' -G DEB --config '" LUMEN_BINARY_DIR "/CPackConfig.cmake' -B " +
                      out.path + " 2>&1",
                  log),
              0)
        << log;
    std::vector<std::string> packages;
    for (const fs::directory_entry& entry : fs::directory_iterator(out.path))
        if (entry.path().extension() == ".deb")
            packages.push_back(entry.path().string());
    ASSERT_EQ(packages.size(), 1u) << log;
    const std::string deb = packages.front();

    std::string name;
    std::string version;
    std::string architecture;
    std::string depends;
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Package", name), 0);
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Version", version), 0);
    ASSERT_EQ(run("dpkg --print-architecture", architecture), 0);
    ASSERT_EQ(run("dpkg-deb -f " + deb + " Depends", depends), 0);
    EXPECT_EQ(trimmed(name), "lumen");
    EXPECT_EQ(fs::path(deb).filename().string(), "lumen_" + trimmed(version) + "_" + trimmed(architecture) + ".deb");
    for (const char* library : {"libc6", "libstdc++6", "libglut", "libdevil", "libsdl2-mixer"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;

    // "-rwxr-xr-x root/root 409 2024-01-01 12:00 ./usr/bin/lumen" per entry.
    std::string listing;
    ASSERT_EQ(run("dpkg-deb -c " + deb, listing), 0);
    std::set<std::string> files;
    std::set<std::string> executables;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);)
    {
        const std::size_t at = line.find(" ./usr/");
        if (line.empty() || line.back() == '/' || at == std::string::npos)
            continue;
        const std::string file = line.substr(at + 7);
        files.insert(file);
        if (line.rfind("-rwxr-xr-x", 0) == 0)
            executables.insert(file);
    }
    EXPECT_EQ(joined(files), joined(expectedInstall()));
    EXPECT_EQ(joined(executables), joined({"bin/lumen", "lib/lumen/lumen"}));

    std::ifstream desktop(std::string(LUMEN_SOURCE_DIR) + "/dist/lumen.desktop");
    std::string command;
    std::string icon;
    for (std::string line; std::getline(desktop, line);)
    {
        if (line.rfind("Exec=", 0) == 0)
            command = line.substr(5);
        if (line.rfind("Icon=", 0) == 0)
            icon = line.substr(5);
    }
    EXPECT_EQ(files.count("bin/" + command), 1u) << "Exec=" << command;
    EXPECT_EQ(files.count("share/icons/hicolor/48x48/apps/" + icon + ".png"), 1u) << "Icon=" << icon;
}
