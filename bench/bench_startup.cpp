// Start-up and resident memory of the real program beside a peer, CopyQ
// (Debian package `copyq`, installed only to run this; without it the peer's
// figures are left out), both holding the same 10,000 texts of 1 KiB. It
// needs the session keyring and a window manager, so it runs inside the
// test desktop:
//     scripts/test-session build/release/bench/bench_startup [--runs N]
//         [--program PATH] [--profile]
// The two programs are started in turn, five times each by default. Per
// start: the time from process start until the history is loaded (our log
// line; the peer closing its tab file after reading it), resident memory one
// second later and the OpenGL driver libraries mapped by then; then the
// panel (the peer's main window) is opened as a second start of the program
// opens it, closed with Escape, and resident memory is read one second
// later. Medians, with the slowest and fastest run, and the load average.
// --profile adds, from the last start, where the resident memory lies one
// second after loading: the largest mappings of /proc/<pid>/smaps.
#include "SeededVault.h"

#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "platform/linux/DesktopKeychain.h"
#include "support/FakeDeviceAuth.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>
#include <optional>
#include <set>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int entryCount = 10'000;
constexpr int entrySize = 1024;

// Who holds the keyboard focus, and a key press, on the session's display.
class Session final {
    Q_DISABLE_COPY(Session)

public:
    Session() : m_display(XOpenDisplay(nullptr)) { }
    ~Session()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool isOpen() const { return m_display != nullptr; }

    // The process whose window holds the focus; 0 for none.
    qint64 focusedProcess() const
    {
        Window window = 0;
        int revert = 0;
        XGetInputFocus(m_display, &window, &revert);
        const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        while (window > PointerRoot) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0;
            unsigned long after = 0;
            unsigned char *data = nullptr;
            if (XGetWindowProperty(m_display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                    &items, &after, &data)
                    == Success
                && data) {
                const qint64 pid = items == 1 && format == 32 ? qint64(*reinterpret_cast<long *>(data)) : 0;
                XFree(data);
                if (pid)
                    return pid;
            }
            Window root = 0;
            Window parent = 0;
            Window *children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(m_display, window, &root, &parent, &children, &count))
                return 0;
            if (children)
                XFree(children);
            if (parent == root)
                return 0;
            window = parent;
        }
        return 0;
    }

    void pressEscape() const
    {
        const KeyCode escape = XKeysymToKeycode(m_display, XK_Escape);
        XTestFakeKeyEvent(m_display, escape, True, CurrentTime);
        XTestFakeKeyEvent(m_display, escape, False, CurrentTime);
        XFlush(m_display);
    }

private:
    ::Display *m_display;
};

bool waitFor(const std::function<bool()> &condition, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

// Mesa's and the vendors' drivers; the dispatch libraries (libGLX, libEGL,
// libOpenGL, libGLdispatch) are linked by Qt Gui itself and load nothing.
QStringList openGLDrivers(qint64 pid)
{
    static const QRegularExpression driver(
        u"(_dri\\.so|libLLVM|libGLX_mesa|libEGL_mesa|libglapi|libgallium|libvulkan|nvidia|libdrm_)"_s);
    QFile maps(u"/proc/%1/maps"_s.arg(pid));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    std::set<QString> found;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QString path = QString::fromUtf8(line.mid(line.indexOf('/')));
        if (line.contains('/') && driver.match(path).hasMatch())
            found.insert(QFileInfo(path).fileName());
    }
    return {found.begin(), found.end()};
}

// Resident KiB per mapped file (anonymous memory as "[anon]", "[heap]"),
// largest first.
QList<std::pair<qint64, QString>> residentByMapping(qint64 pid)
{
    QFile smaps(u"/proc/%1/smaps"_s.arg(pid));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    QHash<QString, qint64> resident;
    QString mapping;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields.at(0).contains('-') && fields.at(3).contains(':'))
            mapping = fields.size() > 5 ? QString::fromUtf8(fields.at(5)) : u"[anon]"_s;
        else if (fields.at(0) == "Rss:")
            resident[mapping] += fields.value(1).toLongLong();
    }
    QList<std::pair<qint64, QString>> sorted;
    for (auto it = resident.cbegin(); it != resident.cend(); ++it)
        sorted.append({it.value(), it.key()});
    std::ranges::sort(sorted, std::greater());
    return sorted;
}

double loadAverage()
{
    QFile file(u"/proc/loadavg"_s);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').first().toDouble() : -1;
}

double mib(qint64 kib)
{
    return kib < 0 ? -1 : double(kib) / 1024.0;
}

struct Run {
    double loadedMs = -1;
    double residentMiB = -1;
    double afterPanelMiB = -1;
    // Resident memory of the peer's helper processes (its clipboard monitor).
    double helpersMiB = 0;
    QStringList driversBeforeWindow;
    QStringList driversAfterWindow;
    QList<std::pair<qint64, QString>> mappings;
};

// Resident memory of pid's child processes.
double childrenMiB(qint64 pid)
{
    qint64 total = 0;
    for (const QString &entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile stat(u"/proc/"_s + entry + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            total += std::max<qint64>(0, residentKiB(entry.toLongLong()));
    }
    return mib(total);
}

// Opens the window with open, closes it with Escape; the resident memory of
// pid one second later.
double afterWindow(const Session &display, qint64 pid, const std::function<void()> &open, Run &run)
{
    open();
    if (!waitFor([&] { return display.focusedProcess() == pid; }, 10'000)) {
        std::fprintf(stderr, "the window of %lld did not take the focus\n", qlonglong(pid));
        return -1;
    }
    QThread::msleep(300);
    run.driversAfterWindow = openGLDrivers(pid);
    display.pressEscape();
    if (!waitFor([&] { return display.focusedProcess() != pid; }, 5'000)) {
        std::fprintf(stderr, "Escape did not close the window of %lld\n", qlonglong(pid));
        return -1;
    }
    QThread::msleep(1000);
    return mib(residentKiB(pid));
}

struct Ours {
    QString program;
    SeededVault vault {entryCount, [](int index) { return sampleText(index, entrySize); }};

    Run start(const Session &display) const
    {
        Run run;
        QProcess process;
        process.setProcessEnvironment(vault.environment());
        process.setProcessChannelMode(QProcess::MergedChannels);
        const QByteArray loaded
            = "[Vantorell] fetchAllEntries: loaded " + QByteArray::number(entryCount) + " entries from DB";
        QElapsedTimer timer;
        timer.start();
        process.start(program, {});
        QByteArray output;
        QDeadlineTimer deadline(60'000);
        while (!output.contains(loaded) && !deadline.hasExpired()) {
            process.waitForReadyRead(5);
            output += process.readAll();
        }
        if (!output.contains(loaded)) {
            std::fprintf(stderr, "vantorell: no load line:\n%s\n", output.constData());
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.loadedMs = double(timer.nsecsElapsed()) / 1e6;
        QThread::msleep(1000);
        run.residentMiB = mib(residentKiB(process.processId()));
        run.driversBeforeWindow = openGLDrivers(process.processId());
        run.mappings = residentByMapping(process.processId());
        // A second start hands over to this one, which opens the panel.
        run.afterPanelMiB = afterWindow(
            display, process.processId(),
            [this] {
                QProcess second;
                second.setProcessEnvironment(vault.environment());
                second.start(program, {});
                if (!second.waitForFinished(10'000))
                    second.kill();
            },
            run);
        process.terminate();
        if (!process.waitForFinished(30'000))
            process.kill();
        return run;
    }
};

struct Peer {
    QString program = QStandardPaths::findExecutable(u"copyq"_s);
    QTemporaryDir home;

    QString configFolder() const { return home.filePath(u".config/copyq"_s); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u".config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u".local/share"_s));
        environment.remove(u"QT_QPA_PLATFORM"_s);
        return environment;
    }

    // A client command to the running server; its output, or none when it
    // failed.
    std::optional<QByteArray> ask(const QStringList &arguments) const
    {
        QProcess client;
        client.setProcessEnvironment(environment());
        client.start(program, arguments);
        if (!client.waitForFinished(60'000) || client.exitCode() != 0)
            return std::nullopt;
        return client.readAllStandardOutput();
    }

    void stop(QProcess &server) const
    {
        ask({u"exit"_s});
        if (!server.waitForFinished(30'000))
            server.kill();
    }

    bool seed() const
    {
        QDir().mkpath(configFolder());
        QFile texts(home.filePath(u"texts.txt"_s));
        if (!texts.open(QIODevice::WriteOnly))
            return false;
        for (int index = 0; index < entryCount; ++index)
            texts.write(sampleText(index, entrySize) + '\n');
        texts.close();
        // add() puts its arguments on top in reverse order: entry 0 ends up
        // first, as in our history.
        QFile script(home.filePath(u"seed.js"_s));
        if (!script.open(QIODevice::WriteOnly))
            return false;
        script.write("var file = new File(" + QByteArray("\"") + texts.fileName().toUtf8()
            + "\");\n"
              "file.openReadOnly();\n"
              "var lines = str(file.readAll()).split('\\n');\n"
              "lines.pop();\n"
              "for (var end = lines.length; end > 0; end -= 500)\n"
              "    add.apply(this, lines.slice(Math.max(0, end - 500), end).reverse());\n"
              "print(size());\n");
        script.close();

        QProcess server;
        server.setProcessEnvironment(environment());
        server.setStandardOutputFile(QProcess::nullDevice());
        server.setStandardErrorFile(QProcess::nullDevice());
        server.start(program, {});
        if (!waitFor([this] { return ask({u"count"_s}).has_value(); }, 20'000))
            return false;
        ask({u"config"_s, u"maxitems"_s, QString::number(entryCount)});
        const std::optional<QByteArray> size = ask({u"source"_s, script.fileName()});
        stop(server);
        return size && size->trimmed().toInt() == entryCount;
    }

    Run start(const Session &display) const
    {
        Run run;
        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(watch, configFolder().toUtf8().constData(), IN_CLOSE_NOWRITE);
        QProcess server;
        server.setProcessEnvironment(environment());
        server.setStandardOutputFile(QProcess::nullDevice());
        server.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        server.start(program, {});
        bool loaded = false;
        QDeadlineTimer deadline(60'000);
        while (!loaded && !deadline.hasExpired()) {
            pollfd ready {watch, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0)
                continue;
            alignas(inotify_event) char buffer[4096];
            const ssize_t length = read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                const QByteArray name(event->len ? event->name : "");
                if (name.startsWith("copyq_tab_") && name.endsWith(".dat"))
                    loaded = true;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        close(watch);
        if (!loaded) {
            std::fprintf(stderr, "copyq: its tab was not read\n");
            stop(server);
            return run;
        }
        run.loadedMs = double(timer.nsecsElapsed()) / 1e6;
        QThread::msleep(1000);
        const qint64 pid = server.processId();
        run.residentMiB = mib(residentKiB(pid));
        run.helpersMiB = childrenMiB(pid);
        run.driversBeforeWindow = openGLDrivers(pid);
        run.mappings = residentByMapping(pid);
        run.afterPanelMiB = afterWindow(
            display, pid, [this] { ask({u"show"_s}); }, run);
        stop(server);
        return run;
    }
};

struct Summary {
    std::vector<double> loaded;
    std::vector<double> resident;
    std::vector<double> afterPanel;
    std::vector<double> helpers;
    std::set<QString> driversBefore;
    std::set<QString> driversAfter;
    QList<std::pair<qint64, QString>> lastMappings;

    void add(const Run &run)
    {
        lastMappings = run.mappings;
        loaded.push_back(run.loadedMs);
        resident.push_back(run.residentMiB);
        afterPanel.push_back(run.afterPanelMiB);
        helpers.push_back(run.helpersMiB);
        driversBefore.insert(run.driversBeforeWindow.begin(), run.driversBeforeWindow.end());
        driversAfter.insert(run.driversAfterWindow.begin(), run.driversAfterWindow.end());
    }
};

QString range(const std::vector<double> &values, const char *unit)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return u"%1 %2 (%3–%4)"_s.arg(median(values), 0, 'f', 1)
        .arg(QString::fromLatin1(unit))
        .arg(*low, 0, 'f', 1)
        .arg(*high, 0, 'f', 1);
}

QString joined(const std::set<QString> &names)
{
    return names.empty() ? u"none"_s : QStringList(names.begin(), names.end()).join(u", "_s);
}

void printRatio(const char *what, double ours, double peer, double aim)
{
    std::printf("  %-38s %.2f× the peer's (aim: at most %.2f×)%s\n", what, ours / peer, aim,
        ours / peer <= aim ? "" : "  NOT MET");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"Vantorell"_s);
    QCommandLineParser parser;
    const QCommandLineOption runsOption(u"runs"_s, u"Starts of each program."_s, u"N"_s, u"5"_s);
    const QCommandLineOption programOption(
        u"program"_s, u"The vantorell to start."_s, u"PATH"_s, QStringLiteral(VANTORELL_EXECUTABLE));
    const QCommandLineOption profileOption(u"profile"_s, u"Where the resident memory lies."_s);
    parser.addOptions({runsOption, programOption, profileOption});
    parser.process(application);
    const int runs = std::max(1, parser.value(runsOption).toInt());

    Session display;
    DesktopKeychain keychain(KeyManager::service);
    FakeDeviceAuth deviceAuth;
    KeyManager keys(keychain, deviceAuth);
    keys.deleteAllKeys();
    if (!display.isOpen() || !keys.setupPasscode(u"bench passcode"_s) || !keys.storeRawMasterKey()) {
        std::fprintf(stderr, "no display or keyring: run inside scripts/test-session\n");
        return 1;
    }
    Ours ours {parser.value(programOption)};
    ours.vault.seed(EncryptionService(keys.masterKey()));
    Peer peer;
    bool withPeer = !peer.program.isEmpty();
    if (!withPeer)
        std::printf("CopyQ is not installed (Debian package copyq): the peer's figures are left out\n");
    else if (!peer.seed()) {
        std::printf("CopyQ could not be given the history: the peer's figures are left out\n");
        withPeer = false;
    }

    const double loadBefore = loadAverage();
    Summary ourRuns;
    Summary peerRuns;
    for (int run = 0; run < runs; ++run) {
        ourRuns.add(ours.start(display));
        if (withPeer)
            peerRuns.add(peer.start(display));
    }
    keys.deleteAllKeys();

    std::printf("%d starts each, %d texts of %d bytes; load average %.1f before, %.1f after\n", runs,
        entryCount, entrySize, loadBefore, loadAverage());
    const bool profile = parser.isSet(profileOption);
    const auto print = [profile](const char *name, const Summary &summary) {
        std::printf("%s\n  start until loaded         %s\n  resident 1 s after loaded  %s\n"
                    "  after the panel showed     %s\n  OpenGL drivers before any window: %s\n"
                    "  OpenGL drivers with the window shown: %s\n",
            name, qPrintable(range(summary.loaded, "ms")), qPrintable(range(summary.resident, "MiB")),
            qPrintable(range(summary.afterPanel, "MiB")), qPrintable(joined(summary.driversBefore)),
            qPrintable(joined(summary.driversAfter)));
        if (!profile)
            return;
        std::printf("  resident mappings of 64 KiB and more, 1 s after loaded (KiB):\n");
        for (const auto &[kib, mapping] : summary.lastMappings) {
            if (kib >= 64)
                std::printf("    %7lld %s\n", qlonglong(kib), qPrintable(mapping));
        }
    };
    print("vantorell", ourRuns);
    if (!withPeer)
        return 0;
    print("copyq (the main window stands for the panel)", peerRuns);
    std::printf(
        "  its clipboard monitor process: %.1f MiB more, not counted below\n", median(peerRuns.helpers));
    std::printf("ratios of the medians:\n");
    printRatio("start until loaded", median(ourRuns.loaded), median(peerRuns.loaded), 1.0);
    printRatio("resident 1 s after loaded", median(ourRuns.resident), median(peerRuns.resident), 1.25);
    printRatio(
        "resident after the panel showed", median(ourRuns.afterPanel), median(peerRuns.afterPanel), 1.5);
    return 0;
}
