// Sound effects: one voice per kind of event, loaded once, played without waiting.
//
// Two implementations, chosen at link time like the rest of the seam:
// platform/openal.cpp (the game: OpenAL) and platform/headless.cpp (tools and
// tests: records the effects played, in order). Until open succeeds, and
// while muted, play does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sound {

// The kinds of event that sound. Each has its own voice: a second effect of
// a kind restarts the voice rather than piling up.
enum Effect : int {
    Turn,
    Move,
    Push,
    Shot,
    Mirror,
    BrickHit,
    BrickFall,
    Shove,
    Splash,
    Sink,
    AntiTankFire,
    AntiTankDestroyed,
    TankDestroyed,
    Win,
    MenuMove,
    MenuChoose,
    EffectCount
};

// The effect's name: its file is NAME.wav, and reports list it by this name.
const char* effectName(int effect);

// A mono 16-bit sample as read from a WAV file.
struct Sample {
    int rate = 0;
    std::vector<std::int16_t> data;
};

// The longest sample accepted, in seconds, and the rates.
constexpr int MaxSampleSeconds = 10;
constexpr int MinSampleRate = 8000;
constexpr int MaxSampleRate = 96000;

// Reads a WAV file: PCM, mono, 16-bit, MinSampleRate..MaxSampleRate, at
// least one sample. False with the reason (naming the file) in `error`.
bool readWav(const std::string& path, Sample& sample, std::string& error);
// The same from the file's bytes (`path` only names it in messages).
bool parseWav(const std::string& path, const std::string& bytes, Sample& sample, std::string& error);
// Every effect's sample from `folder`/NAME.wav, in Effect order; false with
// the first failure in `error`.
bool readSampleSet(const std::string& folder, std::vector<Sample>& set, std::string& error);

// Loads every sample from `folder` and opens the audio output. False, with
// one line in `warning`, when a file is missing or damaged or no output can
// be opened: the game then stays silent.
bool open(const std::string& folder, std::string& warning);
bool isOpen();
void close();

// Starts the effect's voice from its beginning (restarting it if it plays).
// Never blocks, never allocates.
void play(Effect effect);

// Muted: play does nothing and every voice stops.
void setMuted(bool muted);
bool muted();

}  // namespace sound
