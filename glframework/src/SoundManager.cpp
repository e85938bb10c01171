#include "glframework/SoundManager.h"

#include "glframework/Log.h"
#include "glframework/SoundAnalysis.h"
#include "glframework/SoundChannels.h"
#include "glframework/SoundRecorder.h"

#include <cstring>

namespace
{
// The manager that has the audio device open, or null: the device is one
// per process.
const SoundManager* deviceOwner = nullptr;

// Prints the reason, if any, why an operation is unavailable on this
// platform; true if it is.
bool refused(const char* reason)
{
    if (reason == nullptr)
        return false;
    logError(reason);
    return true;
}
} // namespace

SoundManager::SoundManager()
    : analysis(std::make_unique<SoundAnalysis>()), recorder(std::make_unique<SoundRecorder>()), drawing(),
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
    SoundDevice::releaseThreadState();
}

bool SoundManager::ownsDevice() const
{
    return deviceOwner == this;
}

void SoundManager::init()
{
    if (ownsDevice())
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

    if (deviceOwner != nullptr)
    {
        logError("Sound device already used by another sound manager");
        return;
    }
    if (!SoundDevice::open())
        return;
    deviceOwner = this;
    SoundChannels::forgetPlays();
    analysis->setStreamChannels(SoundDevice::getStreamChannels());
    recorder->setStreamChannels(SoundDevice::getStreamChannels());
    analysis->clear();
    SoundDevice::measureOutput(analysis.get());
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
    samples[count] = SoundDevice::isOpen() && file != nullptr ? SoundDevice::loadSample(file) : nullptr;
    names[count] = name;
    loops[count] = loopCount;
    plays[count] = 0;
    ++count;
    if (samples[count - 1] == nullptr)
    {
        logError("Could not load ", file != nullptr ? file : "(no file)", " as ", name, " (",
                 SoundDevice::isOpen() ? SoundDevice::getError() : "sound is not running", ")");
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
        logError("Cannot play ", name, " (", SoundDevice::getError(), ")");
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
    if (ownsDevice())
    {
        // No callback may run once what it touches is gone: silence every
        // channel and take the hooks out before anything is freed.
        SoundDevice::haltAll();
        SoundDevice::measureOutput(nullptr);
    }
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (samples[slot] != nullptr && SoundDevice::isOpen())
            SoundDevice::freeSample(samples[slot]);
        samples[slot] = nullptr;
    }
    recorder->releasePlaybackChunk();
    if (ownsDevice())
    {
        SoundDevice::close();
        deviceOwner = nullptr;
    }
}

int SoundManager::startChannel(SoundDevice::Sample* sample, int loopCount, bool playsRecording)
{
    // The channel is chosen here rather than by the mixer so that its hooks
    // are in place before the first sound comes out of it.
    const int channel = SoundChannels::freeChannel();
    if (channel < 0)
        return 0;
    // Only the manager that opened the device hooks into the mixer: it alone
    // takes the hooks out again (shutdown) before its parts are freed.
    if (ownsDevice())
    {
        // The recording replaces the silence first, then it is measured.
        if (playsRecording)
            recorder->playBackOn(channel);
        SoundDevice::measure(channel, *analysis);
    }
    return SoundChannels::play(channel, sample, loopCount);
}

void SoundManager::allocRecordBuffer()
{
    if (refused(SoundRecorder::unavailable()))
        return;
    recorder->allocBuffer();
}

int SoundManager::startRecording()
{
    if (refused(SoundRecorder::unavailable()))
        return 0;
    if (!recorder->hasBuffer())
    {
        logError("No recording buffer: call allocRecordBuffer first");
        return 0;
    }
    if (!ownsDevice())
    {
        logError("Sound is not running: cannot record");
        return 0;
    }
    if (!recorder->start(SoundDevice::getRate()))
        return 0;
    SoundDevice::Sample* silence = recorder->getPlaybackSample();
    const int handle = silence != nullptr ? startChannel(silence, -1, true) : 0;
    if (handle == 0)
        logError("Cannot play the recording (", SoundDevice::getError(), ")");
    return handle;
}

void SoundManager::updateSpectrum(const char* name)
{
    if (refused(SoundDevice::measuringUnavailable()))
        return;
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
    if (refused(SoundDevice::measuringUnavailable()))
        return;
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
