// Sound through OpenAL: every sample in its own buffer, one source per kind of event.
#include <AL/al.h>
#include <AL/alc.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sound.h"

namespace sound {

namespace {

// The device, its context, a buffer and a source per effect.
struct Voices {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint buffers[EffectCount];
    ALuint sources[EffectCount];
    bool ready = false;
    bool isMuted = false;
};
Voices voices;

// The voices' gain: the samples are mixed at this share of full scale, so
// that several at once stay clear of clipping.
constexpr float VoiceGain = 0.8f;

bool fail(std::string& warning, const std::string& why) {
    warning = why + "; playing without sound";
    close();
    return false;
}

// The audio libraries under OpenAL report every backend they try on
// stderr; while the device opens their lines go nowhere, so that a machine
// without sound hears of it once, from the game.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) dup2(null, 2);
        if (null >= 0) ::close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        dup2(saved_, 2);
        ::close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

bool openDevice(std::string& warning) {
    {
        setenv("ALSOFT_LOGLEVEL", "0", 0);  // unless the player asked for OpenAL's own log
        QuietStderr quiet;
        voices.device = alcOpenDevice(nullptr);
        if (voices.device) voices.context = alcCreateContext(voices.device, nullptr);
    }
    if (!voices.device) return fail(warning, "no audio device could be opened");
    if (!voices.context || !alcMakeContextCurrent(voices.context)) return fail(warning, "the audio device refused a context");
    return true;
}

// The samples into buffers, a source for each.
bool makeVoices(const std::vector<Sample>& set, std::string& warning) {
    alGetError();
    alGenBuffers(EffectCount, voices.buffers);
    alGenSources(EffectCount, voices.sources);
    if (alGetError() != AL_NO_ERROR) return fail(warning, "the audio device has no room for the effects");
    for (int e = 0; e < EffectCount; ++e) {
        const Sample& s = set[static_cast<std::size_t>(e)];
        alBufferData(voices.buffers[e], AL_FORMAT_MONO16, s.data.data(), static_cast<ALsizei>(s.data.size() * 2), s.rate);
        alSourcei(voices.sources[e], AL_BUFFER, static_cast<ALint>(voices.buffers[e]));
        alSourcef(voices.sources[e], AL_GAIN, VoiceGain);
        // Heard from where the listener stands: no panning, no distance.
        alSourcei(voices.sources[e], AL_SOURCE_RELATIVE, AL_TRUE);
    }
    if (alGetError() != AL_NO_ERROR) return fail(warning, "the audio device refused the effects");
    return true;
}

void closeAtExit() { close(); }

// One source at a time: the browser's OpenAL stops none through
// alSourceStopv (emscripten 3.1.6 hands it the sources' names where it wants
// the sources, and throws).
void stopAll() {
    for (ALuint source : voices.sources) alSourceStop(source);
}

}  // namespace

bool open(const std::string& folder, std::string& warning) {
    close();
    std::vector<Sample> set;
    if (!readSampleSet(folder, set, warning)) {
        warning += "; playing without sound";
        return false;
    }
    if (!openDevice(warning) || !makeVoices(set, warning)) return false;
    voices.ready = true;
    // The game may end through exit() anywhere; the device is closed then,
    // so an output that writes a file finishes it.
    static bool registered = false;
    if (!registered) registered = std::atexit(closeAtExit) == 0;
    return true;
}

bool isOpen() { return voices.ready; }

void close() {
    if (voices.ready) {
        stopAll();
        alDeleteSources(EffectCount, voices.sources);
        alDeleteBuffers(EffectCount, voices.buffers);
    }
    voices.ready = false;
    if (voices.context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(voices.context);
        voices.context = nullptr;
    }
    if (voices.device) {
        alcCloseDevice(voices.device);
        voices.device = nullptr;
    }
}

void play(Effect effect) {
    if (!voices.ready || voices.isMuted || effect < 0 || effect >= EffectCount) return;
    alSourcePlay(voices.sources[effect]);
}

void setMuted(bool muted) {
    voices.isMuted = muted;
    if (voices.ready && muted) stopAll();
}

bool muted() { return voices.isMuted; }

}  // namespace sound
