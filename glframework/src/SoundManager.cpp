#include "glframework/SoundManager.h"

#include "glframework/Log.h"
#include "glframework/SoundAnalysis.h"
#include "glframework/SoundChannels.h"
#include "glframework/SoundRecorder.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cstring>

static_assert(SoundManager::SPECTRUM_SIZE == SoundAnalysis::SPECTRUM_SIZE, "the manager shows the analysis's spectrum");
static_assert(SoundManager::RECORD_FRAMES == SoundRecorder::BUFFER_FRAMES, "the manager records with the recorder");

SoundManager::SoundManager()
    : device(), analysis(std::make_unique<SoundAnalysis>()), recorder(std::make_unique<SoundRecorder>()), drawing(),
      samples(), names(), plays(), loops(), count(0), levelLeft(0.0f), levelRight(0.0f)
{
    logLine("Constructing Sound Manager...");
    // Until init, the table reads as empty rather than as garbage.
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
        names[slot] = "";
}

SoundManager::~SoundManager()
{
    shutdown();
}

void SoundManager::releaseThreadState()
{
    SDL_TLSCleanup();
}

void SoundManager::init()
{
    if (device.isOpen())
    {
        logError("Sound manager already initialised");
        return;
    }
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        samples[slot] = nullptr;
        names[slot] = "";
        plays[slot] = 0;
        loops[slot] = 0;
    }
    count = 0;

    if (!device.open())
        return;
    SoundChannels::forgetPlays();
    analysis->setStreamChannels(device.getStreamChannels());
    recorder->setStreamChannels(device.getStreamChannels());
    analysis->clear();
    analysis->attach();
}

void SoundManager::loadSound(const char* file, const char* name)
{
    load(file, name, -1, "Loaded Sound ");
}

void SoundManager::loadLoop(const char* file, const char* name)
{
    load(file, name, 0, "Loaded loop ");
}

void SoundManager::load(const char* file, const char* name, int loopCount, const char* message)
{
    if (name == nullptr)
        name = "";
    if (count >= MAX_SOUNDS)
    {
        logError("Cannot load ", name, ": all ", MAX_SOUNDS, " sound slots are taken");
        return;
    }
    // Decoded whole into memory: WAV directly, MP3 through the music decoders.
    samples[count] = SoundDevice::isMixerOpen() && file != nullptr ? Mix_LoadWAV(file) : nullptr;
    names[count] = name;
    loops[count] = loopCount;
    plays[count] = 0;
    ++count;
    if (samples[count - 1] == nullptr)
    {
        logError("Could not load ", file != nullptr ? file : "(no file)", " as ", name, " (",
                 SoundDevice::isMixerOpen() ? Mix_GetError() : "sound is not running", ")");
        return;
    }
    logLine(message, name);
}

int SoundManager::findSlot(const char* name) const
{
    if (name == nullptr)
        name = "";
    // Every slot is searched, free ones too: they carry the empty name. A
    // slot named so whose file failed to load is reported and passed over.
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (std::strcmp(names[slot], name) != 0)
            continue;
        if (samples[slot] != nullptr)
            return slot;
        logError("No sample associated with ", name);
    }
    logError("Sample ", name, " not found");
    return -1;
}

int SoundManager::playSound(const char* name)
{
    if (name == nullptr)
        name = "";
    const int slot = findSlot(name);
    if (slot < 0)
        return 0;
    const int handle = startChannel(samples[slot], loops[slot], false);
    if (handle == 0)
    {
        logError("Cannot play ", name, " (", Mix_GetError(), ")");
        return 0;
    }
    plays[slot] = handle;
    logLine("Playing ", name);
    return handle;
}

void SoundManager::stopSound(const char* name)
{
    if (name == nullptr)
        name = "";
    const int slot = findSlot(name);
    if (slot < 0)
        return;
    SoundChannels::stop(plays[slot]);
    logLine("Stopping ", name);
}

void SoundManager::StopSound(int)
{
    logError("StopSound(int) deprecated");
}

void SoundManager::stopAllSounds()
{
    logLine("Stopping all sounds");
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
        SoundChannels::stop(plays[slot]);
}

void SoundManager::shutdown()
{
    stopAllSounds();
    recorder->stop();
    if (device.isOpen())
    {
        // No callback may run once what it touches is gone: silence every
        // channel and take the hooks out before anything is freed.
        SoundChannels::haltAll();
        analysis->detach();
    }
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (samples[slot] != nullptr && SoundDevice::isMixerOpen())
            Mix_FreeChunk(samples[slot]);
        samples[slot] = nullptr;
    }
    recorder->releasePlaybackChunk();
    device.close();
}

int SoundManager::startChannel(Mix_Chunk* chunk, int loopCount, bool playsRecording)
{
    // The channel is chosen here rather than by the mixer so that its hooks
    // are in place before the first sound comes out of it.
    const int channel = SoundChannels::freeChannel();
    if (channel < 0)
        return 0;
    // Only the manager that opened the device hooks into the mixer: it alone
    // takes the hooks out again (shutdown) before its parts are freed.
    if (device.isOpen())
    {
        // The recording replaces the silence first, then it is measured.
        if (playsRecording)
            recorder->playBackOn(channel);
        analysis->measure(channel);
    }
    return SoundChannels::play(channel, chunk, loopCount);
}

void SoundManager::allocRecordBuffer()
{
    recorder->allocBuffer();
}

int SoundManager::startRecording()
{
    if (!recorder->hasBuffer())
    {
        logError("No recording buffer: call allocRecordBuffer first");
        return 0;
    }
    if (!device.isOpen())
    {
        logError("Sound is not running: cannot record");
        return 0;
    }
    if (!recorder->start(device.getRate()))
        return 0;
    Mix_Chunk* chunk = recorder->getPlaybackChunk();
    const int handle = chunk != nullptr ? startChannel(chunk, -1, true) : 0;
    if (handle == 0)
        logError("Cannot play the recording (", Mix_GetError(), ")");
    return handle;
}

void SoundManager::updateSpectrum(const char* name)
{
    analysis->updateSpectrum();
    if (name == nullptr)
        name = "";
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (samples[slot] == nullptr || std::strcmp(names[slot], name) != 0)
            continue;
        const int channel = SoundChannels::liveChannel(plays[slot]);
        if (channel < 0)
        {
            levelLeft = 0.0f;
            levelRight = 0.0f;
            continue;
        }
        const SoundAnalysis::Levels levels = analysis->getLevels(channel);
        levelLeft = levels.left;
        levelRight = levels.right;
    }
}

void SoundManager::drawSpectrum()
{
    // Drawn from the output as it is now. Of the levels, only a sample named
    // "funky" has its own read here; any others are left as they were.
    updateSpectrum("funky");
    drawing.draw(analysis->getSpectrum(), SPECTRUM_SIZE);
}

const float* SoundManager::getSpectrum() const
{
    return analysis->getSpectrum();
}

float SoundManager::getLevelLeft() const
{
    return levelLeft;
}

float SoundManager::getLevelRight() const
{
    return levelRight;
}

float SoundManager::getLastPeak() const
{
    return drawing.getLastPeak();
}
