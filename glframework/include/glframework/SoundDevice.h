#pragma once

class SoundAnalysis;

// The process's audio output and its MIXER_CHANNELS channels: what each
// platform does in its own way, under the plays, handles and names that the
// rest of the sound code keeps alike on both.
//
// On the desktop it is SDL's audio with SDL2_mixer, opened at RATE frames
// per second, 16-bit stereo; without a usable device it falls back to SDL's
// silent driver, so that loads and plays still work with nothing to hear.
// In the browser it is one Web Audio context, each play an
// AudioBufferSourceNode; the context starts the way the browser lets it
// (often suspended) and resumes on the page's first click, touch or key.
//
// The output is one per process, hence only static operations. Main thread
// only; on the desktop the mixer's hooks (measureOutput, measure) run on its
// audio thread.
class SoundDevice
{
public:
    // A decoded sample, made by loadSample and owned by the caller until
    // freeSample; its insides are the platform's.
    struct Sample;

    // Frames per second asked of the desktop's device.
    static constexpr int RATE = 44100;
    // Frames in each buffer that the desktop's audio thread mixes.
    static constexpr int BUFFER_FRAMES = 1024;
    // Channels of the output; each play takes a free one.
    static constexpr int MIXER_CHANNELS = 32;

    SoundDevice() = delete;

    // Opens the output and returns true once it is open (at once when it is
    // open already). Desktop: starts SDL's audio, opens the mixer and MP3
    // decoding; without a usable device prints "Sound device unavailable
    // (<reason>): sound is off" and opens SDL's silent driver instead; only
    // if that fails too it prints "ERROR: Silent sound driver unavailable
    // (<reason>)" and returns false. Without MP3 decoding it prints "ERROR:
    // MP3 decoding unavailable (<reason>)" and stays open. Browser: asks for
    // the audio context, which is made once the next frame has been drawn
    // (decodings and plays wait for it), or, without Web Audio, prints
    // "Sound device unavailable (<reason>): sound is off" and returns false;
    // a context the browser then refuses prints the same line. Safe before
    // main.
    static bool open();
    // Closes the output (desktop: the mixer and SDL's audio, and the rest of
    // SDL when nothing else of it is in use). Whatever plays or is hooked
    // into it must be stopped first. Does nothing unless it is open.
    static void close();
    // Whether the output is open.
    static bool isOpen();
    // Frames per second of the output as last opened; RATE before (and in
    // the browser until its context is made).
    static int getRate();
    // Interleaved channels in each frame of the output as last opened; 2
    // before.
    static int getStreamChannels();

    // Reads file (WAV or MP3) and decodes it whole into a new sample, or
    // returns null with the reason in getError. Needs the output open. In
    // the browser the decoding finishes later: a play asked for before then
    // starts once it has finished, and a file that cannot be decoded prints
    // "ERROR: Could not decode <file> (<reason>)" then. A file that the page
    // is still downloading gives a sample at once, decoded once it arrives.
    static Sample* loadSample(const char* file);
    // Frees sample; nothing may be playing it any more. Null is ignored.
    static void freeSample(Sample* sample);

    // Whether channel (0 to MIXER_CHANNELS - 1) has a play that has not
    // ended; in the browser, one waiting for its sample to decode counts.
    static bool isPlaying(int channel);
    // Starts sample on channel, in place of what played there, repeating
    // loops times more (-1: until stopped, 0: plays once). Returns false
    // with the reason in getError, taking the hooks put on the channel for
    // this play off again. The sample must outlive the play.
    static bool play(int channel, Sample* sample, int loops);
    // Stops channel's play, if any.
    static void halt(int channel);
    // Stops every channel and takes every hook off them.
    static void haltAll();

    // Why this platform cannot measure its output (the spectrum and levels
    // of SoundAnalysis), as the text of an error line; null where it can.
    static const char* measuringUnavailable();
    // Feeds the mixed output to analysis (SoundAnalysis::addMixed) from now
    // on, or to nothing when null; analysis must stay alive until then.
    // Nothing is fed where the output cannot be measured.
    static void measureOutput(SoundAnalysis* analysis);
    // Feeds each buffer of channel's next play to analysis
    // (SoundAnalysis::addChannelOutput) until that play ends; analysis must
    // outlive the play, or the play its hooks (haltAll). Nothing is fed
    // where the output cannot be measured.
    static void measure(int channel, SoundAnalysis& analysis);

    // Why the last failing sound operation failed.
    static const char* getError();
    // Sets what getError returns, for the parts of the sound code that
    // fail on their own. reason is copied.
    static void setError(const char* reason);
    // Frees what the sound library keeps for the calling thread (its error
    // text); see SoundManager::releaseThreadState.
    static void releaseThreadState();
};
