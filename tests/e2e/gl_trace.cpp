// Preloaded into the game by the window test: records, in order, the window
// hints, the swap interval asked for and the calls that a clean shutdown
// makes, into the file named by BRIMVALE_TRACE_FILE.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {
void note(const char* what) {
    const char* path = std::getenv("BRIMVALE_TRACE_FILE");
    if (!path) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", what);
        std::fclose(f);
    }
}
template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace

extern "C" {

void glDeleteTextures(int n, const unsigned* textures) {
    note("glDeleteTextures");
    static auto real = next<void (*)(int, const unsigned*)>("glDeleteTextures");
    if (real) real(n, textures);
}

void glfwTerminate() {
    note("glfwTerminate");
    static auto real = next<void (*)()>("glfwTerminate");
    if (real) real();
}

void glfwWindowHint(int hint, int value) {
    char line[64];
    std::snprintf(line, sizeof line, "glfwWindowHint %#x %d", hint, value);
    note(line);
    static auto real = next<void (*)(int, int)>("glfwWindowHint");
    if (real) real(hint, value);
}

void glfwSwapInterval(int interval) {
    char line[64];
    std::snprintf(line, sizeof line, "glfwSwapInterval %d", interval);
    note(line);
    static auto real = next<void (*)(int)>("glfwSwapInterval");
    if (real) real(interval);
}
}
