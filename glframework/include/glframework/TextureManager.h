#pragma once

#include "glframework/TextureMap.h"

// The texture cache: the record for the image file named by fileName, loading
// the file on the first request. The key is the address of the string, not
// its text, so pass string constants: two strings with equal text at two
// addresses load the file twice, and the string must live as long as the
// program. A file that fails to load is cached too and not tried again under
// the same key. Each call adds 1 to the record's refCount. Never returns null;
// the record belongs to the cache. Needs a current GL context on first use.
TextureMap* getTexture(const char* fileName);
