#pragma once

#include <cstddef>

// How the desktop tells the game's window apart: the class that ties it to
// the program's desktop entry, and the pictures a task bar or window
// switcher shows for it. The window title is left as it is.
//
// On the desktop both are set through the window system (WM_CLASS and
// _NET_WM_ICON). The browser's page has a title and icon of its own, so
// there it does nothing.
class WindowIdentity
{
public:
    // A picture file (PNG) held in memory, such as one built into the
    // program.
    struct EncodedPicture
    {
        const unsigned char* bytes;
        std::size_t size;
    };

    WindowIdentity() = delete;

    // Gives the window of the current GL context (the one glutCreateWindow
    // has just made) the class instanceName, className and, as its icon, the
    // iconCount pictures of icons decoded, one for each size. A picture that
    // cannot be decoded is left out; with none left no icon is set. Prints
    // nothing; does nothing without a current window.
    static void apply(const char* instanceName, const char* className, const EncodedPicture* icons,
                      std::size_t iconCount);
};
