#include "glframework/SoundChannels.h"

#include <string>

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
    if (!SoundDevice::isOpen())
    {
        SoundDevice::setError("sound is not running");
        return -1;
    }
    int channel = 0;
    while (channel < SoundDevice::MIXER_CHANNELS && SoundDevice::isPlaying(channel))
        ++channel;
    if (channel == SoundDevice::MIXER_CHANNELS)
    {
        static const std::string busy = "all " + std::to_string(SoundDevice::MIXER_CHANNELS) + " channels are busy";
        SoundDevice::setError(busy.c_str());
        return -1;
    }
    return channel;
}

int SoundChannels::play(int channel, SoundDevice::Sample* sample, int loops)
{
    if (!SoundDevice::play(channel, sample, loops))
        return 0;
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
    if (channel >= SoundDevice::MIXER_CHANNELS || channelSerial[channel] != serial || !SoundDevice::isOpen())
        return -1;
    return SoundDevice::isPlaying(channel) ? channel : -1;
}

void SoundChannels::stop(int handle)
{
    const int channel = liveChannel(handle);
    if (channel >= 0)
        SoundDevice::halt(channel);
}

void SoundChannels::forgetPlays()
{
    for (int& serial : channelSerial)
        serial = 0;
}
