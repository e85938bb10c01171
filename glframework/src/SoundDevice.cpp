#include "glframework/SoundDevice.h"

#include "glframework/Log.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <string>

namespace
{
// The device object that has the mixer open, or null.
const SoundDevice* owner = nullptr;

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
} // namespace

SoundDevice::SoundDevice() : opened(false), rate(RATE), streamChannels(2)
{
}

SoundDevice::~SoundDevice()
{
    close();
}

bool SoundDevice::open()
{
    if (opened)
        return true;
    if (owner != nullptr)
    {
        logError("Sound device already used by another sound manager");
        return false;
    }

    // SDL would otherwise turn SIGINT and SIGTERM into events that nobody
    // reads, and the game could no longer be interrupted.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
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
    opened = true;
    owner = this;

    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0)
        logError("MP3 decoding unavailable (", Mix_GetError(), ")");
    Mix_AllocateChannels(MIXER_CHANNELS);
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &streamChannels);
    return true;
}

void SoundDevice::close()
{
    if (!opened)
        return;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // With nothing else of SDL in use, release what SDL set up besides (its
    // D-Bus connection and hints) so that no trace of it is left.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
        SDL_Quit();
    opened = false;
    owner = nullptr;
}

bool SoundDevice::isOpen() const
{
    return opened;
}

int SoundDevice::getRate() const
{
    return rate;
}

int SoundDevice::getStreamChannels() const
{
    return streamChannels;
}

bool SoundDevice::isMixerOpen()
{
    return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0;
}
