#include "glframework/SoundRecorder.h"

#include "glframework/Log.h"
#include "glframework/SoundDevice.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>

namespace
{
const Uint32 START_TIMEOUT_MS = 2000;

// The recording device's callback, on its thread; recorder is the
// SoundRecorder.
void feedRecording(void* recorder, Uint8* stream, int length)
{
    static_cast<SoundRecorder*>(recorder)->addRecorded(reinterpret_cast<const std::int16_t*>(stream),
                                                       length / static_cast<int>(2 * sizeof(std::int16_t)));
}

// The mixer's hook on the playback channel, on its audio thread.
void feedPlayback(int, void* stream, int length, void* recorder)
{
    static_cast<SoundRecorder*>(recorder)->playBack(static_cast<std::int16_t*>(stream),
                                                    length / static_cast<int>(sizeof(std::int16_t)));
}
} // namespace

const char* SoundRecorder::unavailable()
{
    return nullptr;
}

SoundRecorder::SoundRecorder()
    : device(0), playbackChunk(nullptr), playbackSilence(nullptr), streamChannels(2), buffer(), written(0), read(0)
{
}

SoundRecorder::~SoundRecorder()
{
    stop();
    releasePlaybackChunk();
}

void SoundRecorder::allocBuffer()
{
    // The recording writes into the buffer: stop it before replacing it.
    stop();
    // calloc: the pages of this large, silent buffer are only touched when
    // the recording reaches them.
    std::int16_t* fresh =
        static_cast<std::int16_t*>(std::calloc(static_cast<size_t>(BUFFER_FRAMES) * 2, sizeof(std::int16_t)));
    if (fresh == nullptr)
    {
        logError("Cannot allocate the recording buffer");
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    buffer.reset(fresh);
    written = 0;
    read = 0;
}

bool SoundRecorder::hasBuffer() const
{
    std::lock_guard<std::mutex> guard(lock);
    return buffer != nullptr;
}

void SoundRecorder::setStreamChannels(int count)
{
    std::lock_guard<std::mutex> guard(lock);
    streamChannels = std::max(1, count);
}

bool SoundRecorder::start(int rate)
{
    stop();

    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = SoundDevice::BUFFER_FRAMES;
    wanted.callback = &feedRecording;
    wanted.userdata = this;
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts whatever the device gives to this.
    device = SDL_OpenAudioDevice(nullptr, 1, &wanted, &obtained, 0);
    if (device == 0)
    {
        logError("No recording device (", SDL_GetError(), ")");
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        written = 0;
        read = 0;
    }
    SDL_PauseAudioDevice(device, 0);

    // Wait for the first sound so that playback starts behind the recording.
    const Uint32 begin = SDL_GetTicks();
    bool started = false;
    while (!started && SDL_GetTicks() - begin < START_TIMEOUT_MS)
    {
        SDL_Delay(1);
        std::lock_guard<std::mutex> guard(lock);
        started = written != 0;
    }
    if (!started)
    {
        stop();
        logError("The recording device sent no sound");
        return false;
    }
    return true;
}

void SoundRecorder::stop()
{
    if (device == 0)
        return;
    // Returns once the recording callback has finished for good.
    SDL_CloseAudioDevice(device);
    device = 0;
}

SoundDevice::Sample* SoundRecorder::getPlaybackSample()
{
    // On the desktop a sample is the mixer's own chunk.
    if (playbackChunk != nullptr)
        return reinterpret_cast<SoundDevice::Sample*>(playbackChunk);
    int channels = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        channels = streamChannels;
    }
    const Uint32 bytes = SoundDevice::BUFFER_FRAMES * channels * sizeof(Sint16);
    playbackSilence = static_cast<Uint8*>(SDL_calloc(1, bytes));
    playbackChunk = playbackSilence != nullptr ? Mix_QuickLoad_RAW(playbackSilence, bytes) : nullptr;
    if (playbackChunk == nullptr)
    {
        SDL_free(playbackSilence);
        playbackSilence = nullptr;
    }
    return reinterpret_cast<SoundDevice::Sample*>(playbackChunk);
}

void SoundRecorder::playBackOn(int channel)
{
    Mix_RegisterEffect(channel, &feedPlayback, nullptr, this);
}

void SoundRecorder::releasePlaybackChunk()
{
    // The chunk only points at the silence, which stays ours to free.
    if (playbackChunk != nullptr)
        Mix_FreeChunk(playbackChunk);
    playbackChunk = nullptr;
    SDL_free(playbackSilence);
    playbackSilence = nullptr;
}

void SoundRecorder::addRecorded(const std::int16_t* frames, int frameCount)
{
    std::lock_guard<std::mutex> guard(lock);
    std::int16_t* recorded = buffer.get();
    if (recorded == nullptr)
        return;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        const long long at = written % BUFFER_FRAMES;
        recorded[at * 2] = frames[frame * 2];
        recorded[at * 2 + 1] = frames[frame * 2 + 1];
        ++written;
    }
}

void SoundRecorder::playBack(std::int16_t* samples, int sampleCount)
{
    std::lock_guard<std::mutex> guard(lock);
    const int frameCount = sampleCount / streamChannels;
    const std::int16_t* recorded = buffer.get();
    // Fallen a whole buffer behind: the oldest part is overwritten already.
    if (written - read > BUFFER_FRAMES)
        read = written - BUFFER_FRAMES;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        int left = 0;
        int right = 0;
        if (recorded != nullptr && read < written)
        {
            const long long at = read % BUFFER_FRAMES;
            left = recorded[at * 2];
            right = recorded[at * 2 + 1];
            ++read;
        }
        std::int16_t* out = samples + frame * streamChannels;
        if (streamChannels == 1)
        {
            out[0] = static_cast<std::int16_t>((left + right) / 2);
            continue;
        }
        out[0] = static_cast<std::int16_t>(left);
        out[1] = static_cast<std::int16_t>(right);
        for (int c = 2; c < streamChannels; ++c)
            out[c] = 0;
    }
}
