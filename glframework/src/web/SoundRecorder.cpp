#include "glframework/SoundRecorder.h"

// The browser records only after asking the player, which a game that never
// records has no reason to do: its recorder refuses. SoundManager asks
// unavailable() before recording, so the rest never has anything to do.

const char* SoundRecorder::unavailable()
{
    return "Recording is unavailable in the browser";
}

SoundRecorder::SoundRecorder()
    : device(0), playbackChunk(nullptr), playbackSilence(nullptr), streamChannels(2), buffer(), written(0), read(0)
{
}

SoundRecorder::~SoundRecorder() = default;

void SoundRecorder::allocBuffer()
{
}

bool SoundRecorder::hasBuffer() const
{
    return false;
}

void SoundRecorder::setStreamChannels(int count)
{
    streamChannels = count;
}

bool SoundRecorder::start(int)
{
    return false;
}

void SoundRecorder::stop()
{
}

SoundDevice::Sample* SoundRecorder::getPlaybackSample()
{
    return nullptr;
}

void SoundRecorder::playBackOn(int)
{
}

void SoundRecorder::releasePlaybackChunk()
{
}
