#pragma once

#include "glframework/SoundDevice.h"

#include <cstdint>
#include <mutex>

// Measures what the mixer plays: the spectrum of the mixed output and the
// left and right levels of each mixer channel's latest buffer.
//
// The desktop's audio thread feeds it, through the hooks that
// SoundDevice::measureOutput and SoundDevice::measure put into the mixer, by
// calling addMixed and addChannelOutput; any other caller may feed it the
// same way. The main thread reads it. What the two share is guarded by the
// analysis's own lock.
class SoundAnalysis
{
public:
    // Number of values in the spectrum, covering 0 Hz to half the mixing
    // rate in equal bands (about 43 Hz each at 44100 Hz).
    static constexpr int SPECTRUM_SIZE = 512;
    // Mixed frames that the spectrum is computed from: the latest ones fed.
    static constexpr int HISTORY_SIZE = 2 * SPECTRUM_SIZE;
    // Channels measured: mixer channels 0 to CHANNELS - 1.
    static constexpr int CHANNELS = SoundDevice::MIXER_CHANNELS;

    // Peak levels of one buffer, 0 (silent) to 1 (full scale).
    struct Levels
    {
        float left;
        float right;
    };

    // Starts silent: an empty history, every level 0, streams of 2 channels.
    SoundAnalysis();

    SoundAnalysis(const SoundAnalysis&) = delete;
    SoundAnalysis& operator=(const SoundAnalysis&) = delete;

    // Interleaved channels in each frame of the streams fed in (values below
    // 1 count as 1). Set it before the streams that use it are fed.
    void setStreamChannels(int count);
    // Forgets the mixed output fed so far: the history is silent again.
    void clear();

    // Feeds mixed output: sampleCount 16-bit samples, interleaved, whole
    // frames. Mixed to mono, the latest HISTORY_SIZE frames are kept.
    void addMixed(const std::int16_t* samples, int sampleCount);
    // Feeds one buffer of channel's output (sampleCount interleaved 16-bit
    // samples): the channel's levels become the peaks of each side in it,
    // both from the one side of a mono stream. Other channels than 0 to
    // CHANNELS - 1 are ignored.
    void addChannelOutput(int channel, const std::int16_t* samples, int sampleCount);

    // Computes the spectrum of the latest HISTORY_SIZE frames fed.
    void updateSpectrum();
    // The spectrum computed by the last updateSpectrum: SPECTRUM_SIZE values,
    // each the amplitude of its band, 1 for a full-scale sine (and at most 1).
    // Owned by the analysis; valid while it lives.
    const float* getSpectrum() const;
    // Levels of channel's latest buffer fed; 0 for a channel not yet fed or
    // outside 0 to CHANNELS - 1.
    Levels getLevels(int channel) const;

private:
    float spectrum[SPECTRUM_SIZE]; // main thread only

    // Shared with the audio thread: everything below is guarded by lock.
    mutable std::mutex lock;
    int streamChannels;
    float history[HISTORY_SIZE]; // latest mixed frames, mono, a ring
    int historyEnd;              // next write position in history
    Levels channelLevels[CHANNELS];
};
