#pragma once

#include "glframework/SoundDevice.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

struct Mix_Chunk;

// Records 16-bit stereo from the default recording device into a large ring
// buffer and plays the recording back live, in place of a silent chunk
// playing on one mixer channel. Desktop only: the browser's recorder refuses
// (see unavailable) and does nothing.
//
// The recording device's thread feeds the buffer (addRecorded) and the
// mixer's audio thread plays it back (playBack); what they share is guarded
// by the recorder's own lock. Every other operation is for the main thread.
class SoundRecorder
{
public:
    // Frames of the recording buffer (500 seconds of 16-bit stereo at
    // 44100 Hz); recording wraps around in it.
    static constexpr int BUFFER_FRAMES = 22050000;

    // Why this platform cannot record, as the text of an error line; null
    // where it can. Ask before the other operations.
    static const char* unavailable();

    // Starts without a buffer, not recording, for streams of 2 channels.
    SoundRecorder();
    // Stops recording and frees the playback sample (see
    // releasePlaybackChunk).
    ~SoundRecorder();

    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    // Stops recording and puts a fresh, silent buffer of BUFFER_FRAMES frames
    // in place of the old one. Without the memory, prints "ERROR: Cannot
    // allocate the recording buffer" and keeps the old buffer.
    void allocBuffer();
    // Whether a buffer has been allocated.
    bool hasBuffer() const;
    // Interleaved channels in each frame of the mixer's stream that playBack
    // fills (values below 1 count as 1). Set it before the playback starts.
    void setStreamChannels(int count);

    // Stops any recording, then records from the default recording device
    // at rate frames per second into the buffer, from its start, and waits
    // until the first sound arrives (at most two seconds). Needs SDL's audio
    // started and a buffer (without one nothing arrives). Returns false with
    // "ERROR: No recording device (<reason>)" or "ERROR: The recording device
    // sent no sound".
    bool start(int rate);
    // Stops recording; returns once the device's thread has finished.
    void stop();

    // The silent sample that the recording is played back over, made on the
    // first call for the stream's channels; null if it cannot be made. Owned
    // by the recorder. Needs the mixer open.
    SoundDevice::Sample* getPlaybackSample();
    // Hooks into mixer channel's next play so that its sound is replaced by
    // the recording (playBack); the mixer takes the hook off when the play
    // ends. The recorder must outlive the play, or the play its hooks.
    void playBackOn(int channel);
    // Frees the playback sample. Nothing may be playing it any more.
    void releasePlaybackChunk();

    // Adds frameCount recorded 16-bit stereo frames to the buffer; ignored
    // without a buffer.
    void addRecorded(const std::int16_t* frames, int frameCount);
    // Fills sampleCount interleaved 16-bit samples (whole frames of the
    // stream) with the recorded frames not yet played back, silence once it
    // has caught up. Having fallen a whole buffer behind, it skips ahead to
    // the oldest frame still kept.
    void playBack(std::int16_t* samples, int sampleCount);

private:
    struct FreeDeleter
    {
        void operator()(std::int16_t* buffer) const { std::free(buffer); }
    };

    std::uint32_t device;         // SDL recording device, 0 when not recording
    Mix_Chunk* playbackChunk;     // silence that the recording is played over
    std::uint8_t* playbackSilence; // the samples of playbackChunk

    // Shared with the audio threads: everything below is guarded by lock.
    mutable std::mutex lock;
    int streamChannels;
    // Recorded sound, interleaved 16-bit stereo frames; null until allocated.
    std::unique_ptr<std::int16_t, FreeDeleter> buffer;
    long long written; // frames recorded since recording started
    long long read;    // frames of them played back
};
