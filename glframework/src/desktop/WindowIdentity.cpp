#include "glframework/WindowIdentity.h"

#include <GL/glx.h>
#include <IL/il.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

// On the desktop the window is GLUT's X window, reached through the current
// GLX context; DevIL, which decodes the game's pictures, decodes the icons.

namespace
{
// Decodes picture and appends it to icon the way _NET_WM_ICON holds each
// size: width, height, then every pixel as 0xAARRGGBB, rows from the top.
// Xlib hands 32-bit properties over as longs, whatever a long's size.
// Returns false, appending nothing, if the picture cannot be decoded.
bool appendIcon(const WindowIdentity::EncodedPicture& picture, std::vector<unsigned long>& icon)
{
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool decoded = ilLoadL(IL_TYPE_UNKNOWN, picture.bytes, static_cast<ILuint>(picture.size)) == IL_TRUE;
    const ILint width = decoded ? ilGetInteger(IL_IMAGE_WIDTH) : 0;
    const ILint height = decoded ? ilGetInteger(IL_IMAGE_HEIGHT) : 0;
    std::vector<ILubyte> bgra(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    decoded = width > 0 && height > 0 &&
              ilCopyPixels(0, 0, 0, static_cast<ILuint>(width), static_cast<ILuint>(height), 1, IL_BGRA,
                           IL_UNSIGNED_BYTE, bgra.data()) != 0;
    // The rows lie in memory in the order of the image's origin, which the
    // game's own picture loading may have set to bottom first.
    const bool bottomFirst = ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT;
    ilDeleteImages(1, &image);
    if (!decoded)
        return false;

    icon.push_back(static_cast<unsigned long>(width));
    icon.push_back(static_cast<unsigned long>(height));
    for (ILint row = 0; row < height; ++row)
    {
        const ILint stored = bottomFirst ? height - 1 - row : row;
        const ILubyte* pixel = bgra.data() + static_cast<std::size_t>(stored) * static_cast<std::size_t>(width) * 4;
        for (ILint column = 0; column < width; ++column, pixel += 4)
            icon.push_back(static_cast<unsigned long>(pixel[3]) << 24 | static_cast<unsigned long>(pixel[2]) << 16 |
                           static_cast<unsigned long>(pixel[1]) << 8 | pixel[0]);
    }
    return true;
}
} // namespace

void WindowIdentity::apply(const char* instanceName, const char* className, const EncodedPicture* icons,
                           std::size_t iconCount)
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (display == nullptr || window == None)
        return;

    // Xlib's structure is not const-correct; it only reads the names.
    XClassHint classHint;
    classHint.res_name = const_cast<char*>(instanceName);
    classHint.res_class = const_cast<char*>(className);
    XSetClassHint(display, window, &classHint);

    // DevIL ignores being started again, keeping the settings made since.
    ilInit();
    std::vector<unsigned long> icon;
    for (std::size_t i = 0; i < iconCount; ++i)
        appendIcon(icons[i], icon);
    if (!icon.empty())
    {
        const Atom netWmIcon = XInternAtom(display, "_NET_WM_ICON", False);
        XChangeProperty(display, window, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(icon.data()), static_cast<int>(icon.size()));
    }
    XFlush(display);
}
