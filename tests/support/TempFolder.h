#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder under /tmp, named "/tmp/<name>-XXXXXX", removed with
// everything in it when the object goes. The path is empty when the folder
// could not be made, so tests assert on it before use.
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
            std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path;
};
