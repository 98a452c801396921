// What the radio costs, measured on the real program under X:
//
//  - start-up to the greeting and peak memory before the first "听歌",
//    against the same program built without QtWebEngine (goal: ratio ≤ 1.05),
//    and, for scale, against the same program merely linked with it;
//  - the time from a click on "听歌" to the panel on the screen and to the
//    radio page in it, the first time (the engine starts) and again;
//  - memory after "停止" against memory before "听歌".
//
// A local server stands in for the radio site as the browser's HTTP proxy.
// Runs under its own D-Bus session and, without a DISPLAY, its own Xvfb.
// RUNS (environment) sets the number of start-ups per program (default 11);
// on a busy machine single start-ups vary by a quarter, so use more there.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// What this benchmark started and must not leave behind when it gives up.
pid_t gProgram = 0, gXvfb = 0;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "music_bench: %s\n", why.c_str());
    for (pid_t pid : {gProgram, gXvfb}) {
        if (pid > 0) ::kill(pid, SIGKILL);
    }
    std::exit(1);
}

// ---- the radio site --------------------------------------------------------

// Green exactly where the panel looks, red elsewhere, a tone playing.
const char* kRadioPage = R"(<!doctype html><html><head><style>
html, body { margin: 0; overflow: hidden; background: #ff0000; }
#seen { position: absolute; left: 336px; top: 160px; width: 281px; height: 160px;
        background: #00ff00; }
</style></head><body><div id="seen"></div>
<audio src="/tone.wav" autoplay loop></audio></body></html>)";

std::string toneWave() {
    const int rate = 8000;
    std::string data;
    for (int i = 0; i < rate; ++i) {
        auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        data.append(reinterpret_cast<const char*>(&v), 2);
    }
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
           u32(rate * 2) + u16(2) + u16(16) + "data" + u32(data.size()) + data;
}

// Serves every address itself, one request per connection.
class RadioServer {
  public:
    RadioServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd_, 16) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            fail("no local server");
        }
        port = ntohs(a.sin_port);
        std::thread([this] { run(); }).detach();
    }
    int port = 0;

  private:
    void run() {
        const std::string wave = toneWave();
        for (;;) {
            int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) continue;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                ssize_t n = ::read(c, buf, sizeof buf);
                if (n <= 0) break;
                request.append(buf, static_cast<size_t>(n));
            }
            // "GET http://host/radio/ HTTP/1.1": the proxy sees whole addresses.
            const std::string line = request.substr(0, request.find("\r\n"));
            std::string type = "text/html", body;
            if (line.find("/radio/ ") != std::string::npos) body = kRadioPage;
            if (line.find("/tone.wav ") != std::string::npos) {
                type = "audio/wav";
                body = wave;
            }
            std::string reply =
                std::string("HTTP/1.1 ") + (body.empty() ? "204 No Content" : "200 OK") +
                "\r\nContent-Type: " + type +
                "\r\nCache-Control: no-store\r\nConnection: close\r\nContent-Length: " +
                std::to_string(body.size()) + "\r\n\r\n" + body;
            for (size_t sent = 0; sent < reply.size();) {
                ssize_t n = ::write(c, reply.data() + sent, reply.size() - sent);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
            ::close(c);
        }
    }
    int fd_;
};

// ---- processes ---------------------------------------------------------------

pid_t spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &quiet, nullptr, args.data(), environ) != 0) {
        fail("cannot start " + argv[0]);
    }
    posix_spawn_file_actions_destroy(&quiet);
    return pid;
}

void run(const std::vector<std::string>& argv) {
    pid_t pid = spawn(argv);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

void end(pid_t pid) {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (pid == gProgram) gProgram = 0;
}

std::string readFile(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A "Field:   123 kB" line of a /proc file, in MiB.
double procField(const std::string& path, const std::string& field) {
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) / 1024;
    }
    return 0;
}

pid_t parentOf(pid_t pid) {
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(stat.substr(close + 2));
    std::string state;
    pid_t parent = 0;
    rest >> state >> parent;
    return state == "Z" ? 0 : parent;
}

std::vector<pid_t> processTree(pid_t root) {
    std::vector<pid_t> tree{root};
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        pid_t pid = std::atoi(e.path().filename().c_str());
        if (pid <= 0 || pid == root) continue;
        for (pid_t p = parentOf(pid); p > 1; p = parentOf(p)) {
            if (p == root) {
                tree.push_back(pid);
                break;
            }
        }
    }
    return tree;
}

// Proportional memory of the program and every process it started (the
// browser's helpers share much of their memory).
double treePss(pid_t root) {
    double sum = 0;
    for (pid_t p : processTree(root))
        sum += procField("/proc/" + std::to_string(p) + "/smaps_rollup", "Pss");
    return sum;
}

bool mapsWebEngine(pid_t pid) {
    return readFile("/proc/" + std::to_string(pid) + "/maps").find("libQt6WebEngineCore") !=
           std::string::npos;
}

int renderers(pid_t root) {
    int n = 0;
    for (pid_t p : processTree(root)) {
        n += readFile("/proc/" + std::to_string(p) + "/cmdline").find("--type=renderer") !=
             std::string::npos;
    }
    return n;
}

// ---- the screen ----------------------------------------------------------------

class ScreenReader {
  public:
    ScreenReader() {
        d_ = XOpenDisplay(nullptr);
        if (!d_) fail("no X display");
        // Windows come and go while the tree is walked; a vanished one is
        // simply not the one looked for.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        name_ = XInternAtom(d_, "_NET_WM_NAME", False);
        utf8_ = XInternAtom(d_, "UTF8_STRING", False);
        pid_ = XInternAtom(d_, "_NET_WM_PID", False);
    }
    ~ScreenReader() { XCloseDisplay(d_); }

    // A mapped top-level window of `pid` whose title starts with `title`.
    std::optional<Window> window(pid_t pid, const std::string& title) {
        std::optional<Window> found;
        walk(DefaultRootWindow(d_), [&](Window w) {
            if (found || property(w, pid_, XA_CARDINAL) != std::to_string(pid)) return;
            XWindowAttributes a;
            if (!XGetWindowAttributes(d_, w, &a) || a.map_state != IsViewable) return;
            if (property(w, name_, utf8_).rfind(title, 0) == 0) found = w;
        });
        return found;
    }

    // Where a point of a window's client area is on the screen.
    std::pair<int, int> onScreen(Window w, int x, int y) {
        int sx = 0, sy = 0;
        Window child;
        XTranslateCoordinates(d_, w, DefaultRootWindow(d_), x, y, &sx, &sy, &child);
        return {sx, sy};
    }

    unsigned long pixel(int x, int y) {
        XImage* image = XGetImage(d_, DefaultRootWindow(d_), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
        XDestroyImage(image);
        return p;
    }

  private:
    void walk(Window w, const std::function<void(Window)>& visit) {
        visit(w);
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(d_, w, &root, &parent, &children, &n)) return;
        for (unsigned i = 0; i < n; ++i) walk(children[i], visit);
        if (children) XFree(children);
    }

    std::string property(Window w, Atom name, Atom type) {
        Atom actual;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        std::string value;
        if (XGetWindowProperty(d_, w, name, 0, 1024, False, type, &actual, &format, &items, &after,
                               &data) == Success &&
            data) {
            if (type == XA_CARDINAL && format == 32 && items > 0) {
                value = std::to_string(*reinterpret_cast<unsigned long*>(data));
            } else if (format == 8) {
                value.assign(reinterpret_cast<char*>(data), items);
            }
            XFree(data);
        }
        return value;
    }

    Display* d_;
    Atom name_, utf8_, pid_;
};

template <class F>
double waitFor(F done, Clock::time_point t0, const char* what, std::chrono::seconds limit = 60s) {
    while (!done()) {
        if (Clock::now() - t0 > limit) fail(std::string("timed out waiting for ") + what);
        std::this_thread::sleep_for(1ms);
    }
    return msSince(t0);
}

const std::string kGreeting = "※寄语※";
const std::string kMain = "Kestrune公考计时器";

struct Started {
    pid_t pid;
    double startupMs;
    Window main;
};

// Starts a program, times it to its greeting, answers the greeting and
// waits for the main window.
Started start(ScreenReader& screen, const std::string& program) {
    auto t0 = Clock::now();
    pid_t pid = gProgram = spawn({program});
    std::optional<Window> box;
    double startup = waitFor([&] { return (box = screen.window(pid, kGreeting)).has_value(); }, t0,
                             "the greeting");
    // Answered as a user would: the box gets the focus and Return. A key
    // sent before the box can take it is lost, so it is sent again.
    std::optional<Window> main;
    for (int attempt = 0; !main; ++attempt) {
        if (attempt == 20) fail("the greeting does not go away");
        run({"xdotool", "windowfocus", "--sync", std::to_string(*box), "key", "Return"});
        auto t1 = Clock::now();
        while (!(main = screen.window(pid, kMain)) && Clock::now() - t1 < 1s) {
            std::this_thread::sleep_for(5ms);
        }
    }
    return {pid, startup, *main};
}

struct Idle {
    double startupMs, peakMiB;
};

Idle measureStart(ScreenReader& screen, const std::string& program) {
    Started s = start(screen, program);
    std::this_thread::sleep_for(1s);
    Idle r{s.startupMs, procField("/proc/" + std::to_string(s.pid) + "/status", "VmHWM")};
    end(s.pid);
    return r;
}

struct Radio {
    double panelColdMs, pageColdMs, panelWarmMs, pageWarmMs;
    double mainBefore, treeBefore, treePlaying, mainAfter, treeAfter;
    bool engineBefore, engineAfter;
};

constexpr unsigned long kLogBlack = 0x000000, kPageGreen = 0x00ff00;

Radio measureRadio(ScreenReader& screen, const std::string& program) {
    Started s = start(screen, program);
    std::this_thread::sleep_for(1s);
    Radio r{};
    const std::string status = "/proc/" + std::to_string(s.pid) + "/status";
    r.mainBefore = procField(status, "VmRSS");
    r.treeBefore = treePss(s.pid);
    r.engineBefore = mapsWebEngine(s.pid);

    // A point of the log that the panel covers, and the two buttons.
    auto [px, py] = screen.onScreen(s.main, 260, 330);
    auto [lx, ly] = screen.onScreen(s.main, 547 + 27, 300 + 12);
    auto [sx, sy] = screen.onScreen(s.main, 610 + 27, 325 + 12);
    if (screen.pixel(px, py) != kLogBlack) fail("the log is not where it should be");

    auto open = [&](double& panelMs, double& pageMs) {
        run({"xdotool", "mousemove", "--sync", std::to_string(lx), std::to_string(ly)});
        auto t0 = Clock::now();
        run({"xdotool", "click", "1"});
        panelMs = waitFor([&] { return screen.pixel(px, py) != kLogBlack; }, t0, "the panel");
        pageMs = waitFor([&] { return screen.pixel(px, py) == kPageGreen; }, t0, "the page");
    };
    auto stop = [&] {
        run({"xdotool", "mousemove", "--sync", std::to_string(sx), std::to_string(sy), "click",
             "1"});
        waitFor([&] { return screen.pixel(px, py) == kLogBlack; }, Clock::now(), "the panel to go");
        waitFor([&] { return renderers(s.pid) == 0; }, Clock::now(), "the renderer to end");
    };

    open(r.panelColdMs, r.pageColdMs);
    r.engineAfter = mapsWebEngine(s.pid);
    std::this_thread::sleep_for(3s);  // playing
    r.treePlaying = treePss(s.pid);
    stop();
    std::this_thread::sleep_for(2s);
    r.mainAfter = procField(status, "VmRSS");
    r.treeAfter = treePss(s.pid);
    open(r.panelWarmMs, r.pageWarmMs);
    stop();
    end(s.pid);
    return r;
}

std::optional<pid_t> startXvfb() {
    if (std::getenv("DISPLAY")) return std::nullopt;
    for (int n = 400 + ::getpid() % 300;; ++n) {
        if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) continue;
        std::string display = ":" + std::to_string(n);
        pid_t pid = gXvfb =
            spawn({"Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        ::setenv("DISPLAY", display.c_str(), 1);
        for (int i = 0; i < 100; ++i) {
            if (Display* d = XOpenDisplay(nullptr)) {
                XCloseDisplay(d);
                return pid;
            }
            std::this_thread::sleep_for(50ms);
        }
        fail("Xvfb did not start");
    }
}

// Every figure, each program started `runs` times in turn.
void report(int runs) {
    ScreenReader screen;
    std::vector<double> tWithout, tProgram, tLinked, mWithout, mProgram, mLinked;
    std::vector<double> tRatio, mRatio;      // program against without, round by round
    measureStart(screen, KESTRUNE_PROGRAM);  // warm the file cache for all three
    measureStart(screen, KESTRUNE_LINKED);
    for (int i = 0; i < runs; ++i) {
        // In turn, the order swapped every round: a program started right
        // after another finds more of the shared libraries in memory.
        Idle a, b;
        if (i % 2) {
            b = measureStart(screen, KESTRUNE_PROGRAM);
            a = measureStart(screen, KESTRUNE_WITHOUT);
        } else {
            a = measureStart(screen, KESTRUNE_WITHOUT);
            b = measureStart(screen, KESTRUNE_PROGRAM);
        }
        Idle c = measureStart(screen, KESTRUNE_LINKED);
        tWithout.push_back(a.startupMs);
        tProgram.push_back(b.startupMs);
        tLinked.push_back(c.startupMs);
        mWithout.push_back(a.peakMiB);
        mProgram.push_back(b.peakMiB);
        mLinked.push_back(c.peakMiB);
        tRatio.push_back(b.startupMs / a.startupMs);
        mRatio.push_back(b.peakMiB / a.peakMiB);
    }
    const double t0 = median(tWithout), t1 = median(tProgram), t2 = median(tLinked);
    const double m0 = median(mWithout), m1 = median(mProgram), m2 = median(mLinked);
    // Start-up on a busy machine: the quickest run is the one least disturbed.
    const double b0 = *std::min_element(tWithout.begin(), tWithout.end());
    const double b1 = *std::min_element(tProgram.begin(), tProgram.end());
    std::printf(
        "start-up to the greeting: %.0f ms vs %.0f ms without QtWebEngine (best of %d), ratio "
        "%.3f (goal <= 1.05); medians %.0f vs %.0f ms, paired ratio %.3f\n",
        b1, b0, runs, b1 / b0, t1, t0, median(tRatio));
    std::printf(
        "peak memory before 听歌 (VmHWM): %.1f MiB vs %.1f MiB without QtWebEngine, ratio %.3f "
        "(goal <= 1.05)\n",
        m1, m0, median(mRatio));
    std::printf(
        "for scale, merely linked with QtWebEngine: start-up %.0f ms (median), ratio %.2f; peak "
        "%.1f MiB, ratio %.2f\n",
        t2, t2 / t0, m2, m2 / m0);
    std::fflush(stdout);

    std::vector<Radio> radios;
    for (int i = 0; i < std::max(1, runs / 2); ++i)
        radios.push_back(measureRadio(screen, KESTRUNE_PROGRAM));
    auto med = [&](double Radio::*field) {
        std::vector<double> v;
        for (const Radio& r : radios) v.push_back(r.*field);
        return median(v);
    };

    bool before = false, after = true;
    for (const Radio& r : radios) {
        before = before || r.engineBefore;
        after = after && r.engineAfter;
    }
    std::printf("QtWebEngine in the program's memory: %s before 听歌, %s after\n",
                before ? "yes" : "no", after ? "yes" : "no");
    std::printf(
        "听歌 to the panel on the screen: %.0f ms the first time (the engine starts), %.0f ms "
        "again\n",
        med(&Radio::panelColdMs), med(&Radio::panelWarmMs));
    std::printf(
        "听歌 to the radio page in it: %.0f ms the first time, %.0f ms again; first time vs "
        "start-up: ratio %.2f\n",
        med(&Radio::pageColdMs), med(&Radio::pageWarmMs), med(&Radio::pageColdMs) / t1);
    std::printf(
        "memory of the program with its helpers (PSS): %.1f MiB before 听歌, %.1f MiB playing, "
        "%.1f MiB after 停止: after/before ratio %.2f\n",
        med(&Radio::treeBefore), med(&Radio::treePlaying), med(&Radio::treeAfter),
        med(&Radio::treeAfter) / med(&Radio::treeBefore));
    std::printf(
        "memory of the program's own process (RSS): %.1f MiB before 听歌, %.1f MiB after 停止: "
        "ratio %.2f\n",
        med(&Radio::mainBefore), med(&Radio::mainAfter),
        med(&Radio::mainAfter) / med(&Radio::mainBefore));
}

}  // namespace

int main(int argc, char** argv) {
    // Qt programs without a session bus start a bus daemon that outlives them.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        std::vector<char*> again{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i) again.push_back(argv[i]);
        again.push_back(nullptr);
        ::execvp("dbus-run-session", again.data());
        fail("dbus-run-session is missing");
    }
    std::optional<pid_t> xvfb = startXvfb();
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        static char dir[] = "/tmp/music_bench.XXXXXX";
        if (::mkdtemp(dir)) ::setenv("XDG_RUNTIME_DIR", dir, 1);
    }

    // For every program alike: the radio site through the local server, and
    // as root the sandbox off (the engine refuses root otherwise; the program
    // would say so and play nothing).
    RadioServer server;
    ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(server.port)).c_str(), 1);
    ::unsetenv("no_proxy");
    ::unsetenv("XDG_CURRENT_DESKTOP");
    if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);

    const int runs = std::max(1, std::atoi(std::getenv("RUNS") ? std::getenv("RUNS") : "11"));
    report(runs);
    if (xvfb) end(*xvfb);
    return 0;
}
