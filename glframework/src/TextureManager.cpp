#include "glframework/TextureManager.h"

#include <cstdint>
#include <map>

namespace
{
// One entry per key ever asked for, loaded or not; never emptied. Never
// destroyed either: sprites in program-wide objects release their records
// while the program ends, after a destroyed cache would have gone.
std::map<std::uintptr_t, TextureMap*>& textureCache()
{
    static auto* cache = new std::map<std::uintptr_t, TextureMap*>;
    return *cache;
}
} // namespace

TextureMap* getTexture(const char* fileName)
{
    const std::uintptr_t key = reinterpret_cast<std::uintptr_t>(fileName);
    auto& cache = textureCache();
    const auto found = cache.find(key);
    if (found != cache.end())
    {
        ++found->second->refCount;
        return found->second;
    }

    // Records live until the program ends, like the textures they name.
    TextureMap* texture = new TextureMap();
    texture->load(fileName);
    cache.emplace(key, texture);
    return texture;
}
