// The game in a real window, end to end: starts its own Xvfb, runs the real
// brimvale, sends keys and clicks with xdotool, takes screenshots with
// ImageMagick's import and compares each one pixel for pixel with the screen
// that `brimvale-tool replay --png` composes for the same input.
//
// Every step waits on an event with a generous deadline (a mapped and
// focused window, a screenshot equal to the replay's, the game's exit); a
// scenario whose step timed out is tried once more with a fresh game, and a
// fresh Xvfb if the old one died.
//
// Exit status: 0 passed, 1 failed, 77 skipped (no X server could start).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/audio_match.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Deadlines: far beyond what a loaded machine needs, only reached when
// something is really wrong.
constexpr seconds StartLimit{60};   // Xvfb reports its display and accepts clients
constexpr seconds WindowLimit{60};  // the game's window is mapped, then focused
constexpr seconds ScreenLimit{60};  // the window shows the expected screen
constexpr seconds ExitLimit{60};    // the game ends
constexpr seconds StormLimit{600};  // the game ends after an input storm

std::string gamePath, toolPath, packDir, installedPrefix, soundPrefix, workDir;
// Where the game's stderr goes (empty: the test's own).
std::string gameStderr;
std::string display;
pid_t xvfbPid = -1;
int failures = 0;

// What the current attempt has found; printed once the attempt is over, or
// dropped when the attempt is tried again.
std::string pendingLines;
int pendingFailures = 0;

void pass(const std::string& what) { pendingLines += "ok: " + what + "\n"; }

void fail(const std::string& what) {
    pendingLines += "FAIL: " + what + "\n";
    ++pendingFailures;
}

void flushResults() {
    std::fputs(pendingLines.c_str(), stdout);
    std::fflush(stdout);
    failures += pendingFailures;
    pendingLines.clear();
    pendingFailures = 0;
}

// A step that did not happen within its deadline: worth one more try.
struct Timeout {
    std::string what;
};

// An attempt that cannot go on; its failure is already noted.
struct Abort {};

// Polls `done` until it holds or `limit` has passed, sleeping 10 ms at first
// and backing off gently to half a second.
bool waitFor(Clock::duration limit, const std::function<bool()>& done) {
    const auto deadline = Clock::now() + limit;
    Clock::duration pause = milliseconds(10);
    while (true) {
        if (done()) return true;
        const auto now = Clock::now();
        if (now >= deadline) return false;
        std::this_thread::sleep_for(std::min(pause, deadline - now));
        pause = std::min<Clock::duration>(pause * 3 / 2, milliseconds(500));
    }
}

std::string shell(const std::string& command, int* status = nullptr) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    const int s = pclose(p);
    if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return out;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string describeStatus(int s) {
    if (WIFEXITED(s)) return "with status " + std::to_string(WEXITSTATUS(s));
    return "by signal " + std::to_string(WIFSIGNALED(s) ? WTERMSIG(s) : 0);
}

bool exited(pid_t pid, int* status = nullptr) {
    int s = 0;
    if (waitpid(pid, &s, WNOHANG) != pid) return false;
    if (status) *status = s;
    return true;
}

// Xlib errors (a window that is gone, a focus change refused) and a lost
// connection are answers here, never a reason to end the test.
int ignoreXError(Display*, XErrorEvent*) { return 0; }
int ignoreXIOError(Display*) { return 0; }
void keepRunning(Display*, void*) {}

// A short-lived connection to the test's own display.
struct XConnection {
    Display* d;
    XConnection() : d(XOpenDisplay(display.c_str())) {
        if (d) XSetIOErrorExitHandler(d, keepRunning, nullptr);
    }
    ~XConnection() {
        if (d) XCloseDisplay(d);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
};

bool xvfbAccepts() { return XConnection().d != nullptr; }

// Reads what Xvfb writes to -displayfd: the display number and a newline.
bool readDisplayNumber(int fd, std::string& number, std::string& why) {
    const auto deadline = Clock::now() + StartLimit;
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            why = "Xvfb reported no display within " + std::to_string(StartLimit.count()) + " s";
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(std::min<long long>(left, 1000))) <= 0) continue;
        char buffer[32];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            why = "Xvfb exited at start";
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    number = text.substr(0, text.find('\n'));
    if (number.empty() || number.size() > 5 || number.find_first_not_of("0123456789") != std::string::npos) {
        why = "Xvfb reported '" + number + "' as its display";
        return false;
    }
    return true;
}

pid_t spawnXvfb(int displayFd) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    fcntl(displayFd, F_SETFD, 0);
    const int log = open((workDir + "/xvfb.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(log, 1);
    dup2(log, 2);
    const std::string fd = std::to_string(displayFd);
    // Without -noreset the server resets whenever its last client leaves,
    // and a client that connects during a reset is turned away: a game that
    // starts just as an xdotool call ends cannot open its display.
    // 1280x1280: room for a window three times 384, and --scale auto picks 2.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1280x1280x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
}

// Starts Xvfb on a display it chooses itself and waits until it accepts
// clients; false, with the reason, if it could not.
bool startXvfb(std::string& why) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        why = "no pipe";
        return false;
    }
    const pid_t pid = spawnXvfb(fds[1]);
    close(fds[1]);
    std::string number;
    const bool reported = readDisplayNumber(fds[0], number, why);
    close(fds[0]);
    int status = 0;
    bool died = false, ready = false;
    if (reported) {
        display = ":" + number;
        ready = waitFor(StartLimit, [&] { return (died = exited(pid, &status)) || xvfbAccepts(); }) && !died;
        if (!ready) why = "Xvfb on " + display + (died ? " exited at start" : " accepted no client within 60 s");
    }
    if (!ready) {
        if (!died) died = waitFor(seconds(2), [&] { return exited(pid, &status); });
        if (died && WIFEXITED(status) && WEXITSTATUS(status) == 127) why = "Xvfb is not installed";
        if (!died) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        return false;
    }
    xvfbPid = pid;
    setenv("DISPLAY", display.c_str(), 1);
    return true;
}

// A slow or failed start gets a second one; a missing Xvfb does not.
bool startXvfbTwice(std::string& why) {
    if (startXvfb(why)) return true;
    if (why == "Xvfb is not installed") return false;
    std::printf("RETRY: %s; starting Xvfb once more\n", why.c_str());
    return startXvfb(why);
}

bool xvfbAlive() {
    if (xvfbPid > 0 && exited(xvfbPid)) xvfbPid = -1;
    return xvfbPid > 0;
}

void stopXvfb() {
    if (xvfbPid <= 0) return;
    kill(xvfbPid, SIGTERM);
    waitpid(xvfbPid, nullptr, 0);
    xvfbPid = -1;
}

// Before a retry: a new Xvfb if the old one died or turns clients away.
void reviveXvfb() {
    if (xvfbAlive() && waitFor(seconds(10), xvfbAccepts)) return;
    const std::string old = display;
    stopXvfb();
    std::string why;
    if (!startXvfb(why)) throw Timeout{"Xvfb on " + old + " is gone and a new one did not start: " + why};
    std::printf("RETRY: Xvfb on %s is gone; started a new one on %s\n", old.c_str(), display.c_str());
}

struct Game {
    pid_t pid = -1;       // while it runs
    pid_t launched = -1;  // until its window is gone
    Window window = 0;
    std::string name;     // the scenario, for file names and messages
    std::string dataDir;  // where the replay finds the same data
    std::vector<std::string> args;  // the game's command line
    std::string replayOptions;      // the replay's options that match them
    int scale = 1;                  // window pixels per screen pixel
    std::vector<std::string> sent;
    int shots = 0;
    int status = 0;  // as waitpid reports it, once the game has ended
};

unsigned long windowPid(Display* d, Window w) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    unsigned long pid = 0;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && count == 1 && format == 32)
        pid = *reinterpret_cast<unsigned long*>(data);
    if (data) XFree(data);
    return pid;
}

// The mapped top-level window of process `pid`, or 0.
Window findWindow(pid_t pid) {
    XConnection x;
    if (!x.d) return 0;
    Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(x.d, DefaultRootWindow(x.d), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(x.d, children[i], &a) && a.map_state == IsViewable &&
            windowPid(x.d, children[i]) == static_cast<unsigned long>(pid))
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

bool focusOn(Window w) {
    XConnection x;
    if (!x.d) return false;
    Window focus = 0;
    int revert;
    XGetInputFocus(x.d, &focus, &revert);
    if (focus == w) return true;
    XSetInputFocus(x.d, w, RevertToParent, CurrentTime);
    XSync(x.d, False);
    XGetInputFocus(x.d, &focus, &revert);
    return focus == w;
}

pid_t launch(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
             const std::string& preload, const std::string& traceFile) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (chdir(cwd.c_str()) != 0) _exit(126);
    setenv("DISPLAY", display.c_str(), 1);
    if (!preload.empty()) setenv("LD_PRELOAD", preload.c_str(), 1);
    if (!traceFile.empty()) setenv("BRIMVALE_TRACE_FILE", traceFile.c_str(), 1);
    if (!gameStderr.empty()) {
        const int err = open(gameStderr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, 2);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
}

// Starts the game and waits until its window is mapped and has the focus.
void startGame(Game& game, const std::string& program, const std::string& cwd, const std::string& preload = "",
               const std::string& traceFile = "") {
    game.pid = game.launched = launch(program, game.args, cwd, preload, traceFile);
    int status = 0;
    bool ended = false;
    const bool mapped = waitFor(WindowLimit, [&] {
        ended = exited(game.pid, &status);
        return ended || (game.window = findWindow(game.pid)) != 0;
    });
    if (ended) {
        game.pid = -1;
        throw Timeout{game.name + ": the game ended " + describeStatus(status) + " before its window appeared"};
    }
    if (!mapped) throw Timeout{game.name + ": no game window appeared within 60 s"};
    if (!waitFor(WindowLimit, [&] { return focusOn(game.window); }))
        throw Timeout{game.name + ": the game window did not get the focus within 60 s"};
}

// Kills the game if it still runs and waits until its window is gone.
void stopGame(Game& game) {
    if (game.pid > 0) {
        kill(game.pid, SIGKILL);
        waitpid(game.pid, nullptr, 0);
        game.pid = -1;
    }
    if (game.launched > 0) waitFor(WindowLimit, [&] { return findWindow(game.launched) == 0; });
    game.launched = -1;
}

// Waits for the game to end: its exit status, or -1 if a signal ended it.
int waitExit(Game& game, seconds limit = ExitLimit) {
    int status = 0;
    if (!waitFor(limit, [&] { return exited(game.pid, &status); }))
        throw Timeout{game.name + ": the game did not end within " + std::to_string(limit.count()) + " s"};
    game.pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void expectExitZero(Game& game, const std::string& okMessage, const std::string& what,
                    seconds limit = ExitLimit) {
    const int status = waitExit(game, limit);
    if (status == 0)
        pass(okMessage);
    else
        fail(what + ": exit status " + std::to_string(status));
}

std::string xdotoolKey(const std::string& token) {
    static const char* const names[][2] = {
        {"Space", "space"}, {"Enter", "Return"}, {"Escape", "Escape"}, {"Left", "Left"},   {"Right", "Right"},
        {"Up", "Up"},       {"Down", "Down"},    {"PageUp", "Prior"},  {"PageDown", "Next"}, {"W", "w"},
        {"A", "a"},         {"S", "s"},          {"D", "d"},           {"R", "r"},
        {"M", "m"},         {"U", "u"},          {"H", "h"},           {"V", "v"},         {"E", "e"},
    };
    for (const auto& n : names)
        if (token == n[0]) return n[1];
    return "";
}

void sendToken(const Game& game, const std::string& token) {
    const std::string x = "DISPLAY=" + display + " xdotool ";
    if (token.compare(0, 6, "click:") == 0) {
        const std::string xy = token.substr(6);
        // The middle of the enlarged pixel the replay's click names.
        const int s = game.scale;
        const std::string px = std::to_string(std::stoi(xy.substr(0, xy.find(','))) * s + s / 2);
        const std::string py = std::to_string(std::stoi(xy.substr(xy.find(',') + 1)) * s + s / 2);
        shell(x + "mousemove --window " + std::to_string(game.window) + " " + px + " " + py + " click 1");
    } else {
        shell(x + "key " + xdotoolKey(token));
    }
}

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

bool loadPng(const std::string& path, Image& image) {
    int n = 0;
    unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &n, 3);
    if (!data) return false;
    image.rgb.assign(data, data + static_cast<std::size_t>(image.width) * image.height * 3);
    stbi_image_free(data);
    return true;
}

long differingPixels(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    long count = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3)
        if (a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2]) ++count;
    return count;
}

std::string join(const std::vector<std::string>& tokens) {
    std::string s;
    for (const std::string& t : tokens) s += (s.empty() ? "" : " ") + t;
    return s;
}

// Each pixel made a square of `scale` by `scale` pixels.
Image enlarge(const Image& image, int scale) {
    if (scale == 1) return image;
    Image out;
    out.width = image.width * scale;
    out.height = image.height * scale;
    out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 3; ++c)
                out.rgb[(static_cast<std::size_t>(y) * out.width + x) * 3 + c] =
                    image.rgb[(static_cast<std::size_t>(y / scale) * image.width + x / scale) * 3 + c];
    return out;
}

// The screen the replay composes for `tokens`; false if it composed none.
bool replayScreen(const std::string& dataDir, const std::vector<std::string>& tokens, const std::string& path,
                  Image& image, const std::string& options = "") {
    int status = 0;
    shell(toolPath + " replay " + options + " --data " + dataDir + " --png " + path + " " + join(tokens) + " > /dev/null",
          &status);
    return status == 0 && loadPng(path, image);
}

// Waits until a screenshot of the window equals `expected`; otherwise the
// number of differing pixels of the last one (-1: other size, -2: none, -3:
// the game ended).
long waitScreen(Game& game, const Image& expected, const std::string& shotPath) {
    long diff = -2;
    const std::string command = "DISPLAY=" + display + " import -window " + std::to_string(game.window) +
                                " png24:" + shotPath + " 2>/dev/null";
    waitFor(ScreenLimit, [&] {
        if (exited(game.pid, &game.status)) {
            game.pid = -1;
            diff = -3;
            return true;
        }
        std::remove(shotPath.c_str());
        shell(command);
        Image shot;
        diff = loadPng(shotPath, shot) ? differingPixels(shot, expected) : -2;
        return diff == 0;
    });
    return diff;
}

std::string describeDiff(long diff) {
    return diff == -2 ? "no comparable screenshot"
                      : diff == -1 ? "a screenshot of another size" : std::to_string(diff) + " pixels differ";
}

// The game ended on its own while a screen was awaited: a fault of the game,
// unless its X server died under it.
void gameEnded(Game& game) {
    const std::string what =
        game.name + ": the game ended " + describeStatus(game.status) + " after '" + join(game.sent) + "'";
    if (!xvfbAlive() || !xvfbAccepts()) throw Timeout{what + ", and its X server is gone"};
    fail(what);
    throw Abort{};
}

// The window must come to show exactly what the replay composes for what
// was sent so far. A check when `check` is set, else a wait before a step.
void expectScreen(Game& game, bool check) {
    const std::string stem = workDir + "/" + game.name + (check ? "" : "-" + std::to_string(game.shots++));
    const std::string expectedPath = stem + "-expected.png", shotPath = stem + "-window.png";
    Image expected;
    if (!replayScreen(game.dataDir, game.sent, expectedPath, expected, game.replayOptions)) {
        fail(game.name + ": the replay did not compose a screen for '" + join(game.sent) + "'");
        throw Abort{};
    }
    expected = enlarge(expected, game.scale);
    const long diff = waitScreen(game, expected, shotPath);
    if (diff == -3) gameEnded(game);
    const std::string where = " (" + shotPath + " against " + expectedPath + ")";
    if (diff == 0 && check) pass(game.name + ": the window shows the replay's screen pixel for pixel");
    if (diff == 0) return;
    if (check) throw Timeout{game.name + ": " + describeDiff(diff) + " after 60 s" + where};
    throw Timeout{game.name + ": after '" + join(game.sent) +
                  "' the window did not show the replay's screen in 60 s, " + describeDiff(diff) + where};
}

// Sends the tokens one by one, each once the window shows what the replay
// composes for everything sent before it: the game has handled that, and the
// next key reaches a game that waits for it, as in the replay.
void send(Game& game, const std::vector<std::string>& tokens) {
    for (const std::string& token : tokens) {
        expectScreen(game, false);
        sendToken(game, token);
        game.sent.push_back(token);
    }
}

void writeTestLevels(const std::string& path) {
    // Level 0: a brick wall to shoot; 1: a goal right above the tank; 2: an
    // anti-tank waiting one row up; the rest copies of level 0.
    std::vector<unsigned char> base(256, 2);
    for (int i = 0; i < 16; ++i) base[i] = base[240 + i] = base[i * 16] = base[i * 16 + 15] = 4;
    base[10 * 16 + 7] = 10;
    std::vector<unsigned char> shoot = base, win = base, lose = base;
    shoot[10 * 16 + 12] = 3;
    shoot[4 * 16 + 4] = 1;
    shoot[4 * 16 + 5] = 5;
    shoot[6 * 16 + 9] = 16;
    shoot[2 * 16 + 2] = 0;
    win[9 * 16 + 7] = 11;
    lose[9 * 16 + 12] = 14;
    std::ofstream out(path, std::ios::binary);
    const std::vector<unsigned char>* levels[3] = {&shoot, &win, &lose};
    for (int i = 0; i < 35; ++i) {
        const auto& level = *levels[i < 3 ? i : 0];
        out.write(reinterpret_cast<const char*>(level.data()), 256);
    }
}

std::string windowTitle(const Game& game) {
    XConnection x;
    char* title = nullptr;
    std::string text;
    if (x.d && XFetchName(x.d, game.window, &title) && title) text = title;
    if (title) XFree(title);
    return text;
}

void checkWindowProperties(const Game& game) {
    XConnection x;
    if (!x.d) throw Timeout{"cannot open the display to read window properties"};
    Window w = game.window;
    const int side = 384 * game.scale;
    const std::string size = std::to_string(side) + "x" + std::to_string(side);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x.d, w, &attributes) && attributes.width == side && attributes.height == side)
        pass(game.name + ": the window is " + size);
    else
        fail(game.name + ": the window is not " + size);
    const std::string title = windowTitle(game);
    if (title == "Brimvale (port by Orlenko)")
        pass(game.name + ": the title is \"Brimvale (port by Orlenko)\"");
    else
        fail(game.name + ": the title is '" + title + "'");
    XSizeHints hints;
    long supplied = 0;
    if (XGetWMNormalHints(x.d, w, &hints, &supplied) && (hints.flags & PMinSize) && (hints.flags & PMaxSize) &&
        hints.min_width == side && hints.max_width == side && hints.min_height == side && hints.max_height == side)
        pass(game.name + ": the window cannot be resized");
    else
        fail(game.name + ": the window's size hints allow resizing");
}

// WM_CLASS, and the sizes of the icons in _NET_WM_ICON: the player set's
// window names itself brimvale and carries the icon at 48, 128 and 256
// pixels; the classic one keeps GLFW's defaults (the class is the title, no
// icon).
void checkDesktopIdentity(const Game& game, bool player) {
    XConnection x;
    if (!x.d) throw Timeout{"cannot open the display to read window properties"};
    std::string instance, wmClass;
    XClassHint hint;
    if (XGetClassHint(x.d, game.window, &hint)) {
        instance = hint.res_name ? hint.res_name : "";
        wmClass = hint.res_class ? hint.res_class : "";
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
    }
    const std::string expected = player ? "brimvale" : "Brimvale (port by Orlenko)";
    if (instance == expected && wmClass == expected)
        pass(game.name + ": WM_CLASS is \"" + expected + "\", \"" + expected + "\"");
    else
        fail(game.name + ": WM_CLASS is '" + instance + "', '" + wmClass + "'");
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string sizes;
    if (XGetWindowProperty(x.d, game.window, XInternAtom(x.d, "_NET_WM_ICON", False), 0, 1 << 20, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const unsigned long* longs = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i + 1 < count; i += 2 + longs[i] * longs[i + 1])
            sizes += (sizes.empty() ? "" : " ") + std::to_string(longs[i]) + "x" + std::to_string(longs[i + 1]);
    }
    if (data) XFree(data);
    const std::string want = player ? "48x48 128x128 256x256" : "";
    if (sizes == want)
        pass(game.name + ": _NET_WM_ICON holds " + (player ? want : "nothing"));
    else
        fail(game.name + ": _NET_WM_ICON holds '" + sizes + "', not '" + want + "'");
}

void closeWindow(const Game& game) {
    XConnection x;
    if (!x.d) throw Timeout{"cannot open the display to close the window"};
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = game.window;
    event.xclient.message_type = XInternAtom(x.d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x.d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.d, game.window, False, NoEventMask, &event);
    XSync(x.d, False);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One run of a scenario with a fresh game: false, with the step, if a step
// timed out.
bool attempt(const std::string& name, const std::string& dataDir, const std::function<void(Game&)>& body,
             std::string& timedOut) {
    Game game;
    game.name = name;
    game.dataDir = dataDir;
    bool finished = true;
    try {
        body(game);
    } catch (const Timeout& t) {
        timedOut = t.what;
        finished = false;
    } catch (const Abort&) {
    }
    stopGame(game);
    return finished;
}

// Runs a scenario. A step that timed out gets one more try from the start,
// said clearly, with a new Xvfb if the old one died; a second time-out is a
// failure.
void scenario(const std::string& name, const std::string& dataDir, const std::function<void(Game&)>& body) {
    std::string timedOut;
    if (!attempt(name, dataDir, body, timedOut)) {
        pendingLines.clear();
        pendingFailures = 0;
        std::printf("RETRY: %s; trying once more with a fresh game\n", timedOut.c_str());
        std::fflush(stdout);
        try {
            reviveXvfb();
            if (!attempt(name, dataDir, body, timedOut)) fail(timedOut);
        } catch (const Timeout& gone) {
            fail(gone.what);
        }
    }
    flushResults();
}

// Starts the game from `dataDir`, sends `tokens` and expects the replay's
// screen.
void playScenario(const std::string& dataDir, const std::string& name, const std::vector<std::string>& tokens) {
    scenario(name, dataDir, [&](Game& game) {
        startGame(game, gamePath, dataDir);
        send(game, tokens);
        expectScreen(game, true);
    });
}

// The same picture two and three times larger, pixel for pixel, and clicks
// at the enlarged positions hit the same buttons and cells.
void scaleScenarios(const std::string& dataDir) {
    for (int scale : {2, 3}) {
        const std::string name = "scale-" + std::to_string(scale);
        scenario(name, dataDir, [&](Game& game) {
            game.args = {"--scale", std::to_string(scale)};
            game.scale = scale;
            startGame(game, gamePath, dataDir);
            checkWindowProperties(game);
            send(game, scale == 2 ? std::vector<std::string>{"Space", "Enter", "Right", "Right", "Space"}
                                  : std::vector<std::string>{"click:200,280", "click:40,40", "Escape", "click:260,346"});
            expectScreen(game, true);
        });
    }
}

// A session played with the guide and recorded with --record: the recorded
// file, played by replay --events, ends on the screen the window shows.
void recordScenario(const std::string& dataDir) {
    scenario("record", dataDir, [&](Game& game) {
        const std::string file = workDir + "/session.txt";
        std::remove(file.c_str());
        game.args = {"--undo", "--counter", "--guide", "--record", file};
        game.replayOptions = "--undo --counter --guide";
        startGame(game, gamePath, dataDir);
        send(game, {"Space", "Right", "Enter", "Left", "U", "H", "Up"});
        expectScreen(game, false);
        const std::string expectedPath = workDir + "/record-expected.png";
        int status = 0;
        shell(toolPath + " replay --data " + dataDir + " --events " + file + " --png " + expectedPath + " > /dev/null",
              &status);
        Image expected;
        if (status != 0 || !loadPng(expectedPath, expected)) {
            fail("record: replay --events did not play " + file);
            throw Abort{};
        }
        const long diff = waitScreen(game, expected, workDir + "/record-window.png");
        if (diff == -3) gameEnded(game);
        if (diff != 0) throw Timeout{"record: the window against replay --events: " + describeDiff(diff)};
        pass("record: replay --events of the recorded session shows the window's screen pixel for pixel");
    });
}

// The same with the player set across an editor session: E on the level
// list, Escape out of the editor, then play; the recording goes on after
// the editor, and its replay ends on the window's screen.
void recordEditorScenario(const std::string& dataDir) {
    scenario("record-editor", dataDir, [&](Game& game) {
        const std::string file = workDir + "/session-editor.txt";
        std::remove(file.c_str());
        game.args = {"--player", "--no-save", "--no-sound", "--scale", "1", "--record", file};
        game.replayOptions = "--player";
        // The copy E makes goes to a folder of its own: the game's usual one
        // is checked to stay empty.
        struct OwnFolder {
            const std::string was = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
            OwnFolder() { setenv("XDG_DATA_HOME", (workDir + "/xdg-editor").c_str(), 1); }
            ~OwnFolder() { setenv("XDG_DATA_HOME", was.c_str(), 1); }
        };
        {
            OwnFolder own;
            startGame(game, gamePath, dataDir);
        }
        send(game, {"Space", "Right"});
        expectScreen(game, false);
        const auto titled = [&](bool editing) {
            return waitFor(ScreenLimit, [&] { return (windowTitle(game).find("editor") != std::string::npos) == editing; });
        };
        sendToken(game, "E");
        if (!titled(true)) throw Timeout{"record-editor: E did not open the editor: " + windowTitle(game)};
        sendToken(game, "Escape");
        if (!titled(false)) throw Timeout{"record-editor: Escape did not leave the editor: " + windowTitle(game)};
        game.sent.push_back("E");  // the replay's level list does nothing with it
        send(game, {"Right", "Enter", "Left"});
        expectScreen(game, false);
        const std::string recorded = readFile(file);
        if (recorded.find("\n# options --player --no-sound\n") == std::string::npos ||
            recorded.find("e\n# the editor") == std::string::npos || recorded.find("\nright\nenter\nleft\n") == std::string::npos)
            fail("record-editor: the recording after the editor is:\n" + recorded);
        const std::string expectedPath = workDir + "/record-editor-expected.png";
        int status = 0;
        shell(toolPath + " replay --data " + dataDir + " --events " + file + " --png " + expectedPath + " > /dev/null",
              &status);
        Image expected;
        if (status != 0 || !loadPng(expectedPath, expected)) {
            fail("record-editor: replay --events did not play " + file);
            throw Abort{};
        }
        const long diff = waitScreen(game, expected, workDir + "/record-editor-window.png");
        if (diff == -3) gameEnded(game);
        if (diff != 0) throw Timeout{"record-editor: the window against replay --events: " + describeDiff(diff)};
        pass("record-editor: the recording goes on after the editor; its replay shows the window's screen");
    });
}

void titleScenario(const std::string& dataDir) {
    scenario("title", dataDir, [&](Game& game) {
        startGame(game, gamePath, dataDir);
        checkWindowProperties(game);
        expectScreen(game, true);
        send(game, {"Escape"});
        expectExitZero(game, "Escape on the title quits with status 0", "Escape on the title");
    });
}

void quitScenarios(const std::string& dataDir) {
    scenario("tour", dataDir, [&](Game& game) {
        // Title, level list, a level, pause, restart, back to the list, to
        // the title, and quit.
        startGame(game, gamePath, dataDir);
        send(game, {"Space", "Enter", "Right", "Escape", "R", "Escape", "Escape", "Escape"});
        expectScreen(game, true);
        send(game, {"Escape"});
        expectExitZero(game, "after a tour of every screen, Escape on the title quits with status 0", "the tour");
    });
    scenario("exit-button", dataDir, [&](Game& game) {
        startGame(game, gamePath, dataDir);
        send(game, {"click:200,340"});
        expectExitZero(game, "the \"Exit\" button quits with status 0", "the Exit button");
    });
}

// A storm of key presses and clicks, sent without waiting, a hundred to an
// xdotool call: never Escape and never a click on the title's "Exit", so the
// game cannot quit inside it. Four Escapes then lead back from any screen to
// the title and out, with status 0.
void stormScenario(const std::string& dataDir) {
    scenario("storm", dataDir, [&](Game& game) {
        static const char* const keys[] = {"space", "Return", "Left", "Right", "Up", "Down", "Prior",
                                           "Next",  "w",      "a",    "s",     "d",  "r"};
        std::uint64_t seed = 0x9E3779B97F4A7C15u;
        auto next = [&seed](std::uint64_t n) {
            seed = seed * 6364136223846793005u + 1442695040888963407u;
            return (seed >> 33) % n;
        };
        startGame(game, gamePath, dataDir);
        const int presses = 2000;
        std::string batch;
        for (int i = 1; i <= presses; ++i) {
            if (next(8) == 0) {
                int x = 0, y = 0;
                do {
                    x = static_cast<int>(next(384));
                    y = static_cast<int>(next(384));
                } while (x >= 150 && x <= 374 && y >= 321 && y <= 371);
                batch += " mousemove --window " + std::to_string(game.window) + " " + std::to_string(x) + " " +
                         std::to_string(y) + " click 1";
            } else {
                batch += std::string(" key ") + keys[next(sizeof keys / sizeof keys[0])];
            }
            if (i % 100 == 0 || i == presses) {
                shell("DISPLAY=" + display + " xdotool" + batch + " 2>/dev/null");
                batch.clear();
                if (exited(game.pid, &game.status)) {
                    game.pid = -1;
                    gameEnded(game);
                }
            }
        }
        shell("DISPLAY=" + display + " xdotool key Escape key Escape key Escape key Escape 2>/dev/null");
        expectExitZero(game, "2000 presses and clicks sent at once, then Escape to the title: status 0",
                       "the input storm", StormLimit);
    });
}

// The close button: the texture is deleted, then the window system shut
// down, and the status is 0; the window hints come first, in order.
void runCloseTest(const std::string& dataDir, const std::string& traceLib) {
    scenario("close", dataDir, [&](Game& game) {
        const std::string trace = workDir + "/trace.txt";
        std::remove(trace.c_str());
        startGame(game, gamePath, dataDir, traceLib, trace);
        expectScreen(game, false);
        closeWindow(game);
        expectExitZero(game, "closing the window ends the game with status 0", "closing the window");
        const std::string calls = readFile(trace);
        const std::size_t del = calls.find("glDeleteTextures"), term = calls.find("glfwTerminate");
        if (del != std::string::npos && term != std::string::npos && del < term)
            pass("the texture is deleted before the window system is shut down");
        else
            fail("shutdown calls were: " + calls);
        const std::string hints = "glfwWindowHint 0x20003 0\nglfwWindowHint 0x2100d 0\nglfwWindowHint 0x2100d 4\n"
                                  "glfwWindowHint 0x22002 2\nglfwWindowHint 0x22003 1\n";
        if (calls.compare(0, hints.size(), hints) == 0)
            pass("not resizable, 4 samples, an OpenGL 2.1 context requested, in that order");
        else
            fail("window hints were: " + calls);
        if (calls.find("glfwSwapInterval") == std::string::npos)
            pass("the bare program keeps the driver's swap interval");
        else
            fail("the bare program set a swap interval: " + calls);
    });
    // The player set's swaps wait for the display (nothing saved, no sound).
    scenario("player-swaps", dataDir, [&](Game& game) {
        const std::string trace = workDir + "/trace-player.txt";
        std::remove(trace.c_str());
        game.args = {"--player", "--no-save", "--no-sound", "--scale", "1"};
        startGame(game, gamePath, dataDir, traceLib, trace);
        closeWindow(game);
        expectExitZero(game, "the player set: closing the window ends the game with status 0", "closing the window");
        const std::string calls = readFile(trace);
        if (calls.find("glfwSwapInterval 1\n") != std::string::npos)
            pass("the player set asks for a swap interval of 1");
        else
            fail("the player set's calls were: " + calls);
    });
}

void runGameTests(const std::string& traceLib) {
    const std::string dataDir = workDir + "/data";
    mkdir(dataDir.c_str(), 0755);
    for (const char* pack : {"data01.pak", "data02.pak", "data03.pak"})
        shell("cp " + packDir + "/" + pack + " " + dataDir + "/");
    writeTestLevels(dataDir + "/data.lvl");

    titleScenario(dataDir);
    playScenario(dataDir, "level-list", {"Space", "PageDown", "Right"});
    playScenario(dataDir, "clicks", {"click:200,280", "click:40,40"});
    playScenario(dataDir, "turn-move-shot", {"Space", "Enter", "Right", "Right", "Space"});
    playScenario(dataDir, "pause", {"Space", "Enter", "Right", "Right", "Space", "Escape"});
    playScenario(dataDir, "won", {"Space", "Right", "Enter", "Up"});
    playScenario(dataDir, "lost", {"Space", "Right", "Right", "Enter", "Up"});
    recordScenario(dataDir);
    recordEditorScenario(dataDir);
    scaleScenarios(dataDir);
    quitScenarios(dataDir);
    runCloseTest(dataDir, traceLib);
    stormScenario(dataDir);
    // The game without the player set writes nothing, saved progress least of all.
    if (fileExists(workDir + "/xdg"))
        fail("the game without options wrote into its XDG_DATA_HOME");
    else
        pass("the game without options wrote nothing into its XDG_DATA_HOME");
    flushResults();
}

// Start-up failures the player can read: no display, no level file, no
// pack. Each ends with one line on stderr, before any window. The display
// named is a socket path in the test's own folder that nothing creates, so
// no X server can answer it however busy the machine.
void runStartupFailureTests() {
    const std::string dir = workDir + "/broken";
    mkdir(dir.c_str(), 0755);
    const std::string game =
        "cd " + dir + " && (env -u WAYLAND_DISPLAY DISPLAY=" + workDir + "/no-display " + gamePath + "; ";
    // The shell reports an abort as status 134.
    std::string err = shell(game + "echo \"status $?\") 2>&1");
    if (err.find("data01.pak") != std::string::npos && err.find("status 134") != std::string::npos)
        pass("a missing pack ends the game abnormally, naming the file");
    else
        fail("a missing pack: " + err);
    shell("cp " + packDir + "/data01.pak " + packDir + "/data02.pak " + dir + "/");
    err = shell(game + "echo \"status $?\") 2>&1");
    if (err.find("data.lvl") != std::string::npos && err.find("status 1\n") != std::string::npos)
        pass("a missing level file is reported, status 1");
    else
        fail("a missing level file: " + err);
    writeTestLevels(dir + "/data.lvl");
    err = shell(game + "echo \"status $?\") 2>&1");
    if (err.find("window") != std::string::npos && err.find("status 1\n") != std::string::npos)
        pass("without a display the game says why and ends with status 1");
    else
        fail("no display: " + err);
    flushResults();
}

void runInstalledTest() {
    const std::string launcher = installedPrefix + "/bin/brimvale";
    const std::string dataDir = installedPrefix + "/share/brimvale";
    if (!fileExists(launcher) || !fileExists(dataDir + "/data01.pak") || !fileExists(dataDir + "/data.lvl")) {
        fail("the installation lacks " + launcher + " or its data in " + dataDir);
        flushResults();
        return;
    }
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string progressFile = std::string(xdg ? xdg : "") + "/brimvale/progress.txt";
    scenario("installed-classic", dataDir, [&](Game& game) {
        // --classic: the game as it always was, through the launcher.
        game.args = {"--classic"};
        startGame(game, launcher, "/");
        checkWindowProperties(game);
        checkDesktopIdentity(game, false);
        expectScreen(game, true);
        send(game, {"Space", "Enter", "Escape", "Escape", "Escape", "Escape"});
        expectExitZero(game, "the installed game with --classic quits with status 0", "--classic");
        if (fileExists(progressFile)) fail("--classic saved progress in " + progressFile);
        else pass("--classic saved nothing");
    });
    scenario("installed", dataDir, [&](Game& game) {
        // Started from anywhere: the launcher finds the data folder itself
        // and passes the player set: a window twice as large on this screen.
        game.scale = 2;
        game.replayOptions = "--player";
        startGame(game, launcher, "/");
        checkDesktopIdentity(game, true);
        game.name = "installed-title";
        expectScreen(game, true);
        send(game, {"Space"});
        game.name = "installed-level-list";
        expectScreen(game, true);
        send(game, {"Enter"});
        expectScreen(game, false);
        // The level's title follows its number in the player set.
        const std::string level = "Brimvale - level 1: ", counter = " - presses 0 - fewest ";
        if (waitFor(ScreenLimit, [&] {
                const std::string title = windowTitle(game);
                return title.rfind(level, 0) == 0 && title.find(counter) != std::string::npos;
            }))
            pass("the title counts the presses: '" + windowTitle(game) + "'");
        else
            fail("the title while playing is '" + windowTitle(game) + "'");
        send(game, {"Escape", "Escape", "Escape", "Escape"});
        expectExitZero(game, "the installed game quits with status 0", "the installed game");
        if (readFile(progressFile).find("\nlast ") != std::string::npos)
            pass("the player set saved the last level played in " + progressFile);
        else
            fail("no last level played in " + progressFile);
    });
}

// --- Sound: the installed game's mix, recorded by OpenAL Soft's file output ---

constexpr seconds RecordLimit{60};  // the recording grows by the time asked for
constexpr int RecordRate = 22050;

long fileBytes(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// Waits until the recording holds `more` seconds beyond what it held when
// called: every effect started before has been heard to its end, so the
// effects of the next key stand apart in the mix.
void waitRecording(Game& game, const std::string& wav, double more) {
    const long target = std::max(fileBytes(wav), 44L) + static_cast<long>(more * RecordRate) * 2;
    if (!waitFor(RecordLimit, [&] { return fileBytes(wav) >= target || exited(game.pid, &game.status); }))
        throw Timeout{game.name + ": the recording did not grow for 60 s (" + wav + ")"};
    if (game.pid > 0 && exited(game.pid, &game.status)) {
        game.pid = -1;
        gameEnded(game);
    }
}

// OpenAL Soft's configuration: its output a mono 16-bit file at the
// effects' rate, unchanged samples (no dither, no limiter); or no driver it
// can use at all.
std::string writeSoundConfig(const std::string& name, const std::string& wav) {
    const std::string path = workDir + "/" + name + ".conf";
    std::ofstream out(path);
    if (wav.empty())
        out << "[general]\ndrivers=no-such-driver\n";
    else
        out << "[general]\ndrivers=wave\nchannels=mono\nsample-type=int16\nfrequency=" << RecordRate
            << "\ndither=false\noutput-limiter=false\n[wave]\nfile=" << wav << "\n";
    return path;
}

// The effects the replay counts for `tokens`, by name.
std::vector<std::string> replaySounds(const std::string& dataDir, const std::vector<std::string>& tokens) {
    std::istringstream report(shell(toolPath + " replay --sounds --data " + dataDir + " " + join(tokens)));
    std::string line, word;
    while (std::getline(report, line))
        if (line.compare(0, 6, "sounds") == 0) break;
    std::istringstream words(line);
    std::vector<std::string> names;
    words >> word;
    while (words >> word) names.push_back(word);
    return names;
}

// Every effect the replay counts must be in the recording, in order, and
// nothing else: once they are taken out, what is left is silence.
void checkRecording(const std::string& wav, const std::string& soundDir, const std::vector<std::string>& names) {
    int rate = 0;
    audiomatch::Signal mix = audiomatch::readWav(wav, rate);
    if (rate != RecordRate || mix.size() < static_cast<std::size_t>(RecordRate)) {
        fail("the recording " + wav + " holds " + std::to_string(mix.size()) + " samples at " + std::to_string(rate) + " Hz");
        return;
    }
    std::vector<audiomatch::Signal> effects;
    std::vector<int> order;
    for (const std::string& name : names) {
        int r = 0;
        effects.push_back(audiomatch::readWav(soundDir + "/" + name + ".wav", r));
        order.push_back(static_cast<int>(order.size()));
    }
    const std::vector<audiomatch::Found> found = audiomatch::matchInOrder(mix, effects, order, 0.5);
    std::string where;
    bool all = true;
    for (std::size_t i = 0; i < found.size(); ++i) {
        char text[96];
        std::snprintf(text, sizeof text, " %s@%.3fs(%.2f)", names[i].c_str(), found[i].at / double(RecordRate), found[i].gain);
        where += found[i].at < 0 ? " " + names[i] + "@missing" : text;
        all = all && found[i].at >= 0 && found[i].gain > 0.5 && found[i].gain < 1.0;
    }
    if (all)
        pass("the recording holds the " + std::to_string(names.size()) + " effects the replay counts, in order:" + where);
    else
        fail("the effects in the recording (" + wav + "):" + where);
    long at = 0;
    const double left = audiomatch::peak(mix, at);
    char text[160];
    std::snprintf(text, sizeof text, "the rest of the %.1f s recording is silent (peak %.5f at %.3f s)",
                  mix.size() / double(RecordRate), left, at / double(RecordRate));
    if (all && left < 0.01) pass(text);
    else if (all) fail(std::string("not so: ") + text);
}

void runSoundTests() {
    const std::string launcher = installedPrefix + "/bin/brimvale", dataDir = installedPrefix + "/share/brimvale";
    writeTestLevels(dataDir + "/data.lvl");
    const std::string wav = workDir + "/mix.wav", errFile = workDir + "/sound-stderr.txt";
    // Title to the list, the highlight right and back, level 0: a turn, a
    // shot into the brick wall, the pause, the list, M, and the title muted.
    const std::vector<std::string> tokens = {"Space", "Right", "Left",   "Enter", "Right",
                                             "Space", "Escape", "Escape", "M",    "Escape"};
    const std::vector<std::string> names = replaySounds(dataDir, tokens);
    // The launcher's player set has sound on.
    gameStderr = errFile;
    setenv("ALSOFT_CONF", writeSoundConfig("wave", wav).c_str(), 1);
    scenario("sound", dataDir, [&](Game& game) {
        std::remove(wav.c_str());
        game.scale = 2;  // the player set's --scale auto on this screen
        startGame(game, launcher, "/");
        for (const std::string& token : tokens) {
            expectScreen(game, false);
            waitRecording(game, wav, 1.0);
            sendToken(game, token);
            game.sent.push_back(token);
        }
        expectScreen(game, false);
        waitRecording(game, wav, 1.0);
        send(game, {"Escape"});
        expectExitZero(game, "the game with sound quits with status 0", "the game with sound");
        const std::string err = readFile(errFile);
        if (err.empty()) pass("sound on: nothing on stderr");
        else fail("sound on, stderr: " + err);
        checkRecording(wav, dataDir + "/sound", names);
    });
    // No usable audio driver, then a damaged and a missing effect: one line
    // each, and the game plays.
    const auto silent = [&](const std::string& name, const std::string& conf, const std::string& expected) {
        setenv("ALSOFT_CONF", conf.c_str(), 1);
        scenario(name, dataDir, [&](Game& game) {
            game.scale = 2;
            startGame(game, launcher, "/");
            send(game, {"Space", "Enter", "Right", "Space", "Escape", "Escape", "Escape"});
            expectScreen(game, false);
            send(game, {"Escape"});
            expectExitZero(game, name + ": the game plays and quits with status 0", name);
            // One line: "brimvale: ", then the reason (a file named by its path).
            const std::string err = readFile(errFile);
            const bool oneLine = err.size() > expected.size() && err.compare(0, 10, "brimvale: ") == 0 &&
                                 err.compare(err.size() - expected.size(), expected.size(), expected) == 0 &&
                                 std::count(err.begin(), err.end(), '\n') == 1;
            if (oneLine) pass(name + ": one line on stderr: " + err.substr(0, err.size() - 1));
            else fail(name + ": stderr was '" + err + "', not one line ending '" + expected + "'");
        });
    };
    silent("no-audio-device", writeSoundConfig("none", ""),
           "no audio device could be opened; playing without sound\n");
    shell("printf 'RIFF....WAVEjunk' > " + dataDir + "/sound/menu-move.wav");
    silent("damaged-sound", writeSoundConfig("wave", wav),
           "/sound/menu-move.wav: no format chunk before the data; playing without sound\n");
    shell("rm -f " + dataDir + "/sound/turn.wav");
    silent("missing-sound", writeSoundConfig("wave", wav),
           "/sound/turn.wav: cannot be opened; playing without sound\n");
    gameStderr.clear();
    unsetenv("ALSOFT_CONF");
}

}  // namespace

int main(int argc, char** argv) {
    std::string traceLib;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--game") gamePath = value;
        else if (key == "--tool") toolPath = value;
        else if (key == "--packs") packDir = value;
        else if (key == "--trace-lib") traceLib = value;
        else if (key == "--installed") installedPrefix = value;
        else if (key == "--sound") soundPrefix = value;
    }
    if (!soundPrefix.empty()) installedPrefix = soundPrefix;
    if (toolPath.empty() || (installedPrefix.empty() && (gamePath.empty() || packDir.empty()))) {
        std::fprintf(stderr,
                     "usage: brimvale_window_test --tool PATH (--game PATH --packs DIR --trace-lib PATH | "
                     "--installed PREFIX | --sound PREFIX)\n");
        return 2;
    }
    // The game starts in other folders: every path must be absolute.
    for (std::string* path : {&gamePath, &toolPath, &packDir, &traceLib, &installedPrefix}) {
        if (path->empty()) continue;
        if (char* full = realpath(path->c_str(), nullptr)) {
            *path = full;
            std::free(full);
        }
    }
    char tmpl[] = "/tmp/brimvale-window-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    workDir = tmpl;
    // Nothing may reach a display the test did not start, and nothing the
    // game saves reaches the user's own folders.
    unsetenv("DISPLAY");
    if (installedPrefix.empty()) setenv("XDG_DATA_HOME", (workDir + "/xdg").c_str(), 1);
    XSetErrorHandler(ignoreXError);
    XSetIOErrorHandler(ignoreXIOError);

    if (installedPrefix.empty()) runStartupFailureTests();
    std::string why;
    if (!startXvfbTwice(why)) {
        std::printf("SKIPPED: no X server for the window test: %s (%s/xvfb.log)\n", why.c_str(), workDir.c_str());
        return failures ? 1 : 77;
    }
    std::printf("Xvfb on display %s; screenshots in %s\n", display.c_str(), workDir.c_str());
    std::fflush(stdout);
    if (!soundPrefix.empty())
        runSoundTests();
    else if (installedPrefix.empty())
        runGameTests(traceLib);
    else
        runInstalledTest();
    stopXvfb();
    if (failures) {
        std::printf("%d check(s) failed\n", failures);
        return 1;
    }
    shell("rm -rf " + workDir);
    return 0;
}
