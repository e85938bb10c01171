// The browser test's eyes: it hands this tool what the page showed and
// logged, so that the browser's game is judged by the same finders as the
// desktop's.
//
//   browser_check pucks SHOT.png             one line "x y brightness" per
//                                            whole puck, then "unclear N"
//   browser_check difference SHOT.png PIC    mean difference per channel
//                                            from the part of PIC (under the
//                                            source folder) that an 800 x 600
//                                            board shows
//   browser_check unordinary < LOG           the lines that the game does
//                                            not print in ordinary play

#include "support/GameLog.h"
#include "support/ScreenshotPucks.h"
#include "support/WindowPicture.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace
{
int usage()
{
    std::cerr << "usage: browser_check pucks SHOT | difference SHOT PICTURE | unordinary < LOG\n";
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "pucks" && argc == 3)
    {
        const WindowPicture shot = WindowPicture::load(argv[2]);
        if (shot.empty())
            return 1;
        const ScreenshotPucks seen(shot.rgb, shot.width, shot.height);
        const std::vector<double> brightnesses = seen.brightnesses();
        for (std::size_t i = 0; i < seen.whole().size(); ++i)
            std::printf("%.1f %.1f %.1f\n", seen.whole()[i].x, seen.whole()[i].y, brightnesses[i]);
        std::printf("unclear %d\n", seen.unclear());
        return 0;
    }
    if (command == "difference" && argc == 4)
    {
        const WindowPicture shot = WindowPicture::load(argv[2]);
        if (shot.width != 800 || shot.height != 600)
            return 1;
        std::printf("%.2f\n", shot.differenceFrom(argv[3]));
        return 0;
    }
    if (command == "unordinary" && argc == 2)
    {
        std::vector<std::string> lines;
        for (std::string line; std::getline(std::cin, line);)
            lines.push_back(line);
        for (const std::string& line : GameLog::unordinary(lines))
            std::cout << line << '\n';
        return 0;
    }
    return usage();
}
