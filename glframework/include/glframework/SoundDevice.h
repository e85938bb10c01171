#pragma once

// The process's audio output: SDL's audio and SDL2_mixer opened at RATE
// frames per second, 16-bit stereo, with MIXER_CHANNELS channels. Without a
// usable device it falls back to SDL's silent driver, so that loads and plays
// still work with nothing to hear.
//
// The mixer is one per process, so one device object at a time can have it
// open; the others are refused until it closes. Main thread only.
class SoundDevice
{
public:
    // Frames per second asked of the device.
    static constexpr int RATE = 44100;
    // Frames in each buffer that the audio thread mixes.
    static constexpr int BUFFER_FRAMES = 1024;
    // Mixer channels opened; each play takes a free one.
    static constexpr int MIXER_CHANNELS = 32;

    // Starts closed.
    SoundDevice();
    // Closes the device (see close).
    ~SoundDevice();

    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Starts SDL's audio, opens the mixer and MP3 decoding, and returns true
    // once the mixer is open (at once when this device has it open already).
    // While another device object has it open, prints "ERROR: Sound device
    // already used by another sound manager" and returns false. Without a
    // usable device, prints "Sound device unavailable (<reason>): sound is
    // off" and opens SDL's silent driver instead; only if that fails too it
    // prints "ERROR: Silent sound driver unavailable (<reason>)" and returns
    // false. Without MP3 decoding it prints "ERROR: MP3 decoding unavailable
    // (<reason>)" and stays open. Safe before main.
    bool open();
    // Closes the mixer and SDL's audio, and the rest of SDL when nothing else
    // of it is in use. Whatever plays or is hooked into the mixer must be
    // stopped first. Does nothing unless this device is open.
    void close();
    // Whether this device has the mixer open.
    bool isOpen() const;

    // Frames per second of the mixer as last opened; RATE before.
    int getRate() const;
    // Interleaved channels in each frame of the mixer's stream as last
    // opened; 2 before.
    int getStreamChannels() const;

    // Whether the mixer is open in this process, by any device object.
    static bool isMixerOpen();

private:
    bool opened;
    int rate;
    int streamChannels;
};
