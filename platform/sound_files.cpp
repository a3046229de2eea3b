// The effects' names and their WAV files, shared by every sound implementation.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/sound.h"
#include "platform/sound_table.h"

namespace sound {

namespace {


std::uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

unsigned le16(const std::string& b, std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(b[at])) |
           static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8;
}

// The format chunk: PCM, one channel, 16 bits, a rate in range.
bool checkFormat(const std::string& b, std::size_t at, std::uint32_t size, Sample& sample, std::string& why) {
    if (size < 16) {
        why = "a format chunk of " + std::to_string(size) + " bytes";
        return false;
    }
    const unsigned format = le16(b, at), channels = le16(b, at + 2), bits = le16(b, at + 14);
    const std::uint32_t rate = le32(b, at + 4);
    if (format != 1 || channels != 1 || bits != 16) {
        why = "not mono 16-bit PCM (format " + std::to_string(format) + ", " + std::to_string(channels) +
              " channels, " + std::to_string(bits) + " bits)";
        return false;
    }
    if (rate < MinSampleRate || rate > MaxSampleRate) {
        why = "a rate of " + std::to_string(rate) + " Hz";
        return false;
    }
    sample.rate = static_cast<int>(rate);
    return true;
}

bool parseChunks(const std::string& b, Sample& sample, std::string& why) {
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
        why = "not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::uint32_t size = le32(b, at + 4);
        const std::size_t body = at + 8;
        if (size > b.size() - body) {
            why = "a chunk runs past the end of the file";
            return false;
        }
        if (b.compare(at, 4, "fmt ") == 0) {
            if (!checkFormat(b, body, size, sample, why)) return false;
            haveFormat = true;
        } else if (b.compare(at, 4, "data") == 0) {
            if (!haveFormat) break;
            const std::size_t count = size / 2;
            if (count == 0 || count > static_cast<std::size_t>(sample.rate) * MaxSampleSeconds) {
                why = "holds " + std::to_string(count) + " samples";
                return false;
            }
            sample.data.resize(count);
            std::memcpy(sample.data.data(), b.data() + body, count * 2);  // little-endian machines
            return true;
        }
        at = body + size + (size & 1);
    }
    why = haveFormat ? "no data chunk" : "no format chunk before the data";
    return false;
}

}  // namespace

const char* effectName(int effect) { return effect >= 0 && effect < EffectCount ? soundTable[effect].name : "?"; }

bool parseWav(const std::string& path, const std::string& bytes, Sample& sample, std::string& error) {
    std::string why;
    sample = Sample();
    if (parseChunks(bytes, sample, why)) return true;
    sample = Sample();
    error = path + ": " + why;
    return false;
}

bool readWav(const std::string& path, Sample& sample, std::string& error) {
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": cannot be opened";
        return false;
    }
    // Only a regular file is read, and anything longer than the longest
    // sample at the highest rate is refused unread.
    const std::size_t limit = 1024 + 2u * MaxSampleRate * MaxSampleSeconds;
    struct stat st;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!regular || static_cast<std::uintmax_t>(st.st_size) > limit) {
        error = path + (regular ? ": larger than " + std::to_string(limit) + " bytes" : ": is not a regular file");
        ::close(fd);
        return false;
    }
    // No more than the size taken at the open, should the file grow.
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    bool failed = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, &bytes[got], bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        failed = n < 0;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) {
        error = path + ": cannot be read";
        return false;
    }
    bytes.resize(got);
    return parseWav(path, bytes, sample, error);
}

bool readSampleSet(const std::string& folder, std::vector<Sample>& set, std::string& error) {
    set.assign(EffectCount, Sample());
    for (int e = 0; e < EffectCount; ++e)
        if (!readWav(folder + "/" + soundTable[e].name + ".wav", set[e], error)) return false;
    return true;
}

}  // namespace sound
