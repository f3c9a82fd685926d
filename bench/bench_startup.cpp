// Start-up of the real program on the largest word list against a bare Qt window program,
// all started the same way on a private Xvfb, in turn. For each start it takes the time
// from the spawn to the window being mapped and to its first pixels being drawn, as an
// outside X client sees them, and the resident memory shortly after. Prints medians.
// For comparison the program also starts on a 50-row list, the bare program also with the
// welcome text, and the cost of opening the list file (key derivation and first page) is
// timed on its own. No start-up step of the program waits on a timer, so nothing is taken out.
//   bench_startup [RUNS [OTHER_PROGRAM]]
// OTHER_PROGRAM (another build of mnemora, say an older commit's) starts on the same list in
// the same rounds, so the two builds are compared within one run of this noisy machine.
// Needs the real lists (scripts/build-wordlists.sh build/db ...) for tem8.dat.
#include "FixtureDb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 540;
constexpr int kHeight = 109;
constexpr auto kSettle = std::chrono::milliseconds(500);

struct Start {
    double mappedMs = 0;
    double drawnMs = 0;
    long rssKb = 0;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A program and its arguments.
using Command = std::vector<std::string>;

pid_t Spawn(const Command& command, bool quiet = false) {
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

long RssKb(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class Display {
public:
    explicit Display(xcb_connection_t* c) : c_(c) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, root_, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        pidAtom_ = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        xcb_flush(c);
    }

    // Runs one start of the program and measures it; the program is ended afterwards.
    std::optional<Start> Measure(const Command& program) {
        const Clock::time_point t0 = Clock::now();
        const pid_t pid = Spawn(program);
        if (pid < 0)
            return std::nullopt;
        Start s;
        const xcb_window_t window = WaitForMap(pid, t0 + std::chrono::seconds(20));
        if (window != 0) {
            s.mappedMs = Ms(Clock::now() - t0);
            while (!Drawn(window) && Clock::now() - t0 < std::chrono::seconds(20))
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            s.drawnMs = Ms(Clock::now() - t0);
            std::this_thread::sleep_for(kSettle);
            s.rssKb = RssKb(pid);
        }
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (window == 0)
            return std::nullopt;
        return s;
    }

private:
    uint32_t PidOf(xcb_window_t w) {
        auto* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, w, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        uint32_t pid = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) == 4)
            std::memcpy(&pid, xcb_get_property_value(reply), 4);
        std::free(reply);
        return pid;
    }

    xcb_window_t WaitForMap(pid_t pid, Clock::time_point until) {
        pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
        while (Clock::now() < until) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
                xcb_window_t mapped = 0;
                if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
                    mapped = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                std::free(event);
                if (mapped != 0 && PidOf(mapped) == static_cast<uint32_t>(pid) && SizeIs(mapped))
                    return mapped;
            }
            ::poll(&fd, 1, 50);
        }
        return 0;
    }

    bool SizeIs(xcb_window_t w) {
        auto* reply = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr);
        const bool ok = reply != nullptr && reply->width == kWidth && reply->height == kHeight;
        std::free(reply);
        return ok;
    }

    // The server starts the window black (the root's colour); both programs paint it light.
    bool Drawn(xcb_window_t w) {
        auto* reply = xcb_get_image_reply(
            c_, xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 2, 2, 1, 1, ~0u), nullptr);
        bool drawn = false;
        if (reply != nullptr && xcb_get_image_data_length(reply) >= 3) {
            const uint8_t* p = xcb_get_image_data(reply);
            drawn = p[0] > 64 || p[1] > 64 || p[2] > 64;
        }
        std::free(reply);
        return drawn;
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool Copy(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// BENCH_SPEAK_WORD=1: the program speaks each word, so its speech module loads after the
// first word is drawn.
bool SpeakWord() {
    const char* value = std::getenv("BENCH_SPEAK_WORD");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// A program folder: the program, its settings (tem8 selected, not a first start) and db/.
std::string MakeFolder(const QString& folder, const QString& list,
                       const QString& from = QStringLiteral(MNEMORA_PROGRAM)) {
    const QString program = folder + QStringLiteral("/mnemora");
    const bool ok = QDir().mkpath(folder + QStringLiteral("/db")) && Copy(from, program) &&
                    WriteFile(folder + QStringLiteral("/mnemora.ini"),
                              QByteArray("[Software]\nRunTimes=10\n[Word]\nExamStudy=0\nDBTable=7\n") +
                                  (SpeakWord() ? "[Speech]\nSpeakWord=1\n" : "")) &&
                    (!SpeakWord() || Copy(QStringLiteral(MNEMORA_BUILD_DIR "/libmnemora-speech.so"),
                                          folder + QStringLiteral("/libmnemora-speech.so"))) &&
                    (list.isEmpty() ? fixture::WriteTable(folder + QStringLiteral("/db/tem8.dat"),
                                                          QStringLiteral("tem8"), fixture::GeneratedRows(50))
                                    : Copy(list, folder + QStringLiteral("/db/tem8.dat")));
    return ok ? program.toStdString() : std::string();
}

// Opening a list file: the key derivation runs when the first page is read.
double OpenAndKeyMs(const QString& path) {
    std::vector<double> times;
    const QByteArray file = QFile::encodeName(path);
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_key(db, fixture::kPassword, static_cast<int>(std::strlen(fixture::kPassword)));
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    QTemporaryDir root;
    const QString app = root.filePath(QStringLiteral("app"));
    const QString list = QStringLiteral(MNEMORA_BUILD_DIR "/db/tem8.dat");
    if (!QFile::exists(list)) {
        std::fprintf(stderr, "bench_startup: %s is missing; build the real lists first\n", qPrintable(list));
        return 1;
    }
    // The programs run from private folders with a private home; the word lists are copies.
    QDir().mkpath(root.filePath(QStringLiteral("run")));
    QFile::setPermissions(root.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString bare = app + QStringLiteral("/bare_window");
    const std::string mnemora = MakeFolder(app, list);
    const std::string small = MakeFolder(root.filePath(QStringLiteral("small")), QString());
    const QString otherProgram = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const std::string other = otherProgram.isEmpty()
                                  ? std::string()
                                  : MakeFolder(root.filePath(QStringLiteral("other")), list, otherProgram);
    if (mnemora.empty() || small.empty() || !Copy(QStringLiteral(BARE_PROGRAM), bare) ||
        (!otherProgram.isEmpty() && other.empty()))
        return 1;
    const double openMs = OpenAndKeyMs(app + QStringLiteral("/db/tem8.dat"));
    setenv("HOME", qPrintable(root.path()), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(root.filePath(QStringLiteral("config"))), 1);
    setenv("XDG_RUNTIME_DIR", qPrintable(root.filePath(QStringLiteral("run"))), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SESSION_MANAGER");

    // A private X server with a black root.
    int fds[2];
    if (::pipe(fds) != 0)
        return 1;
    const pid_t xvfb = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x800x24",
                              "-br", "-nolisten", "tcp"},
                             true);
    if (xvfb < 0)
        return 1;
    ::close(fds[1]);
    char number[16] = {};
    const ssize_t got = ::read(fds[0], number, sizeof number - 1);
    ::close(fds[0]);
    if (got <= 0)
        return 1;
    const std::string display = ":" + std::string(number, std::strcspn(number, "\n"));
    setenv("DISPLAY", display.c_str(), 1);
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    Display screen(c);

    const int kPrograms = other.empty() ? 4 : 5;
    std::vector<double> mapped[5], drawn[5], rss[5];
    const Command programs[5] = {
        {bare.toStdString()}, {mnemora}, {small}, {bare.toStdString(), "--text"}, {other}};
    bool ok = true;
    for (int i = -1; i < runs && ok; ++i) { // run -1 warms the page cache and is not counted
        for (int p = 0; p < kPrograms; ++p) {
            const std::optional<Start> s = screen.Measure(programs[p]);
            ok = ok && s.has_value();
            if (!s || i < 0)
                continue;
            mapped[p].push_back(s->mappedMs);
            drawn[p].push_back(s->drawnMs);
            rss[p].push_back(double(s->rssKb));
        }
    }
    xcb_disconnect(c);
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);
    if (!ok) {
        std::fprintf(stderr, "bench_startup: a window did not appear\n");
        return 1;
    }

    std::printf("start-up, %d runs each, medians\n", runs);
    std::printf("%-22s %10s %10s %10s\n", "", "mapped ms", "drawn ms", "VmRSS KiB");
    const char* names[5] = {"bare Qt window", "mnemora, tem8 13,363", "mnemora, 50 rows",
                            "bare with welcome text", "other build, tem8"};
    for (int p = 0; p < kPrograms; ++p)
        std::printf("%-22s %10.1f %10.1f %10.0f\n", names[p], Median(mapped[p]), Median(drawn[p]),
                    Median(rss[p]));
    std::printf("%-22s %10.2f %10.2f %10.2f   (targets: time <= 1.50, memory <= 1.30)\n", "ratio tem8 / bare",
                Median(mapped[1]) / Median(mapped[0]), Median(drawn[1]) / Median(drawn[0]),
                Median(rss[1]) / Median(rss[0]));
    std::printf("%-22s %10.2f %10.2f %10.2f\n", "ratio tem8 / with text",
                Median(mapped[1]) / Median(mapped[3]), Median(drawn[1]) / Median(drawn[3]),
                Median(rss[1]) / Median(rss[3]));
    if (!other.empty())
        std::printf("%-22s %10.2f %10.2f %10.2f\n", "ratio tem8 / other",
                    Median(mapped[1]) / Median(mapped[4]), Median(drawn[1]) / Median(drawn[4]),
                    Median(rss[1]) / Median(rss[4]));
    std::printf("opening tem8.dat (key derivation + first page), in-process: %.1f ms\n", openMs);
    return 0;
}
