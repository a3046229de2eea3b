// Fuzz target: the WAV reader. Any bytes are a sample or a refusal naming the
// file, never a fault; the same bytes read from a file give the same answer;
// an accepted sample is in range and comes back the same through our own
// writer and the reader.
//
// Input: the file's bytes. Seeds (fuzz/corpus/wav): tiny WAVs of our own,
// good and refused.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/sound.h"
#include "tools/sound/synth.h"

namespace {

[[noreturn]] void broken(const char* what) {
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    __builtin_trap();
}

bool sameSample(const sound::Sample& a, const sound::Sample& b) { return a.rate == b.rate && a.data == b.data; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    sound::Sample sample;
    std::string error;
    const bool ok = sound::parseWav("fuzz.wav", bytes, sample, error);
    if (ok) {
        if (sample.rate < sound::MinSampleRate || sample.rate > sound::MaxSampleRate) broken("a rate out of range");
        if (sample.data.empty() || sample.data.size() > static_cast<std::size_t>(sample.rate) * sound::MaxSampleSeconds ||
            sample.data.size() * 2 > size)
            broken("a sample count out of range");
        sound::Sample again;
        if (!sound::parseWav("again.wav", synth::wavBytes(sample.data, sample.rate), again, error) ||
            !sameSample(again, sample))
            broken("read(write(sample)) differs from the sample");
    } else if (!sample.data.empty() || sample.rate != 0 || error.rfind("fuzz.wav: ", 0) != 0) {
        broken("a refusal that keeps samples or does not name the file");
    }
    // The same bytes as a file, for one input in eight (the disk is far
    // slower than the parse); a new file each time, as one truncated and
    // written again is flushed to the disk at its close on some file systems.
    if (std::hash<std::string>()(bytes) % 8 != 0) return 0;
    const std::string path = fuzz::scratchDir() + "/fuzz.wav";
    std::remove(path.c_str());
    if (!fuzz::writeBytes(path, bytes)) broken("cannot write the scratch file");
    sound::Sample read;
    std::string readError;
    if (sound::readWav(path, read, readError) != ok || !sameSample(read, sample) ||
        (!ok && readError != path + error.substr(8)))
        broken("readWav differs from parseWav");
    return 0;
}
