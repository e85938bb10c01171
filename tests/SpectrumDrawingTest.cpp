#include "support/PictureTestSupport.h"

#include "glframework/SoundAnalysis.h"
#include "glframework/SpectrumDrawing.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

// The spectrum drawing, fed a known buffer through the operation that the
// mixer's hook calls, so that what it shows does not depend on the audio
// thread's timing.

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

} // namespace

// The drawing shows the spectrum in the square -1..1 with the loudest band
// in red, and remembers its height.
TEST(SpectrumDrawingTest, DrawnSpectrumMarksTheLoudestBandInRed)
{
    setUpClipSpace();
    SoundAnalysis analysis;
    const std::vector<std::int16_t> tone = bandTone(100, HISTORY, {0.8, 0.8});
    analysis.addMixed(tone.data(), static_cast<int>(tone.size()));
    analysis.updateSpectrum();

    clearFrame();
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
