#pragma once

#include "glframework/SoundAnalysis.h"
#include "glframework/SoundDevice.h"
#include "glframework/SoundRecorder.h"
#include "glframework/SpectrumDrawing.h"

#include <memory>

// A table of named samples over the platform's sound output (SoundDevice:
// SDL2_mixer on the desktop, Web Audio in the browser): each sound is loaded
// once under a short name and later played or stopped by that name. Every
// operation reports what it did on standard output, one flushed line each;
// errors begin with "ERROR: ".
//
// Plays are identified by channel handles: a positive int naming one play
// on one channel, or 0 for "none". A handle stays tied to its play, so
// stopping a handle whose sound has ended never stops a later sound that
// happens to use the same channel.
//
// On the desktop the manager also measures what it plays: a 512-value
// spectrum of the mixed output and the left and right levels of each
// channel, and it can record from the default recording device and play the
// recording back live. In the browser those operations each print one
// "ERROR: " line saying so and do nothing else.
//
// One manager at a time owns the audio device (the first to call init);
// every operation is called from one thread. The mixer's and the recording
// device's threads only touch the measurement and the recording, each under
// its own lock.
class SoundManager
{
public:
    // Number of slots in the table: at most this many loads.
    static constexpr int MAX_SOUNDS = 32;
    // Number of values in the spectrum, covering 0 Hz to half the mixing
    // rate in equal steps (about 43 Hz each at 44100 Hz).
    // The analysis's own size, which the manager shows as it is.
    static constexpr int SPECTRUM_SIZE = SoundAnalysis::SPECTRUM_SIZE;
    // Frames of the recording buffer allocated by allocRecordBuffer (500
    // seconds of 16-bit stereo at 44100 Hz); recording wraps around in it.
    // The recorder's own buffer, which the manager records with.
    static constexpr int RECORD_FRAMES = SoundRecorder::BUFFER_FRAMES;

    // Prints "Constructing Sound Manager..."; the table starts empty and no
    // sound is running until init.
    SoundManager();
    // Shuts down (see shutdown).
    ~SoundManager();

    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Empties the table and opens the audio device (see SoundDevice::open):
    // on the desktop SDL's audio and the mixer at 44100 Hz with 32 channels;
    // without a usable audio device it prints "Sound device unavailable
    // (<reason>): sound is off" and runs on SDL's silent driver, so loads
    // and plays still work. In the browser one Web Audio context, which
    // plays once the page has had its first click, touch or key. While
    // another manager owns the device, prints "ERROR: Sound device already
    // used by another sound manager". Safe before main.
    void init();
    // Frees what the sound library keeps for the calling thread (its error
    // text). A thread other than the main one that used the manager calls
    // it last; the main thread's is freed when the device closes.
    static void releaseThreadState();

    // Loads file (WAV or MP3) into the next slot under name; played, it
    // repeats until stopped. Prints "Loaded Sound <name>". name is not
    // copied: it must outlive the manager. A file that fails to load still
    // takes its slot, without a sample. A load beyond MAX_SOUNDS is refused.
    // In the browser the file is decoded after the load returns; a play
    // asked for sooner starts once it is decoded (unless stopped first).
    void loadSound(const char* file, const char* name);
    // As loadSound, but the sample plays once. Prints "Loaded loop <name>".
    void loadLoop(const char* file, const char* name);

    // Starts the first sample loaded under name on a free channel and
    // prints "Playing <name>". Returns the play's channel handle, or 0 when
    // the name is unknown or nothing could be played. The search goes over
    // all MAX_SOUNDS slots in order: a slot of that name whose file failed
    // to load prints "ERROR: No sample associated with <name>" and is passed
    // over; without a loaded sample of that name, "ERROR: Sample <name> not
    // found" ends the search. Free slots carry the empty name.
    int playSound(const char* name);
    // Stops the last play of the first sample loaded under name (if it
    // still plays) and prints "Stopping <name>"; searches as playSound.
    void stopSound(const char* name);
    // Kept for old callers: prints "ERROR: StopSound(int) deprecated" and
    // does nothing else.
    void StopSound(int channel);
    // Prints "Stopping all sounds" and stops the last play of every slot.
    void stopAllSounds();
    // Stops all sounds, stops recording and closes the audio device. Also
    // done by the destructor; later operations play nothing.
    void shutdown();

    // Allocates the recording buffer (RECORD_FRAMES frames, silent).
    // Browser: prints "ERROR: Recording is unavailable in the browser".
    void allocRecordBuffer();
    // Starts recording from the default recording device into the buffer,
    // waits until the first sound arrives (at most two seconds) and plays
    // the recording back live. Returns the playback's channel handle, or 0
    // (with an "ERROR: " line) without a buffer or a recording device.
    // Browser: prints "ERROR: Recording is unavailable in the browser" and
    // returns 0.
    int startRecording();
    // Reads the spectrum of the mixed output, and the left and right levels
    // of the last play of the sample loaded under name (0 when that play has
    // ended; with the name in several slots, the last slot counts; an
    // unknown name leaves the levels as they were). Browser: prints "ERROR:
    // The spectrum is unavailable in the browser" and reads nothing.
    void updateSpectrum(const char* name);
    // Draws the spectrum as 512 vertical lines with OpenGL in the square -1..1
    // (x from -1, heights from y = -1 by each value), the highest in red,
    // and remembers that highest value. Needs a current GL context. Browser:
    // prints "ERROR: The spectrum is unavailable in the browser" and draws
    // nothing.
    void drawSpectrum();

    // The spectrum read by the last updateSpectrum: SPECTRUM_SIZE values,
    // each the amplitude of its band, 1 for a full-scale sine.
    const float* getSpectrum() const;
    // Levels read by the last updateSpectrum, 0 (silent) to 1 (full scale).
    float getLevelLeft() const;
    float getLevelRight() const;
    // The highest spectrum value found by the last drawSpectrum.
    float getLastPeak() const;

private:
    void load(const char* file, const char* name, int loops, const char* message);
    // Slot of the first loaded sample named name, or -1; prints the
    // search's error lines (see playSound).
    int findSlot(const char* name) const;
    // Starts sample on a free channel with the level measurement (and, for
    // the recording's playback, the recording fed into it); returns the
    // play's handle, or 0 with the reason in SoundDevice::getError.
    int startChannel(SoundDevice::Sample* sample, int loops, bool playsRecording);
    // Whether this manager has the audio device open.
    bool ownsDevice() const;

    // Behind pointers: they hold what the audio threads share, and its lock.
    std::unique_ptr<SoundAnalysis> analysis;
    std::unique_ptr<SoundRecorder> recorder;
    SpectrumDrawing drawing;

    SoundDevice::Sample* samples[MAX_SOUNDS]; // null where the file failed to load
    const char* names[MAX_SOUNDS];
    int plays[MAX_SOUNDS]; // handle of each slot's last play, 0 before one
    int loops[MAX_SOUNDS]; // -1: repeats when played, 0: plays once
    int count;
    float levelLeft;
    float levelRight;
};
