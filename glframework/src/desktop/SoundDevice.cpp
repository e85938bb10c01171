#include "glframework/SoundDevice.h"

#include "glframework/Log.h"
#include "glframework/SoundAnalysis.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cstdint>
#include <string>

namespace
{
// The mixer's format as last opened.
int openedRate = SoundDevice::RATE;
int openedChannels = 2;

// On the desktop a sample is the mixer's own chunk.
Mix_Chunk* chunkOf(SoundDevice::Sample* sample)
{
    return reinterpret_cast<Mix_Chunk*>(sample);
}

// Starts SDL's audio and the mixer on the current driver; on failure leaves
// both closed and returns the reason.
bool openMixer(std::string& failure)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        failure = SDL_GetError();
        return false;
    }
    // SDL lists the outputs its driver finds while starting. With none there
    // is nothing to open; shutting down at once, before the driver's device
    // watcher settles into its sleep, spares waiting up to 100 ms for it.
    if (SDL_GetNumAudioDevices(0) == 0)
    {
        failure = "no sound output device found";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    if (Mix_OpenAudio(SoundDevice::RATE, MIX_DEFAULT_FORMAT, 2, SoundDevice::BUFFER_FRAMES) != 0)
    {
        failure = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// The mixer's hooks, on its audio thread; analysis is the SoundAnalysis.
void feedMixed(void* analysis, Uint8* stream, int length)
{
    static_cast<SoundAnalysis*>(analysis)->addMixed(reinterpret_cast<const std::int16_t*>(stream),
                                                    length / static_cast<int>(sizeof(std::int16_t)));
}

void feedChannel(int channel, void* stream, int length, void* analysis)
{
    static_cast<SoundAnalysis*>(analysis)->addChannelOutput(channel, static_cast<const std::int16_t*>(stream),
                                                            length / static_cast<int>(sizeof(std::int16_t)));
}
} // namespace

bool SoundDevice::open()
{
    if (isOpen())
        return true;

    // SDL would otherwise turn SIGINT and SIGTERM into events that nobody
    // reads, and the game could no longer be interrupted.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The name a desktop's sound settings list the game's output under (in
    // their per-application volumes) instead of "SDL Application". Set again
    // on every open, since closing the last of SDL forgets its hints.
    SDL_SetHint(SDL_HINT_APP_NAME, "Lumen");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Lumen");
    std::string failure;
    if (!openMixer(failure))
    {
        logLine("Sound device unavailable (", failure, "): sound is off");
        // The silent driver keeps loads and plays working. The override
        // outranks SDL_AUDIODRIVER and is dropped again at once so that a
        // later open tries the real device.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        const bool fellBack = openMixer(failure);
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (!fellBack)
        {
            logError("Silent sound driver unavailable (", failure, ")");
            return false;
        }
    }

    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0)
        logError("MP3 decoding unavailable (", Mix_GetError(), ")");
    Mix_AllocateChannels(MIXER_CHANNELS);
    Uint16 format = 0;
    Mix_QuerySpec(&openedRate, &format, &openedChannels);
    return true;
}

void SoundDevice::close()
{
    if (!isOpen())
        return;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // With nothing else of SDL in use, release what SDL set up besides (its
    // D-Bus connection and hints) so that no trace of it is left.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
        SDL_Quit();
}

bool SoundDevice::isOpen()
{
    return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0;
}

int SoundDevice::getRate()
{
    return openedRate;
}

int SoundDevice::getStreamChannels()
{
    return openedChannels;
}

SoundDevice::Sample* SoundDevice::loadSample(const char* file)
{
    // Decoded whole into memory: WAV directly, MP3 through the music decoders.
    return reinterpret_cast<Sample*>(Mix_LoadWAV(file));
}

void SoundDevice::freeSample(Sample* sample)
{
    if (sample != nullptr)
        Mix_FreeChunk(chunkOf(sample));
}

bool SoundDevice::isPlaying(int channel)
{
    return Mix_Playing(channel) != 0;
}

bool SoundDevice::play(int channel, Sample* sample, int loops)
{
    if (Mix_PlayChannel(channel, chunkOf(sample), loops) < 0)
    {
        // The mixer drops a channel's effects when its play ends; a play
        // that never started would leave them waiting for the next one.
        Mix_UnregisterAllEffects(channel);
        return false;
    }
    return true;
}

void SoundDevice::halt(int channel)
{
    Mix_HaltChannel(channel);
}

void SoundDevice::haltAll()
{
    Mix_HaltChannel(-1);
    for (int channel = 0; channel < MIXER_CHANNELS; ++channel)
        Mix_UnregisterAllEffects(channel);
}

const char* SoundDevice::measuringUnavailable()
{
    return nullptr;
}

void SoundDevice::measureOutput(SoundAnalysis* analysis)
{
    Mix_SetPostMix(analysis != nullptr ? &feedMixed : nullptr, analysis);
}

void SoundDevice::measure(int channel, SoundAnalysis& analysis)
{
    Mix_RegisterEffect(channel, &feedChannel, nullptr, &analysis);
}

const char* SoundDevice::getError()
{
    return Mix_GetError();
}

void SoundDevice::setError(const char* reason)
{
    Mix_SetError("%s", reason);
}

void SoundDevice::releaseThreadState()
{
    SDL_TLSCleanup();
}
