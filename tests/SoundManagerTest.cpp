#include "support/CoutCapture.h"
#include "support/PictureTestSupport.h"
#include "support/RealTime.h"
#include "support/TempFolder.h"

#include "glframework/SoundManager.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const int RATE = 44100;
const long long BYTES_PER_SECOND = RATE * 2 * 2; // 16-bit stereo, as the mixer opens
const double BIN_HZ = RATE / 1024.0;
// Longest wait for the audio thread to reach a state. The disk driver runs
// faster than real time, so only a heavily loaded machine comes near it.
const double AUDIO_TIMEOUT = 10.0;

void put16(std::ofstream& out, int value)
{
    const char bytes[2] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff)};
    out.write(bytes, 2);
}

void put32(std::ofstream& out, std::uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// Interleaved 16-bit frames of a sine: channel c has amplitude amplitudes[c]
// (1 = full scale).
std::vector<int> sineFrames(double frequency, double seconds, const std::vector<double>& amplitudes)
{
    std::vector<int> samples;
    const int frames = static_cast<int>(std::lround(seconds * RATE));
    for (int i = 0; i < frames; ++i)
        for (double amplitude : amplitudes)
            samples.push_back(static_cast<int>(
                std::lround(32767.0 * amplitude * std::sin(2.0 * M_PI * frequency * i / RATE))));
    return samples;
}

void writeWav(const std::string& path, const std::vector<int>& samples, int channelCount)
{
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t bytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, channelCount);
    put32(out, RATE);
    put32(out, RATE * channelCount * 2);
    put16(out, channelCount * 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    for (int sample : samples)
        put16(out, sample);
}

void writeRaw(const std::string& path, const std::vector<int>& samples)
{
    std::ofstream out(path, std::ios::binary);
    for (int sample : samples)
        put16(out, sample);
}

long long fileSize(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<long long>(size);
}

// Waits until the file holds at least bytes; false after timeoutSeconds.
bool waitForSize(const std::string& path, long long bytes, double timeoutSeconds)
{
    return waitUntil([&] { return fileSize(path) >= bytes; }, timeoutSeconds, 0.001);
}

// The left channel of a 16-bit stereo raw file.
std::vector<int> readLeft(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<int> left;
    char frame[4];
    while (in.read(frame, 4))
        left.push_back(static_cast<std::int16_t>((frame[0] & 0xff) | ((frame[1] & 0xff) << 8)));
    return left;
}

// Mean square, in units of full scale, of left[from, to).
double meanSquare(const std::vector<int>& left, long long from, long long to)
{
    double sum = 0.0;
    for (long long i = from; i < to; ++i)
        sum += (left[i] / 32768.0) * (left[i] / 32768.0);
    return to > from ? sum / (to - from) : 0.0;
}

// Sign changes per second in left[from, to): twice the frequency of a tone.
double crossingsPerSecond(const std::vector<int>& left, long long from, long long to)
{
    int crossings = 0;
    int sign = 0;
    for (long long i = from; i < to; ++i)
    {
        const int now = left[i] > 0 ? 1 : (left[i] < 0 ? -1 : 0);
        if (now != 0 && sign != 0 && now != sign)
            ++crossings;
        if (now != 0)
            sign = now;
    }
    return crossings * static_cast<double>(RATE) / (to - from);
}

// left[from, end) without its gaps: runs of two or more zero samples, which
// a sine of the pitches used here never has.
std::vector<int> withoutGaps(const std::vector<int>& left, long long from)
{
    std::vector<int> sound;
    for (long long i = from; i < static_cast<long long>(left.size()); ++i)
    {
        const bool inGap = left[i] == 0 && ((i > from && left[i - 1] == 0) ||
                                            (i + 1 < static_cast<long long>(left.size()) && left[i + 1] == 0));
        if (!inGap)
            sound.push_back(left[i]);
    }
    return sound;
}

int loudestBin(const float* spectrum)
{
    int best = 0;
    for (int i = 1; i < SoundManager::SPECTRUM_SIZE; ++i)
        if (spectrum[i] > spectrum[best])
            best = i;
    return best;
}

bool near(float value, float expected, float tolerance)
{
    return std::fabs(value - expected) <= tolerance;
}

// Polls condition until it holds; false once AUDIO_TIMEOUT has passed.
// For what the audio thread does in its own time: whatever the condition
// read last is left for the test to check.
bool heardSoon(const std::function<bool()>& condition)
{
    return waitUntil(condition, AUDIO_TIMEOUT, 0.001);
}

// What the last updateSpectrum read, for failure messages.
std::string heard(const SoundManager& sound)
{
    const int band = loudestBin(sound.getSpectrum());
    std::ostringstream out;
    out << "loudest band " << band << " at " << sound.getSpectrum()[band] << ", levels "
        << sound.getLevelLeft() << " left, " << sound.getLevelRight() << " right";
    return out.str();
}

// Every test gets its own folder and an audio driver chosen by environment
// before the manager starts SDL; SDL is shut down again by each manager.
class SoundManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir.empty());
        output = dir + "/out.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1); // faster than real time
        setenv("SDL_DISKAUDIOFILEIN", (dir + "/in.raw").c_str(), 1);
    }

    // A mono sine WAV in the test's folder; returns its path.
    std::string tone(const std::string& file, double frequency, double seconds, double amplitude = 0.5)
    {
        const std::string path = dir + "/" + file;
        writeWav(path, sineFrames(frequency, seconds, {amplitude}), 1);
        return path;
    }

    // Lets the output run on by at least seconds of sound.
    void runFor(double seconds)
    {
        ASSERT_TRUE(waitForSize(output, fileSize(output) + static_cast<long long>(seconds * BYTES_PER_SECOND), 10));
    }

    // The left channel of the output around a stop, with the frames written
    // when the play was marked, just before stop ran and just after it.
    struct AroundStop
    {
        std::vector<int> left;
        long long started = 0;
        long long beforeStop = 0;
        long long afterStop = 0;
    };

    // Marks what plays now, lets it sound for playSeconds, runs stop, lets
    // the output run on for 0.5 s and shuts the manager down. Everything
    // written later but mixed before the marks fits in MARGIN frames.
    AroundStop recordAroundStop(SoundManager& sound, double playSeconds, const std::function<void()>& stop)
    {
        AroundStop heard;
        heard.started = fileSize(output) / 4;
        runFor(playSeconds);
        heard.beforeStop = fileSize(output) / 4;
        stop();
        heard.afterStop = fileSize(output) / 4;
        runFor(0.5);
        sound.shutdown();
        heard.left = readLeft(output);
        return heard;
    }

    // After the stop and its margin, at least a quarter second of silence.
    static void expectSilentAfterStop(const AroundStop& heard)
    {
        ASSERT_GT(static_cast<long long>(heard.left.size()), heard.afterStop + MARGIN + RATE / 4);
        EXPECT_EQ(meanSquare(heard.left, heard.afterStop + MARGIN, heard.left.size()), 0.0);
    }

    static constexpr long long MARGIN = RATE / 10; // device and file buffers

    const TempFolder scratch{"lumen-sound"};
    const std::string& dir = scratch.path;
    std::string output;
};
} // namespace

TEST_F(SoundManagerTest, TheGameSoundsLoadInOrderAndTheMusicDecodes)
{
    const std::string sounds = std::string(LUMEN_SOURCE_DIR) + "/sounds/";
    SoundManager sound;
    sound.init();
    CoutCapture capture;
    sound.loadSound((sounds + "bg.mp3").c_str(), "bg");
    sound.loadLoop((sounds + "trans.wav").c_str(), "transfer");
    sound.loadLoop((sounds + "accept.wav").c_str(), "accept");
    sound.loadLoop((sounds + "gong.wav").c_str(), "gong");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"Loaded Sound bg", "Loaded loop transfer",
                                                         "Loaded loop accept", "Loaded loop gong"}));
    EXPECT_NE(sound.playSound("bg"), 0);
    EXPECT_TRUE(heardSoon([&] {
        sound.updateSpectrum("bg");
        return sound.getLevelLeft() + sound.getLevelRight() > 0.05f;
    })) << heard(sound);
}

TEST_F(SoundManagerTest, ConstructionPlayAndStopPrintTheirLines)
{
    std::unique_ptr<SoundManager> sound;
    {
        CoutCapture capture;
        sound = std::make_unique<SoundManager>();
        EXPECT_EQ(capture.lines(), std::vector<std::string>{"Constructing Sound Manager..."});
    }
    sound->init();
    sound->loadLoop(tone("gong.wav", 440.0, 0.5).c_str(), "gong");
    CoutCapture capture;
    EXPECT_NE(sound->playSound("gong"), 0);
    sound->stopSound("gong");
    sound->StopSound(3);
    sound->stopAllSounds();
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"Playing gong", "Stopping gong",
                                                         "ERROR: StopSound(int) deprecated",
                                                         "Stopping all sounds"}));
}

TEST_F(SoundManagerTest, NameSearchReportsMissingSamplesAndNames)
{
    SoundManager sound;
    sound.init();
    sound.loadLoop(tone("a.wav", 440.0, 0.2).c_str(), "a");
    {
        CoutCapture capture;
        sound.loadLoop((dir + "/missing.wav").c_str(), "ghost");
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0].rfind("ERROR: Could not load ", 0), 0u) << capture.lines()[0];
    }
    {
        // Every search passes the failed slot with a line of its own, then
        // finds no loaded sample: nothing plays.
        CoutCapture capture;
        EXPECT_EQ(sound.playSound("ghost"), 0);
        sound.stopSound("ghost");
        EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                       "ERROR: No sample associated with ghost", "ERROR: Sample ghost not found",
                                       "ERROR: No sample associated with ghost", "ERROR: Sample ghost not found"}));
    }
    {
        CoutCapture capture;
        EXPECT_EQ(sound.playSound("never"), 0);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{"ERROR: Sample never not found"});
    }
    {
        // The 30 free slots carry the empty name but hold no sample.
        CoutCapture capture;
        EXPECT_EQ(sound.playSound(""), 0);
        std::vector<std::string> expected(SoundManager::MAX_SOUNDS - 2, "ERROR: No sample associated with ");
        expected.push_back("ERROR: Sample  not found");
        EXPECT_EQ(capture.lines(), expected);
    }
    {
        // A later load of the same name is found past the failed slot.
        sound.loadLoop(tone("ghost.wav", 330.0, 0.2).c_str(), "ghost");
        CoutCapture capture;
        EXPECT_NE(sound.playSound("ghost"), 0);
        EXPECT_EQ(capture.lines(),
                  (std::vector<std::string>{"ERROR: No sample associated with ghost", "Playing ghost"}));
    }
}

TEST_F(SoundManagerTest, ALoadBeyondTheTableIsRefused)
{
    SoundManager sound;
    sound.init();
    const std::string file = tone("t.wav", 440.0, 0.1);
    std::vector<std::string> names;
    for (int i = 0; i <= SoundManager::MAX_SOUNDS; ++i)
        names.push_back("s" + std::to_string(i));
    for (int i = 0; i < SoundManager::MAX_SOUNDS; ++i)
        sound.loadLoop(file.c_str(), names[i].c_str());
    CoutCapture capture;
    sound.loadLoop(file.c_str(), names.back().c_str());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0].rfind("ERROR: ", 0), 0u) << capture.lines()[0];
    EXPECT_EQ(sound.playSound(names.back().c_str()), 0);
    EXPECT_NE(sound.playSound(names[SoundManager::MAX_SOUNDS - 1].c_str()), 0);
}

// With every channel taken by a play that repeats, one more play is
// refused with the reason; stopping one of them frees a channel for it.
TEST_F(SoundManagerTest, APlayBeyondTheChannelsIsRefusedUntilOneIsStopped)
{
    SoundManager sound;
    sound.init();
    sound.loadSound(tone("hum.wav", 440.0, 0.2).c_str(), "hum");
    for (int play = 0; play < 32; ++play)
        ASSERT_NE(sound.playSound("hum"), 0) << "play " << play;
    {
        CoutCapture capture;
        EXPECT_EQ(sound.playSound("hum"), 0);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{"ERROR: Cannot play hum (all 32 channels are busy)"});
    }
    sound.stopSound("hum");
    EXPECT_NE(sound.playSound("hum"), 0);
}

// Every one of the 32 slots plays on a channel of its own; stopping all
// frees all 32 channels, the last slot's included.
TEST_F(SoundManagerTest, StoppingAllFreesTheChannelOfEverySlot)
{
    SoundManager sound;
    sound.init();
    const std::string file = tone("hum.wav", 440.0, 0.2);
    std::vector<std::string> names;
    for (int slot = 0; slot < SoundManager::MAX_SOUNDS; ++slot)
        names.push_back("hum" + std::to_string(slot));
    for (const std::string& name : names)
        sound.loadSound(file.c_str(), name.c_str());
    for (int round = 0; round < 2; ++round)
    {
        for (const std::string& name : names)
            ASSERT_NE(sound.playSound(name.c_str()), 0) << name << " in round " << round;
        sound.stopAllSounds();
    }
}

// Without the device open, loads fail with the reason and take their slot
// without a sample; a shut-down manager has let its samples go.
TEST_F(SoundManagerTest, BeforeInitAndAfterShutdownNothingLoadsOrPlays)
{
    const std::string file = tone("t.wav", 440.0, 0.2);
    SoundManager sound;
    {
        CoutCapture capture;
        sound.loadLoop(file.c_str(), "early");
        EXPECT_EQ(sound.playSound("early"), 0);
        EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                       "ERROR: Could not load " + file + " as early (sound is not running)",
                                       "ERROR: No sample associated with early", "ERROR: Sample early not found"}));
    }
    sound.init();
    sound.loadLoop(file.c_str(), "tone");
    sound.shutdown();
    CoutCapture capture;
    EXPECT_EQ(sound.playSound("tone"), 0);
    sound.loadLoop(file.c_str(), "late");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "ERROR: No sample associated with tone", "ERROR: Sample tone not found",
                                   "ERROR: Could not load " + file + " as late (sound is not running)"}));
}

// One manager at a time owns the device: another is refused while the
// first has it, and going away leaves the first playing and measuring; once
// the first has shut down, the next manager opens the device.
TEST_F(SoundManagerTest, TheDeviceBelongsToOneManagerAtATime)
{
    const std::string file = tone("hum.wav", 440.0, 0.2);
    SoundManager first;
    first.init();
    first.loadSound(file.c_str(), "hum");
    {
        SoundManager second;
        CoutCapture capture;
        second.init();
        EXPECT_EQ(capture.lines(),
                  std::vector<std::string>{"ERROR: Sound device already used by another sound manager"});
    }
    ASSERT_NE(first.playSound("hum"), 0);
    EXPECT_TRUE(heardSoon([&] {
        first.updateSpectrum("hum");
        return first.getLevelLeft() > 0.4f;
    })) << heard(first);
    first.shutdown();

    SoundManager next;
    CoutCapture capture;
    next.init();
    next.loadSound(file.c_str(), "hum");
    EXPECT_NE(next.playSound("hum"), 0);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"Loaded Sound hum", "Playing hum"}));
}

// A repeating sample sounds on past its own length until it is stopped,
// then the output falls silent.
TEST_F(SoundManagerTest, RepeatingSoundReachesTheOutputUntilStopped)
{
    SoundManager sound;
    sound.init();
    sound.loadSound(tone("hum.wav", 1000.0, 0.2).c_str(), "hum");
    ASSERT_NE(sound.playSound("hum"), 0);
    // Five lengths of the sample.
    const AroundStop heard = recordAroundStop(sound, 1.0, [&] { sound.stopSound("hum"); });

    ASSERT_GT(heard.beforeStop - heard.started, RATE);
    EXPECT_NEAR(meanSquare(heard.left, heard.started + MARGIN, heard.beforeStop), 0.5 * 0.5 / 2, 0.01);
    EXPECT_NEAR(crossingsPerSecond(heard.left, heard.started + MARGIN, heard.beforeStop), 2000.0, 20.0);
    expectSilentAfterStop(heard);
}

// The game's music is the first sound it loads, so it lives in the first
// slot: stopping all sounds must reach that slot as well as the later ones.
TEST_F(SoundManagerTest, StoppingAllSilencesEverySlotTheFirstIncluded)
{
    SoundManager sound;
    sound.init();
    sound.loadSound(tone("music.wav", 300.0, 0.2).c_str(), "music");
    sound.loadSound(tone("hum.wav", 1000.0, 0.2).c_str(), "hum");
    ASSERT_NE(sound.playSound("music"), 0);
    ASSERT_NE(sound.playSound("hum"), 0);
    const AroundStop heard = recordAroundStop(sound, 0.3, [&] { sound.stopAllSounds(); });

    ASSERT_GT(heard.beforeStop - heard.started, 2 * MARGIN);
    // Both heard, then neither.
    EXPECT_NEAR(meanSquare(heard.left, heard.started + MARGIN, heard.beforeStop), 2 * 0.5 * 0.5 / 2, 0.02);
    expectSilentAfterStop(heard);
}

TEST_F(SoundManagerTest, OnceOnlySoundEndsAfterItsLength)
{
    SoundManager sound;
    sound.init();
    sound.loadLoop(tone("blip.wav", 1000.0, 0.2).c_str(), "blip");
    ASSERT_NE(sound.playSound("blip"), 0);
    runFor(1.0);
    sound.shutdown();

    const std::vector<int> left = readLeft(output);
    long long first = -1;
    long long last = -1;
    for (long long i = 0; i < static_cast<long long>(left.size()); ++i)
        if (left[i] != 0)
        {
            if (first < 0)
                first = i;
            last = i;
        }
    ASSERT_GE(first, 0);
    EXPECT_NEAR(last - first + 1, RATE / 5, 5);
    EXPECT_LT(last, static_cast<long long>(left.size()) - RATE / 2);
}

// Handles name one play: stopping a sound that never played, or whose play
// has ended, leaves the sound now on that channel alone.
TEST_F(SoundManagerTest, StaleOrEmptyHandlesStopNothingElse)
{
    SoundManager sound;
    sound.init();
    sound.loadLoop(tone("blip.wav", 2000.0, 0.05).c_str(), "blip");
    sound.loadSound(tone("hum.wav", 500.0, 0.2).c_str(), "hum");
    sound.loadLoop(tone("quiet.wav", 700.0, 0.2).c_str(), "quiet");
    const int blip = sound.playSound("blip");
    ASSERT_NE(blip, 0);
    runFor(0.5); // the blip has ended
    const int hum = sound.playSound("hum");
    ASSERT_NE(hum, 0);
    EXPECT_NE(hum, blip);

    sound.stopSound("blip");
    sound.stopSound("quiet");
    // A hum stopped by mistake would read 0 from now on and never get there.
    EXPECT_TRUE(heardSoon([&] {
        sound.updateSpectrum("hum");
        return near(sound.getLevelLeft(), 0.5f, 0.02f) && near(sound.getLevelRight(), 0.5f, 0.02f);
    })) << heard(sound);

    sound.stopAllSounds();
    EXPECT_TRUE(heardSoon([&] {
        sound.updateSpectrum("hum");
        return sound.getSpectrum()[loudestBin(sound.getSpectrum())] < 0.001f;
    })) << heard(sound);
    EXPECT_EQ(sound.getLevelLeft(), 0.0f);
}

// The real audio thread feeds the analysis: what it mixes shows in the
// spectrum and in the levels of the sound's own channel. (A known buffer
// analysed and drawn is in SpectrumDrawingTest.)
TEST_F(SoundManagerTest, SpectrumPeaksAtTheToneAndLevelsFollowEachSide)
{
    SoundManager sound;
    sound.init();
    const double low = 23 * BIN_HZ;
    const double high = 93 * BIN_HZ;
    sound.loadSound(tone("low.wav", low, 0.5).c_str(), "low");
    const std::string stereo = dir + "/high.wav";
    writeWav(stereo, sineFrames(high, 0.5, {0.6, 0.2}), 2);
    sound.loadSound(stereo.c_str(), "high");
    // The audio thread mixes in its own time, and where a repeat joins the
    // spectrum smears for a moment: wait until it reads the tone.
    const auto hears = [&](const char* name, int band, float amplitude, float left, float right) {
        return heardSoon([&] {
            sound.updateSpectrum(name);
            return loudestBin(sound.getSpectrum()) == band && near(sound.getSpectrum()[band], amplitude, 0.05f) &&
                   near(sound.getLevelLeft(), left, 0.02f) && near(sound.getLevelRight(), right, 0.02f);
        });
    };

    ASSERT_NE(sound.playSound("low"), 0);
    EXPECT_TRUE(hears("low", 23, 0.5f, 0.5f, 0.5f)) << heard(sound);
    sound.stopSound("low");

    ASSERT_NE(sound.playSound("high"), 0);
    // The spectrum shows the mean of both sides.
    EXPECT_TRUE(hears("high", 93, 0.4f, 0.6f, 0.2f)) << heard(sound);
}

// Drawing reads the live spectrum of what plays and remembers its highest
// value; how the lines look is checked on the drawing itself, fed a known
// spectrum.
TEST_F(SoundManagerTest, DrawnSpectrumFollowsThePlayingSound)
{
    setUpClipSpace();
    SoundManager sound;
    sound.init();
    sound.loadSound(tone("tone.wav", 100 * BIN_HZ, 0.5, 0.8).c_str(), "tone");
    ASSERT_NE(sound.playSound("tone"), 0);

    // Drawn afresh until the audio thread has mixed the tone.
    EXPECT_TRUE(heardSoon([&] {
        clearFrame();
        sound.drawSpectrum();
        return loudestBin(sound.getSpectrum()) == 100 && near(sound.getLastPeak(), 0.8f, 0.05f);
    })) << "last peak " << sound.getLastPeak() << " of band " << loudestBin(sound.getSpectrum());
    // Drawing left pending would be rendered while the process ends, when
    // the software renderer can no longer do it safely.
    glFinish();
}

TEST_F(SoundManagerTest, WithoutADeviceSoundIsOffButLoadsAndPlaysWork)
{
    // A driver that does not exist, and, on a machine without a sound card,
    // ALSA, which starts but finds no output to open.
    std::vector<std::string> drivers = {"no-such-driver"};
    std::ifstream cards("/proc/asound/cards");
    const std::string firstLine = [&cards] {
        std::string line;
        std::getline(cards, line);
        return line;
    }();
    if (!cards.is_open() || firstLine.find("no soundcards") != std::string::npos)
        drivers.push_back("alsa");
    for (const std::string& driver : drivers)
    {
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
        SoundManager sound;
        CoutCapture capture;
        sound.init();
        ASSERT_EQ(capture.lines().size(), 1u) << driver;
        const std::string line = capture.lines()[0];
        EXPECT_EQ(line.rfind("Sound device unavailable (", 0), 0u) << line;
        EXPECT_EQ(line.substr(line.size() - 15), "): sound is off") << line;
        sound.loadLoop(tone("t.wav", 440.0, 0.2).c_str(), "tone");
        EXPECT_NE(sound.playSound("tone"), 0);
        EXPECT_EQ(capture.lines().back(), "Playing tone");
        EXPECT_EQ(capture.lines().size(), 3u);
    }
    // The silent stand-in does not stick: the next start uses the driver asked for.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    SoundManager sound;
    CoutCapture capture;
    sound.init();
    EXPECT_TRUE(capture.lines().empty());
    EXPECT_TRUE(waitForSize(output, BYTES_PER_SECOND / 10, 10));
}

TEST_F(SoundManagerTest, RecordingNeedsABufferAndADevice)
{
    SoundManager sound;
    sound.init();
    {
        CoutCapture capture;
        EXPECT_EQ(sound.startRecording(), 0);
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_EQ(capture.lines()[0].rfind("ERROR: ", 0), 0u) << capture.lines()[0];
    }
    sound.allocRecordBuffer();
    CoutCapture capture;
    // The disk driver records from SDL_DISKAUDIOFILEIN, which does not exist.
    EXPECT_EQ(sound.startRecording(), 0);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0].rfind("ERROR: No recording device (", 0), 0u) << capture.lines()[0];
}

TEST_F(SoundManagerTest, RecordedSoundIsPlayedBack)
{
    writeRaw(dir + "/in.raw", sineFrames(1500.0, 1.0, {0.5, 0.5}));
    SoundManager sound;
    sound.init();
    sound.allocRecordBuffer();
    const long long started = fileSize(output) / 4;
    ASSERT_NE(sound.startRecording(), 0);
    // All of the recorded second comes out, however the two threads are
    // given the processor, and then nothing else.
    const double recorded = RATE * 0.5 * 0.5 / 2;
    const auto energy = [&] {
        const std::vector<int> left = readLeft(output);
        return meanSquare(left, started, left.size()) * (left.size() - started);
    };
    EXPECT_TRUE(waitUntil([&] { return energy() >= recorded - RATE * 0.005; }, AUDIO_TIMEOUT, 0.05));
    runFor(1.0);
    sound.shutdown();
    EXPECT_NEAR(energy(), recorded, RATE * 0.005);
    const std::vector<int> left = readLeft(output);
    // The disk driver records and plays as fast as it can, each on its own
    // thread: where the playback overtakes the recording it falls silent
    // until more is recorded. The recording itself keeps its pitch.
    const std::vector<int> played = withoutGaps(left, started);
    ASSERT_GT(static_cast<long long>(played.size()), RATE / 2);
    EXPECT_NEAR(crossingsPerSecond(played, 0, RATE / 2), 3000.0, 20.0);
}

// Closing while the audio thread plays and measures: afterwards nothing
// more is written, and a new manager starts cleanly.
TEST_F(SoundManagerTest, DestroyingWhilePlayingEndsTheOutput)
{
    const std::string file = tone("hum.wav", 440.0, 0.3);
    for (int round = 0; round < 5; ++round)
    {
        auto sound = std::make_unique<SoundManager>();
        sound->init();
        sound->loadSound(file.c_str(), "hum");
        ASSERT_NE(sound->playSound("hum"), 0);
        EXPECT_TRUE(heardSoon([&] {
            sound->updateSpectrum("hum");
            return sound->getLevelLeft() > 0.4f;
        })) << heard(*sound);
        sound.reset();
        const long long closed = fileSize(output);
        pause(0.02);
        EXPECT_EQ(fileSize(output), closed);
    }
}
