#include "glframework/SoundAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <iterator>

namespace
{
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

SoundAnalysis::SoundAnalysis() : spectrum(), streamChannels(2), history(), historyEnd(0), channelLevels()
{
}

void SoundAnalysis::setStreamChannels(int count)
{
    std::lock_guard<std::mutex> guard(lock);
    streamChannels = std::max(1, count);
}

void SoundAnalysis::clear()
{
    std::lock_guard<std::mutex> guard(lock);
    std::fill(std::begin(history), std::end(history), 0.0f);
    historyEnd = 0;
}

void SoundAnalysis::addMixed(const std::int16_t* samples, int sampleCount)
{
    std::lock_guard<std::mutex> guard(lock);
    const int frameCount = sampleCount / streamChannels;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        float sum = 0.0f;
        for (int c = 0; c < streamChannels; ++c)
            sum += samples[frame * streamChannels + c];
        history[historyEnd] = sum / (32768.0f * streamChannels);
        historyEnd = (historyEnd + 1) % HISTORY_SIZE;
    }
}

void SoundAnalysis::addChannelOutput(int channel, const std::int16_t* samples, int sampleCount)
{
    if (channel < 0 || channel >= CHANNELS)
        return;
    std::lock_guard<std::mutex> guard(lock);
    const int frameCount = sampleCount / streamChannels;
    const int rightSide = streamChannels > 1 ? 1 : 0;
    int left = 0;
    int right = 0;
    for (int frame = 0; frame < frameCount; ++frame)
    {
        const std::int16_t* sample = samples + frame * streamChannels;
        left = std::max(left, std::abs(static_cast<int>(sample[0])));
        right = std::max(right, std::abs(static_cast<int>(sample[rightSide])));
    }
    channelLevels[channel].left = std::min(1.0f, left / 32767.0f);
    channelLevels[channel].right = std::min(1.0f, right / 32767.0f);
}

void SoundAnalysis::updateSpectrum()
{
    std::complex<float> data[HISTORY_SIZE];
    {
        std::lock_guard<std::mutex> guard(lock);
        for (int i = 0; i < HISTORY_SIZE; ++i)
            data[i] = history[(historyEnd + i) % HISTORY_SIZE];
    }
    // A Hann window keeps a tone within a band or two; scaled so that a
    // full-scale sine reads 1.
    for (int i = 0; i < HISTORY_SIZE; ++i)
        data[i] *= 0.5f - 0.5f * std::cos(2.0f * static_cast<float>(M_PI) * i / HISTORY_SIZE);
    fft(data, HISTORY_SIZE);
    for (int i = 0; i < SPECTRUM_SIZE; ++i)
        spectrum[i] = std::min(1.0f, 4.0f * std::abs(data[i]) / HISTORY_SIZE);
}

const float* SoundAnalysis::getSpectrum() const
{
    return spectrum;
}

SoundAnalysis::Levels SoundAnalysis::getLevels(int channel) const
{
    if (channel < 0 || channel >= CHANNELS)
        return Levels{0.0f, 0.0f};
    std::lock_guard<std::mutex> guard(lock);
    return channelLevels[channel];
}
