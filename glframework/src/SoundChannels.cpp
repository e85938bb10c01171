#include "glframework/SoundChannels.h"

#include "glframework/SoundDevice.h"

#include <SDL2/SDL_mixer.h>

namespace
{
// A handle is serial * HANDLE_STRIDE + channel + 1: never 0, and a later
// play on the same channel gets a different serial.
const int HANDLE_STRIDE = 64;
const int MAX_SERIAL = 1 << 24;
static_assert(SoundDevice::MIXER_CHANNELS < HANDLE_STRIDE, "every channel must fit into a handle");

// Serial of the last play started on each channel.
int channelSerial[SoundDevice::MIXER_CHANNELS];
int nextSerial = 1;
} // namespace

int SoundChannels::freeChannel()
{
    if (!SoundDevice::isMixerOpen())
    {
        Mix_SetError("sound is not running");
        return -1;
    }
    int channel = 0;
    while (channel < SoundDevice::MIXER_CHANNELS && Mix_Playing(channel) != 0)
        ++channel;
    if (channel == SoundDevice::MIXER_CHANNELS)
    {
        Mix_SetError("all %d channels are busy", SoundDevice::MIXER_CHANNELS);
        return -1;
    }
    return channel;
}

int SoundChannels::play(int channel, Mix_Chunk* chunk, int loops)
{
    if (Mix_PlayChannel(channel, chunk, loops) < 0)
    {
        // The mixer drops a channel's effects when its play ends; a play
        // that never started would leave them waiting for the next one.
        Mix_UnregisterAllEffects(channel);
        return 0;
    }
    const int serial = nextSerial;
    nextSerial = nextSerial >= MAX_SERIAL ? 1 : nextSerial + 1;
    channelSerial[channel] = serial;
    return serial * HANDLE_STRIDE + channel + 1;
}

int SoundChannels::liveChannel(int handle)
{
    if (handle <= 0)
        return -1;
    const int channel = (handle - 1) % HANDLE_STRIDE;
    const int serial = (handle - 1) / HANDLE_STRIDE;
    if (channel >= SoundDevice::MIXER_CHANNELS || channelSerial[channel] != serial || !SoundDevice::isMixerOpen())
        return -1;
    return Mix_Playing(channel) != 0 ? channel : -1;
}

void SoundChannels::stop(int handle)
{
    const int channel = liveChannel(handle);
    if (channel >= 0)
        Mix_HaltChannel(channel);
}

void SoundChannels::haltAll()
{
    Mix_HaltChannel(-1);
    for (int channel = 0; channel < SoundDevice::MIXER_CHANNELS; ++channel)
        Mix_UnregisterAllEffects(channel);
}

void SoundChannels::forgetPlays()
{
    for (int& serial : channelSerial)
        serial = 0;
}
