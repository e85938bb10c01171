#include "glframework/SoundManager.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <iostream>
#include <string>

namespace
{
const int MIX_RATE = 44100;
const int MIX_BUFFER_FRAMES = 1024;
// A handle is serial * HANDLE_STRIDE + channel + 1: never 0, and a later
// play on the same channel gets a different serial.
const int HANDLE_STRIDE = 64;
const int MAX_SERIAL = 1 << 24;
const Uint32 RECORD_START_TIMEOUT_MS = 2000;

// Mixer channels are shared by the whole process, so is the record of which
// play each one runs. Main thread only.
int channelSerial[64];
int nextSerial = 1;

// The manager that has the audio device open, or null.
SoundManager* deviceOwner = nullptr;

bool mixerOpen()
{
    return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0;
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
    if (Mix_OpenAudio(MIX_RATE, MIX_DEFAULT_FORMAT, 2, MIX_BUFFER_FRAMES) != 0)
    {
        failure = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::complex<float>* data, int size)
{
    for (int i = 1, j = 0; i < size; ++i)
    {
        int bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (int length = 2; length <= size; length <<= 1)
    {
        const float angle = -2.0f * static_cast<float>(M_PI) / length;
        const std::complex<float> step(std::cos(angle), std::sin(angle));
        for (int start = 0; start < size; start += length)
        {
            std::complex<float> w(1.0f, 0.0f);
            for (int k = 0; k < length / 2; ++k)
            {
                const std::complex<float> even = data[start + k];
                const std::complex<float> odd = data[start + k + length / 2] * w;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                w *= step;
            }
        }
    }
}
} // namespace

SoundManager::SoundManager()
    : samples(), names(), channels(), count(0), spectrum(), levelRight(0.0f), levelLeft(0.0f),
      lastPeak(0.0f), loops(), running(false), mixRate(MIX_RATE), mixChannels(2),
      recordDevice(0), monitorChunk(nullptr), monitorBuffer(nullptr), history(), historyEnd(0),
      channelLeft(), channelRight(), recordWritten(0), recordRead(0)
{
    std::cout << "Constructing Sound Manager..." << std::endl;
    // Until init, the table reads as empty rather than as garbage.
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
        names[slot] = "";
}

SoundManager::~SoundManager()
{
    shutdown();
}

void SoundManager::init()
{
    if (running)
    {
        std::cout << "ERROR: Sound manager already initialised" << std::endl;
        return;
    }
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        samples[slot] = nullptr;
        names[slot] = "";
        channels[slot] = 0;
        loops[slot] = 0;
    }
    count = 0;

    if (deviceOwner != nullptr)
    {
        std::cout << "ERROR: Sound device already used by another sound manager" << std::endl;
        return;
    }

    // SDL would otherwise turn SIGINT and SIGTERM into events that nobody
    // reads, and the game could no longer be interrupted.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    std::string failure;
    if (!openMixer(failure))
    {
        std::cout << "Sound device unavailable (" << failure << "): sound is off" << std::endl;
        // The silent driver keeps loads and plays working. The override
        // outranks SDL_AUDIODRIVER and is dropped again at once so that a
        // later init tries the real device.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        const bool opened = openMixer(failure);
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (!opened)
        {
            std::cout << "ERROR: Silent sound driver unavailable (" << failure << ")" << std::endl;
            return;
        }
    }
    running = true;
    deviceOwner = this;

    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0)
        std::cout << "ERROR: MP3 decoding unavailable (" << Mix_GetError() << ")" << std::endl;
    Mix_AllocateChannels(MIXER_CHANNELS);
    Uint16 format = 0;
    Mix_QuerySpec(&mixRate, &format, &mixChannels);
    for (int& serial : channelSerial)
        serial = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        std::fill(std::begin(history), std::end(history), 0.0f);
        historyEnd = 0;
    }
    Mix_SetPostMix(&SoundManager::postMix, this);
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
        std::cout << "ERROR: Cannot load " << name << ": all " << MAX_SOUNDS
                  << " sound slots are taken" << std::endl;
        return;
    }
    // Decoded whole into memory: WAV directly, MP3 through the music decoders.
    samples[count] = mixerOpen() && file != nullptr ? Mix_LoadWAV(file) : nullptr;
    names[count] = name;
    loops[count] = loopCount;
    channels[count] = 0;
    ++count;
    if (samples[count - 1] == nullptr)
    {
        std::cout << "ERROR: Could not load " << (file != nullptr ? file : "(no file)") << " as "
                  << name << " (" << (mixerOpen() ? Mix_GetError() : "sound is not running")
                  << ")" << std::endl;
        return;
    }
    std::cout << message << name << std::endl;
}

int SoundManager::findSlot(const char* name) const
{
    if (name == nullptr)
        name = "";
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (std::strcmp(names[slot], name) != 0)
            continue;
        if (samples[slot] == nullptr)
        {
            std::cout << "ERROR: No sample associated with " << name << std::endl;
            continue;
        }
        return slot;
    }
    std::cout << "ERROR: Sample " << name << " not found" << std::endl;
    return -1;
}

int SoundManager::playSound(const char* name)
{
    const int slot = findSlot(name);
    if (slot < 0)
        return 0;
    const int handle = startChannel(samples[slot], loops[slot], false);
    if (handle == 0)
    {
        std::cout << "ERROR: Cannot play " << name << " (" << Mix_GetError() << ")" << std::endl;
        return 0;
    }
    channels[slot] = handle;
    std::cout << "Playing " << name << std::endl;
    return handle;
}

void SoundManager::stopSound(const char* name)
{
    const int slot = findSlot(name);
    if (slot < 0)
        return;
    stopChannel(channels[slot]);
    std::cout << "Stopping " << name << std::endl;
}

void SoundManager::StopSound(int)
{
    std::cout << "ERROR: StopSound(int) deprecated" << std::endl;
}

void SoundManager::stopAllSounds()
{
    std::cout << "Stopping all sounds" << std::endl;
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
        stopChannel(channels[slot]);
}

void SoundManager::shutdown()
{
    stopAllSounds();
    stopRecording();
    if (running)
    {
        // No callback may run once what it touches is gone: silence every
        // channel and take the hooks out before anything is freed.
        Mix_HaltChannel(-1);
        Mix_SetPostMix(nullptr, nullptr);
        for (int channel = 0; channel < MIXER_CHANNELS; ++channel)
            Mix_UnregisterAllEffects(channel);
    }
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (samples[slot] != nullptr && mixerOpen())
            Mix_FreeChunk(samples[slot]);
        samples[slot] = nullptr;
    }
    if (monitorChunk != nullptr)
        Mix_FreeChunk(monitorChunk);
    monitorChunk = nullptr;
    SDL_free(monitorBuffer);
    monitorBuffer = nullptr;
    if (running)
    {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        // With nothing else of SDL in use, release what SDL set up besides
        // (its D-Bus connection and hints) so that no trace of it is left.
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
            SDL_Quit();
        running = false;
        deviceOwner = nullptr;
    }
}

int SoundManager::startChannel(Mix_Chunk* chunk, int loopCount, bool playsRecording)
{
    if (!mixerOpen())
    {
        Mix_SetError("sound is not running");
        return 0;
    }
    // The channel is chosen here rather than by the mixer so that its
    // measurement is in place before the first sound comes out of it.
    int channel = 0;
    while (channel < MIXER_CHANNELS && Mix_Playing(channel) != 0)
        ++channel;
    if (channel == MIXER_CHANNELS)
    {
        Mix_SetError("all %d channels are busy", MIXER_CHANNELS);
        return 0;
    }
    if (running)
    {
        if (playsRecording)
            Mix_RegisterEffect(channel, &SoundManager::playRecording, nullptr, this);
        Mix_RegisterEffect(channel, &SoundManager::measureChannel, nullptr, this);
    }
    if (Mix_PlayChannel(channel, chunk, loopCount) < 0)
    {
        if (running)
            Mix_UnregisterAllEffects(channel);
        return 0;
    }
    const int serial = nextSerial;
    nextSerial = nextSerial >= MAX_SERIAL ? 1 : nextSerial + 1;
    channelSerial[channel] = serial;
    return serial * HANDLE_STRIDE + channel + 1;
}

int SoundManager::liveChannel(int handle) const
{
    if (handle <= 0)
        return -1;
    const int channel = (handle - 1) % HANDLE_STRIDE;
    const int serial = (handle - 1) / HANDLE_STRIDE;
    if (channel >= MIXER_CHANNELS || channelSerial[channel] != serial || !mixerOpen())
        return -1;
    return Mix_Playing(channel) != 0 ? channel : -1;
}

void SoundManager::stopChannel(int handle)
{
    const int channel = liveChannel(handle);
    if (channel >= 0)
        Mix_HaltChannel(channel);
}

void SoundManager::allocRecordBuffer()
{
    // The recording writes into the buffer: stop it before replacing it.
    stopRecording();
    // calloc: the pages of this large, silent buffer are only touched when
    // the recording reaches them.
    std::int16_t* buffer =
        static_cast<std::int16_t*>(std::calloc(static_cast<size_t>(RECORD_FRAMES) * 2, sizeof(std::int16_t)));
    if (buffer == nullptr)
    {
        std::cout << "ERROR: Cannot allocate the recording buffer" << std::endl;
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    recordSample.reset(buffer);
    recordWritten = 0;
    recordRead = 0;
}

int SoundManager::startRecording()
{
    if (!recordSample)
    {
        std::cout << "ERROR: No recording buffer: call allocRecordBuffer first" << std::endl;
        return 0;
    }
    if (!running)
    {
        std::cout << "ERROR: Sound is not running: cannot record" << std::endl;
        return 0;
    }
    stopRecording();

    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = mixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = MIX_BUFFER_FRAMES;
    wanted.callback = &SoundManager::recordCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts whatever the device gives to this.
    recordDevice = SDL_OpenAudioDevice(nullptr, 1, &wanted, &obtained, 0);
    if (recordDevice == 0)
    {
        std::cout << "ERROR: No recording device (" << SDL_GetError() << ")" << std::endl;
        return 0;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        recordWritten = 0;
        recordRead = 0;
    }
    SDL_PauseAudioDevice(recordDevice, 0);

    // Wait for the first sound so that playback starts behind the recording.
    const Uint32 start = SDL_GetTicks();
    bool started = false;
    while (!started && SDL_GetTicks() - start < RECORD_START_TIMEOUT_MS)
    {
        SDL_Delay(1);
        std::lock_guard<std::mutex> guard(lock);
        started = recordWritten != 0;
    }
    if (!started)
    {
        stopRecording();
        std::cout << "ERROR: The recording device sent no sound" << std::endl;
        return 0;
    }

    if (monitorChunk == nullptr)
    {
        const Uint32 bytes = MIX_BUFFER_FRAMES * mixChannels * sizeof(Sint16);
        monitorBuffer = static_cast<Uint8*>(SDL_calloc(1, bytes));
        monitorChunk = monitorBuffer != nullptr ? Mix_QuickLoad_RAW(monitorBuffer, bytes) : nullptr;
    }
    const int handle = monitorChunk != nullptr ? startChannel(monitorChunk, -1, true) : 0;
    if (handle == 0)
        std::cout << "ERROR: Cannot play the recording (" << Mix_GetError() << ")" << std::endl;
    return handle;
}

void SoundManager::stopRecording()
{
    if (recordDevice == 0)
        return;
    // Returns once the recording callback has finished for good.
    SDL_CloseAudioDevice(recordDevice);
    recordDevice = 0;
}

void SoundManager::updateSpectrum(const char* name)
{
    std::complex<float> data[HISTORY_SIZE];
    {
        std::lock_guard<std::mutex> guard(lock);
        for (int i = 0; i < HISTORY_SIZE; ++i)
            data[i] = history[(historyEnd + i) % HISTORY_SIZE];
    }
    // A Hann window keeps a tone within a bin or two; scaled so that a
    // full-scale sine reads 1.
    for (int i = 0; i < HISTORY_SIZE; ++i)
        data[i] *= 0.5f - 0.5f * std::cos(2.0f * static_cast<float>(M_PI) * i / HISTORY_SIZE);
    fft(data, HISTORY_SIZE);
    for (int i = 0; i < SPECTRUM_SIZE; ++i)
        spectrum[i] = std::min(1.0f, 4.0f * std::abs(data[i]) / HISTORY_SIZE);

    if (name == nullptr)
        name = "";
    for (int slot = 0; slot < MAX_SOUNDS; ++slot)
    {
        if (samples[slot] == nullptr || std::strcmp(names[slot], name) != 0)
            continue;
        const int channel = liveChannel(channels[slot]);
        if (channel < 0)
        {
            levelLeft = 0.0f;
            levelRight = 0.0f;
            continue;
        }
        std::lock_guard<std::mutex> guard(lock);
        levelLeft = channelLeft[channel];
        levelRight = channelRight[channel];
    }
}

void SoundManager::drawSpectrum()
{
    updateSpectrum("funky");
    glPushMatrix();
    float peak = 0.0f;
    int peakIndex = -999;
    for (int i = 0; i < SPECTRUM_SIZE; ++i)
    {
        if (spectrum[i] > peak)
        {
            peak = spectrum[i];
            peakIndex = i;
        }
    }
    lastPeak = peak;
    for (int i = 0; i < SPECTRUM_SIZE; ++i)
    {
        if (i == peakIndex)
            glColor3f(1.0f, 0.0f, 0.0f);
        else
            glColor3f(0.3f, 0.5f, 0.67f);
        const float x = i / 256.0f - 1.0f;
        glBegin(GL_LINES);
        glVertex3f(x, -1.0f, 0.0f);
        glVertex3f(x, spectrum[i] - 1.0f, 0.0f);
        glEnd();
    }
    glPopMatrix();
}

const float* SoundManager::getSpectrum() const
{
    return spectrum;
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
    return lastPeak;
}

void SoundManager::postMix(void* manager, std::uint8_t* stream, int length)
{
    SoundManager& self = *static_cast<SoundManager*>(manager);
    const Sint16* frames = reinterpret_cast<const Sint16*>(stream);
    const int channelCount = std::max(1, self.mixChannels);
    const int frameCount = length / static_cast<int>(sizeof(Sint16)) / channelCount;
    std::lock_guard<std::mutex> guard(self.lock);
    for (int frame = 0; frame < frameCount; ++frame)
    {
        float sum = 0.0f;
        for (int c = 0; c < channelCount; ++c)
            sum += frames[frame * channelCount + c];
        self.history[self.historyEnd] = sum / (32768.0f * channelCount);
        self.historyEnd = (self.historyEnd + 1) % HISTORY_SIZE;
    }
}

void SoundManager::measureChannel(int channel, void* stream, int length, void* manager)
{
    SoundManager& self = *static_cast<SoundManager*>(manager);
    const Sint16* frames = static_cast<const Sint16*>(stream);
    const int channelCount = std::max(1, self.mixChannels);
    const int frameCount = length / static_cast<int>(sizeof(Sint16)) / channelCount;
    int left = 0;
    int right = 0;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        const Sint16* sample = frames + frame * channelCount;
        left = std::max(left, std::abs(static_cast<int>(sample[0])));
        right = std::max(right, std::abs(static_cast<int>(sample[channelCount > 1 ? 1 : 0])));
    }
    if (channel < 0 || channel >= MIXER_CHANNELS)
        return;
    std::lock_guard<std::mutex> guard(self.lock);
    self.channelLeft[channel] = std::min(1.0f, left / 32767.0f);
    self.channelRight[channel] = std::min(1.0f, right / 32767.0f);
}

void SoundManager::playRecording(int, void* stream, int length, void* manager)
{
    SoundManager& self = *static_cast<SoundManager*>(manager);
    Sint16* frames = static_cast<Sint16*>(stream);
    const int channelCount = std::max(1, self.mixChannels);
    const int frameCount = length / static_cast<int>(sizeof(Sint16)) / channelCount;
    std::lock_guard<std::mutex> guard(self.lock);
    const std::int16_t* recorded = self.recordSample.get();
    // Fallen a whole buffer behind: the oldest part is overwritten already.
    if (self.recordWritten - self.recordRead > RECORD_FRAMES)
        self.recordRead = self.recordWritten - RECORD_FRAMES;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        int left = 0;
        int right = 0;
        if (recorded != nullptr && self.recordRead < self.recordWritten)
        {
            const long long at = self.recordRead % RECORD_FRAMES;
            left = recorded[at * 2];
            right = recorded[at * 2 + 1];
            ++self.recordRead;
        }
        Sint16* out = frames + frame * channelCount;
        if (channelCount == 1)
        {
            out[0] = static_cast<Sint16>((left + right) / 2);
            continue;
        }
        out[0] = static_cast<Sint16>(left);
        out[1] = static_cast<Sint16>(right);
        for (int c = 2; c < channelCount; ++c)
            out[c] = 0;
    }
}

void SoundManager::recordCallback(void* manager, std::uint8_t* stream, int length)
{
    SoundManager& self = *static_cast<SoundManager*>(manager);
    const Sint16* frames = reinterpret_cast<const Sint16*>(stream);
    const int frameCount = length / static_cast<int>(2 * sizeof(Sint16));
    std::lock_guard<std::mutex> guard(self.lock);
    std::int16_t* buffer = self.recordSample.get();
    if (buffer == nullptr)
        return;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        const long long at = self.recordWritten % RECORD_FRAMES;
        buffer[at * 2] = frames[frame * 2];
        buffer[at * 2 + 1] = frames[frame * 2 + 1];
        ++self.recordWritten;
    }
}
