#include "glframework/SoundDevice.h"

#include "glframework/Log.h"

#include <emscripten.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The browser's output: one Web Audio context, each play an
// AudioBufferSourceNode straight into the context's destination. What the
// page's script side keeps (the context, the decoded buffers, the plays on
// each channel) lives in Module.lumenSound; the functions below are this
// file's only way into it. Module.soundPlays() gives a copy of the counts of
// sources started and ended (stopped ones included), of the channels playing,
// of the context's state and of the samples decoded and still to be decoded,
// for checking from the page that sound really plays.

struct SoundDevice::Sample
{
    int id; // index of the sample's entry in Module.lumenSound.samples
};

namespace
{
bool opened = false;
int openedRate = SoundDevice::RATE;
std::string lastError;

// The whole of a file in Emscripten's file system; false with the reason in
// lastError.
bool readFile(const char* file, std::vector<unsigned char>& bytes)
{
    std::FILE* in = std::fopen(file, "rb");
    if (in == nullptr)
    {
        lastError = std::strerror(errno);
        return false;
    }
    // The in-memory file system knows each file's size.
    const long size = std::fseek(in, 0, SEEK_END) == 0 ? std::ftell(in) : -1;
    std::rewind(in);
    bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    const bool read = size >= 0 && std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    if (!read)
        lastError = "cannot read the file";
    return read;
}
} // namespace

// Makes, on the first call of the page, the script side that every other
// function here works on, and the listeners that resume a context the
// browser started suspended; then asks for a new context, made once the
// next frame has been drawn: making a page's first audio context can take a
// good part of a second, which the first screen does not wait for, and the
// game's first sounds come later. Decodings and plays asked for before then
// wait for it. Returns the rate asked for, or 0 with the reason written into
// failure.
EM_JS(int, lumenSoundOpen, (char* failure, int failureSize, int rate), {
    var Context = globalThis.AudioContext || globalThis.webkitAudioContext;
    if (!Context) {
        stringToUTF8('this browser has no Web Audio', failure, failureSize);
        return 0;
    }
    var sound = Module['lumenSound'];
    if (!sound) {
        sound = {context: null, samples: [], channels: [], started: 0, ended: 0};
        Module['lumenSound'] = sound;
        sound.start = function(play) {
            var source = sound.context.createBufferSource();
            source.buffer = sound.samples[play.sample].buffer;
            source.loop = play.loops < 0;
            source.connect(sound.context.destination);
            /* A stopped source was counted when it was stopped: a context
               closed at once sends no more events. */
            source.onended = function() {
                if (play.source !== source)
                    return;
                sound.ended++;
                play.source = null;
                if (play.loops > 0) {
                    play.loops--;
                    sound.start(play);
                    return;
                }
                play.live = false;
            };
            play.source = source;
            source.start();
            sound.started++;
        };
        sound.halt = function(channel) {
            var play = sound.channels[channel];
            sound.channels[channel] = null;
            if (!play)
                return;
            play.live = false;
            var source = play.source;
            play.source = null;
            if (source) {
                source.stop();
                sound.ended++;
            }
        };
        /* The plays asked for while the sample decoded start now, or, when
           it could not be decoded, never. */
        sound.decoded = function(sample, buffer, failure) {
            var entry = sound.samples[sample];
            entry.buffer = buffer;
            entry.failure = failure;
            sound.channels.forEach(function(play) {
                if (!play || !play.live || play.source || play.sample !== sample)
                    return;
                if (buffer)
                    sound.start(play);
                else
                    play.live = false;
            });
        };
        /* Decodes bytes (an ArrayBuffer it may take) into the sample of
           that id while the entry is still the sample's. */
        sound.decode = function(id, entry, bytes, name) {
            if (sound.samples[id] !== entry)
                return;
            if (!sound.context) {
                /* Decoded once the context is made. */
                entry.bytes = bytes;
                entry.name = name;
                return;
            }
            var context = sound.context;
            var current = function() { return sound.samples[id] === entry && sound.context; };
            var done = function(buffer) {
                if (current())
                    sound.decoded(id, buffer, null);
            };
            var failed = function(error) {
                if (!current())
                    return;
                var reason = error && error.message ? error.message : String(error);
                out('ERROR: Could not decode ' + name + ' (' + reason + ')');
                sound.decoded(id, null, reason);
            };
            var decoding = context.decodeAudioData(bytes, done, failed);
            /* Where it also returns a promise, the failure is handled above. */
            if (decoding && decoding.catch)
                decoding.catch(function() {});
        };
        Module['soundPlays'] = function() {
            var live = sound.samples.filter(function(entry) { return entry; });
            return {
                started: sound.started,
                ended: sound.ended,
                playing: sound.channels.filter(function(play) { return play && play.live; }).length,
                state: sound.context ? sound.context.state : sound.opening ? 'opening' : 'closed',
                decoded: live.filter(function(entry) { return entry.buffer; }).length,
                waiting: live.filter(function(entry) { return !entry.buffer && !entry.failure; }).length
            };
        };
        /* Browsers let a page's sound start only after the player has done
           something on it; the listeners stay for a context made later.
           Touch screens count the end of a tap rather than its start, hence
           touchend too. Capturing: the canvas's own handlers come later.
           Where the browser says whether this event lets sound start, the
           others are let pass, so that no refusal is logged for them. */
        var resume = function() {
            var activation = navigator.userActivation;
            if (activation && !activation.isActive)
                return;
            if (sound.context && sound.context.state === 'suspended')
                sound.context.resume();
        };
        ['pointerdown', 'mousedown', 'keydown', 'touchstart', 'touchend'].forEach(function(type) {
            document.addEventListener(type, resume, true);
        });
    }
    sound.context = null;
    sound.channels = [];
    var opening = sound.opening = {};
    requestAnimationFrame(function() {
        setTimeout(function() {
            if (sound.opening !== opening)
                return;
            sound.opening = null;
            try {
                sound.context = new Context();
            } catch (error) {
                out('Sound device unavailable (' + (error && error.message ? error.message : String(error)) +
                    '): sound is off');
                return;
            }
            sound.samples.forEach(function(entry, id) {
                if (entry && entry.bytes) {
                    var bytes = entry.bytes;
                    entry.bytes = null;
                    sound.decode(id, entry, bytes, entry.name);
                }
            });
        }, 0);
    });
    return rate;
});

EM_JS(void, lumenSoundClose, (), {
    var sound = Module['lumenSound'];
    var context = sound.context;
    sound.context = null;
    sound.opening = null;
    sound.channels = [];
    if (context)
        context.close();
});

// The rate of the context once it is made, else 0.
EM_JS(int, lumenSoundRate, (), {
    var context = Module['lumenSound'].context;
    return context ? context.sampleRate : 0;
});

// Starts decoding size bytes at data, a copy of them, and returns the new
// sample's id. A decoding that ends after the sample was freed is dropped.
// Decoded buffers do not depend on their context: a sample outlives the
// context it was loaded with, as a chunk outlives the desktop's mixer.
EM_JS(int, lumenSoundDecode, (const unsigned char* data, int size, const char* file), {
    var sound = Module['lumenSound'];
    var entry = {buffer: null, failure: null};
    var id = sound.samples.length;
    sound.samples.push(entry);
    sound.decode(id, entry, HEAPU8.slice(data, data + size).buffer, UTF8ToString(file));
    return id;
});

// When file is one of the page's that is still downloading, returns the id
// of a new sample that is decoded once the file has arrived; else -1.
EM_JS(int, lumenSoundDecodeLater, (const char* file), {
    var files = Module['lumenFiles'];
    var sound = Module['lumenSound'];
    var name = UTF8ToString(file);
    var path = PATH_FS.resolve(name);
    var entry = {buffer: null, failure: null};
    var id = sound.samples.length;
    var arriving = files && files.whenArrived(path, function() {
        sound.decode(id, entry, files.read(path).buffer, name);
    });
    if (!arriving)
        return -1;
    sound.samples.push(entry);
    return id;
});

EM_JS(void, lumenSoundFree, (int sample), {
    Module['lumenSound'].samples[sample] = null;
});

EM_JS(int, lumenSoundIsPlaying, (int channel), {
    var play = Module['lumenSound'].channels[channel];
    return play && play.live ? 1 : 0;
});

// Returns 0 when the sample could not be decoded.
EM_JS(int, lumenSoundPlay, (int channel, int sample, int loops), {
    var sound = Module['lumenSound'];
    var entry = sound.samples[sample];
    if (entry.failure)
        return 0;
    sound.halt(channel);
    var play = {sample: sample, loops: loops, source: null, live: true};
    sound.channels[channel] = play;
    if (entry.buffer)
        sound.start(play);
    return 1;
});

EM_JS(void, lumenSoundHalt, (int channel), {
    Module['lumenSound'].halt(channel);
});

bool SoundDevice::open()
{
    if (opened)
        return true;
    char failure[256] = "";
    const int rate = lumenSoundOpen(failure, sizeof failure, RATE);
    if (rate <= 0)
    {
        logLine("Sound device unavailable (", failure, "): sound is off");
        return false;
    }
    opened = true;
    openedRate = rate;
    return true;
}

void SoundDevice::close()
{
    if (!opened)
        return;
    lumenSoundClose();
    opened = false;
}

bool SoundDevice::isOpen()
{
    return opened;
}

int SoundDevice::getRate()
{
    const int made = opened ? lumenSoundRate() : 0;
    return made > 0 ? made : openedRate;
}

int SoundDevice::getStreamChannels()
{
    return 2;
}

SoundDevice::Sample* SoundDevice::loadSample(const char* file)
{
    std::vector<unsigned char> bytes;
    if (!readFile(file, bytes))
    {
        // The page downloads the sounds while the game starts.
        const int arriving = lumenSoundDecodeLater(file);
        return arriving < 0 ? nullptr : new Sample{arriving};
    }
    return new Sample{lumenSoundDecode(bytes.data(), static_cast<int>(bytes.size()), file)};
}

void SoundDevice::freeSample(Sample* sample)
{
    if (sample == nullptr)
        return;
    lumenSoundFree(sample->id);
    delete sample;
}

bool SoundDevice::isPlaying(int channel)
{
    return opened && lumenSoundIsPlaying(channel) != 0;
}

bool SoundDevice::play(int channel, Sample* sample, int loops)
{
    if (lumenSoundPlay(channel, sample->id, loops) == 0)
    {
        lastError = "the sample could not be decoded";
        return false;
    }
    return true;
}

void SoundDevice::halt(int channel)
{
    if (opened)
        lumenSoundHalt(channel);
}

void SoundDevice::haltAll()
{
    for (int channel = 0; channel < MIXER_CHANNELS; ++channel)
        halt(channel);
}

const char* SoundDevice::measuringUnavailable()
{
    return "The spectrum is unavailable in the browser";
}

void SoundDevice::measureOutput(SoundAnalysis*)
{
}

void SoundDevice::measure(int, SoundAnalysis&)
{
}

const char* SoundDevice::getError()
{
    return lastError.c_str();
}

void SoundDevice::setError(const char* reason)
{
    lastError = reason;
}

void SoundDevice::releaseThreadState()
{
}
