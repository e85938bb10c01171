#pragma once

#include "glframework/SoundDevice.h"

// The output's channels and the plays on them. Each play is named by a
// handle: a positive int tied to that one play, or 0 for "none". Stopping by
// a handle whose play has ended never stops a later play that happens to use
// the same channel.
//
// The channels belong to the whole process, and so does the record of which
// play runs on each; hence only static operations. Main thread only.
class SoundChannels
{
public:
    SoundChannels() = delete;

    // The first channel that is not playing, so that a caller can hook its
    // measurements onto it before the play starts (see play). -1, with the
    // reason in SoundDevice::getError, when the output is closed or every
    // channel is busy.
    static int freeChannel();
    // Starts sample on channel, a channel from freeChannel, playing loops
    // times more (-1: repeats until stopped, 0: plays once), and returns the
    // play's handle. On failure returns 0 with the reason in
    // SoundDevice::getError and takes the hooks put on the channel for the
    // play off again. The sample stays the caller's and must outlive the play.
    static int play(int channel, SoundDevice::Sample* sample, int loops);
    // Channel of the play named by handle while it plays, else -1.
    static int liveChannel(int handle);
    // Stops the play named by handle if it still plays; else does nothing.
    static void stop(int handle);
    // Forgets every play: handles given out before stop nothing from now on.
    static void forgetPlays();
};
