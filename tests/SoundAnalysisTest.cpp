#include "GlTestWindow.h"

#include "glframework/SoundAnalysis.h"
#include "glframework/SpectrumDrawing.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// The analysis fed known buffers through the operations that the mixer's
// hooks call, so that what it reads does not depend on the audio thread's
// timing.

namespace
{
const int HISTORY = SoundAnalysis::HISTORY_SIZE;

// Interleaved 16-bit frames of a sine that makes band cycles in HISTORY
// frames, so it lies exactly on that band of the spectrum; side c has
// amplitude amplitudes[c] (1 = full scale).
std::vector<std::int16_t> bandTone(int band, int frames, const std::vector<double>& amplitudes)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < frames; ++i)
        for (double amplitude : amplitudes)
            samples.push_back(static_cast<std::int16_t>(
                std::lround(32767.0 * amplitude * std::sin(2.0 * M_PI * band * i / HISTORY))));
    return samples;
}

void feedMixed(SoundAnalysis& analysis, const std::vector<std::int16_t>& samples)
{
    analysis.addMixed(samples.data(), static_cast<int>(samples.size()));
}

int loudestBand(const float* spectrum)
{
    int best = 0;
    for (int i = 1; i < SoundAnalysis::SPECTRUM_SIZE; ++i)
        if (spectrum[i] > spectrum[best])
            best = i;
    return best;
}
} // namespace

// The mixed output's sides are averaged: the spectrum shows the mean of
// their amplitudes on the tone's band, and nothing far from it.
TEST(SoundAnalysisTest, SpectrumShowsTheMeanOfTheSidesOnTheToneBand)
{
    struct Case
    {
        int streamChannels;
        int band;
        std::vector<double> amplitudes;
        float expected;
    };
    const Case cases[] = {
        {2, 23, {0.5, 0.5}, 0.5f},
        {2, 93, {0.6, 0.2}, 0.4f},
        {1, 40, {0.8}, 0.8f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("band " + std::to_string(c.band));
        SoundAnalysis analysis;
        analysis.setStreamChannels(c.streamChannels);
        feedMixed(analysis, bandTone(c.band, HISTORY, c.amplitudes));
        analysis.updateSpectrum();
        const float* spectrum = analysis.getSpectrum();
        EXPECT_EQ(loudestBand(spectrum), c.band);
        EXPECT_NEAR(spectrum[c.band], c.expected, 0.01f);
        EXPECT_LT(spectrum[c.band + 40], 0.001f);
    }
}

// Only the latest HISTORY_SIZE frames count, however the buffers fed split
// them; clear forgets them all.
TEST(SoundAnalysisTest, SpectrumFollowsTheLatestFramesUntilCleared)
{
    SoundAnalysis analysis;
    feedMixed(analysis, bandTone(23, HISTORY, {0.5, 0.5}));
    // Pieces that do not divide the history, so that the ring wraps midway.
    const std::vector<std::int16_t> later = bandTone(93, HISTORY, {0.5, 0.5});
    const int piece = 2 * 100;
    for (int at = 0; at < static_cast<int>(later.size()); at += piece)
        analysis.addMixed(later.data() + at, std::min(piece, static_cast<int>(later.size()) - at));
    analysis.updateSpectrum();
    EXPECT_EQ(loudestBand(analysis.getSpectrum()), 93);
    EXPECT_NEAR(analysis.getSpectrum()[93], 0.5f, 0.01f);
    EXPECT_LT(analysis.getSpectrum()[23], 0.001f);

    analysis.clear();
    analysis.updateSpectrum();
    for (int i = 0; i < SoundAnalysis::SPECTRUM_SIZE; ++i)
        ASSERT_EQ(analysis.getSpectrum()[i], 0.0f) << "band " << i;
}

// Each channel keeps the peaks of each side in its latest buffer, and
// nothing else's.
TEST(SoundAnalysisTest, LevelsArePeaksOfEachSideOfTheChannelsLatestBuffer)
{
    SoundAnalysis analysis;
    const std::vector<std::int16_t> loud = bandTone(10, HISTORY, {0.6, 0.2});
    analysis.addChannelOutput(3, loud.data(), static_cast<int>(loud.size()));
    EXPECT_NEAR(analysis.getLevels(3).left, 0.6f, 0.005f);
    EXPECT_NEAR(analysis.getLevels(3).right, 0.2f, 0.005f);
    EXPECT_EQ(analysis.getLevels(4).left, 0.0f);
    EXPECT_EQ(analysis.getLevels(4).right, 0.0f);

    // A channel beyond the mixer's is ignored rather than taken for another.
    analysis.addChannelOutput(SoundAnalysis::CHANNELS, loud.data(), static_cast<int>(loud.size()));
    EXPECT_EQ(analysis.getLevels(SoundAnalysis::CHANNELS - 1).left, 0.0f);

    const std::vector<std::int16_t> quiet = bandTone(10, 256, {0.1, 0.3});
    analysis.addChannelOutput(3, quiet.data(), static_cast<int>(quiet.size()));
    EXPECT_NEAR(analysis.getLevels(3).left, 0.1f, 0.005f);
    EXPECT_NEAR(analysis.getLevels(3).right, 0.3f, 0.005f);

    // A mono stream's one side gives both levels.
    analysis.setStreamChannels(1);
    const std::vector<std::int16_t> mono = bandTone(10, HISTORY, {0.7});
    analysis.addChannelOutput(0, mono.data(), static_cast<int>(mono.size()));
    EXPECT_NEAR(analysis.getLevels(0).left, 0.7f, 0.005f);
    EXPECT_NEAR(analysis.getLevels(0).right, 0.7f, 0.005f);
}

// The drawing shows the spectrum in the square -1..1 with the loudest band
// in red, and remembers its height.
TEST(SoundAnalysisTest, DrawnSpectrumMarksTheLoudestBandInRed)
{
    ensureGlTestWindow();
    SoundAnalysis analysis;
    feedMixed(analysis, bandTone(100, HISTORY, {0.8, 0.8}));
    analysis.updateSpectrum();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, 800, 600);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SpectrumDrawing drawing;
    drawing.draw(analysis.getSpectrum(), SoundAnalysis::SPECTRUM_SIZE);
    glFinish();
    EXPECT_NEAR(drawing.getLastPeak(), 0.8f, 0.01f);

    // Band i is drawn at x = i / 256 - 1: band 100 near pixel 156 of 800.
    // Its line reaches 0.8 of the way up from the bottom: red at 30%,
    // nothing at 50%; a quiet band far off is not red.
    unsigned char row[800 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    const auto redAt = [&](int y, int fromX, int toX) {
        glReadPixels(0, y, 800, 1, GL_RGB, GL_UNSIGNED_BYTE, row);
        for (int x = fromX; x <= toX; ++x)
            if (row[x * 3] > 200 && row[x * 3 + 1] < 50 && row[x * 3 + 2] < 50)
                return true;
        return false;
    };
    EXPECT_TRUE(redAt(600 * 30 / 100, 154, 158));
    EXPECT_FALSE(redAt(600 * 50 / 100, 0, 799));
    EXPECT_FALSE(redAt(2, 400, 799));
}
