#include "glframework/WindowIdentity.h"

// The page already carries the game's title and icon, and a browser tab has
// no window class: nothing to set.

void WindowIdentity::apply(const char*, const char*, const EncodedPicture*, std::size_t)
{
}
