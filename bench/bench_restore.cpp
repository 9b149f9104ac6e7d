// Restoring backups whose texts, lists and sizes are far beyond real use, as
// a file someone hands over could hold them: what the main thread and the
// memory pay. The aims: the panel shown, the status menu built and every
// turn of the main thread during an import within 100 ms; an import's peak
// memory within 1.5 times its payload's inflated JSON. Release build, under
// Xvfb for the panel, one core:
//   scripts/test-session env QT_QUICK_BACKEND=software taskset -c 0 build/release/bench/bench_restore
// An argument gives the inflated size of the memory cases in MiB (1907, the
// default, is 2.0 GB).
#include "BenchVault.h"
#include "app/AppStateController.h"
#include "backup/BackupFile.h"
#include "backup/BackupImport.h"
#include "backup/BackupPayload.h"
#include "crypto/EncryptionService.h"
#include "crypto/SecureRandom.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeDockPresence.h"
#include "support/FakeGlobalMouseMonitor.h"
#include "support/FakeKeySender.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "support/FakeWorkspace.h"
#include "support/TestFiles.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/StatusBarController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QProcess>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

const QString password = u"bench password"_s;
constexpr quint32 rounds = 100'000;

// The main thread's own processor time, which the scheduler's pauses do not
// count.
double threadMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The most processor time the main thread spent between two turns of its
// event loop while the probe lives.
class TurnProbe final {
public:
    TurnProbe()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const double now = threadMilliseconds();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_timer.start(0);
    }
    double longest() const { return std::max(m_longest, threadMilliseconds() - m_last); }

private:
    QTimer m_timer;
    double m_last = threadMilliseconds();
    double m_longest = 0;
};

// With the usual history limit: an import writes 500 entries at most.
struct Vault : BenchVault {
    explicit Vault(const EncryptionService &encryption) : BenchVault(encryption, 500) { }

    ImportResult restore(const QString &file, double *longestTurn = nullptr)
    {
        TurnProbe probe;
        const ImportResult result = awaitFuture(importBackup(file, password, state, settings));
        if (!result)
            std::printf("import failed: %s\n", qPrintable(description(result.error())));
        // The snippets are reloaded after the import has answered.
        QTest::qWait(200);
        if (longestTurn)
            *longestTurn = probe.longest();
        return result;
    }
};

QString writeSealed(const QTemporaryDir &folder, const QString &name, const BackupPayload &payload)
{
    const QString path = folder.filePath(name);
    if (!writeFile(path, sealBackup(payload.encode(), password).value()))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray uuidText()
{
    return QUuid::createUuid().toByteArray(QUuid::WithoutBraces).toUpper();
}

// A backup file written piece by piece from the format's layout, so that a
// payload of gigabytes never lies whole in this process.
class StreamedBackup final {
public:
    explicit StreamedBackup(const QString &path) : m_file(path)
    {
        const QByteArray salt = SecureRandom::bytes(16)->toByteArray();
        const QByteArray nonce = SecureRandom::bytes(12)->toByteArray();
        QByteArray header = "VTBK\x01" + QByteArray(4, '\0') + salt;
        qToBigEndian(rounds, header.data() + 5);
        const SecureBytes key = deriveBackupKey(password, salt, rounds).value();
        int written = 0;
        if (!m_file.open(QIODevice::WriteOnly) || m_file.write(header + nonce) != 37
            || EVP_EncryptInit_ex2(m_cipher, EVP_aes_256_gcm(), key.data(),
                   reinterpret_cast<const unsigned char *>(nonce.constData()), nullptr)
                != 1
            || EVP_EncryptUpdate(m_cipher, nullptr, &written,
                   reinterpret_cast<const unsigned char *>(header.constData()), int(header.size()))
                != 1
            || deflateInit2(&m_deflate, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            qFatal("cannot start %s", qPrintable(path));
    }
    ~StreamedBackup() { EVP_CIPHER_CTX_free(m_cipher); }

    qint64 inflatedSize() const { return m_inflated; }

    void write(QByteArrayView json)
    {
        m_inflated += json.size();
        run(json, Z_NO_FLUSH);
    }

    void finish()
    {
        run({}, Z_FINISH);
        deflateEnd(&m_deflate);
        unsigned char tag[16];
        int written = 0;
        if (EVP_EncryptFinal_ex(m_cipher, tag, &written) != 1
            || EVP_CIPHER_CTX_ctrl(m_cipher, EVP_CTRL_GCM_GET_TAG, 16, tag) != 1
            || m_file.write(reinterpret_cast<const char *>(tag), 16) != 16)
            qFatal("cannot finish the backup");
        m_file.close();
    }

private:
    void run(QByteArrayView input, int flush)
    {
        m_deflate.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.data()));
        m_deflate.avail_in = uInt(input.size());
        int status = Z_OK;
        do {
            m_deflate.next_out = reinterpret_cast<Bytef *>(m_out.data());
            m_deflate.avail_out = uInt(m_out.size());
            status = deflate(&m_deflate, flush);
            const int produced = int(m_out.size() - m_deflate.avail_out);
            int written = 0;
            auto *bytes = reinterpret_cast<unsigned char *>(m_out.data());
            if (produced > 0
                && (EVP_EncryptUpdate(m_cipher, bytes, &written, bytes, produced) != 1
                    || m_file.write(m_out.constData(), produced) != produced))
                qFatal("cannot write the backup");
        } while (m_deflate.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }

    QFile m_file;
    EVP_CIPHER_CTX *m_cipher = EVP_CIPHER_CTX_new();
    z_stream m_deflate {};
    QByteArray m_out = QByteArray(1 << 20, Qt::Uninitialized);
    qint64 m_inflated = 0;
};

// Writes count bytes of byte, a piece at a time.
void repeat(StreamedBackup &backup, char byte, qint64 count)
{
    const QByteArray piece(1 << 20, byte);
    for (; count > 0; count -= piece.size())
        backup.write(QByteArrayView(piece).first(std::min<qint64>(count, piece.size())));
}

QByteArray entryStart(bool pinned)
{
    return R"({"id":")" + uuidText() + R"(","contentType":"text","createdAt":)"
        + QByteArray::number(QDateTime::currentSecsSinceEpoch()) + R"(,"isFavorite":false,"isPinned":)"
        + (pinned ? "true" : "false") + R"(,"isSensitive":false,)";
}

const QByteArray payloadStart = R"({"format":1,"createdAt":0,"appVersion":"","entries":[)";
const QByteArray payloadEnd = R"(],"snippets":[],"excludedApps":[],"snippetFolders":[]})";

// Each shape's inflated JSON is about size bytes.
void writeShape(const QString &shape, const QString &path, qint64 size)
{
    StreamedBackup backup(path);
    backup.write(payloadStart);
    if (shape == u"long preview") {
        backup.write(entryStart(true) + R"("content":"YQ==","preview":")");
        repeat(backup, 'x', size - 400);
        backup.write(R"("})");
    } else if (shape == u"large content") {
        backup.write(entryStart(false) + R"("content":")");
        repeat(backup, 'A', (size - 400) / 4 * 4);
        backup.write(R"("})");
    } else if (shape == u"tiny entries") {
        // As small as an entry is written, each with an identifier of its own.
        for (bool first = true; backup.inflatedSize() < size - 200; first = false)
            backup.write((first ? "" : ",") + entryStart(false) + R"("content":""})");
    } else {
        // Entries of 12 KiB that do not compress.
        for (bool first = true; backup.inflatedSize() < size - 20'000; first = false) {
            const QByteArray content = SecureRandom::bytes(12 * 1024)->toByteArray();
            backup.write((first ? "" : ",") + entryStart(false) + R"("content":")" + content.toBase64()
                + R"(","preview":")" + content.left(50).toHex() + R"("})");
        }
    }
    backup.write(payloadEnd);
    backup.finish();
}

qint64 statusKibibytes(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// In a process of its own, whose peak is the import's: the resident size
// before it and the peak, in KiB, and the longest turn of the main thread.
int importAlone(const QString &file)
{
    MasterKeyHolder key;
    key.set(*SecureRandom::bytes(32));
    const EncryptionService encryption(key);
    Vault vault(encryption);
    const qint64 before = statusKibibytes("VmRSS:");
    double turn = 0;
    const ImportResult imported = vault.restore(file, &turn);
    std::printf("%lld %lld %.1f %d\n", before, statusKibibytes("VmHWM:"), turn, imported ? 1 : 0);
    return 0;
}

void memoryCases(const QString &self, qint64 size)
{
    QTemporaryDir folder(QDir::home().filePath(u".vantorell-bench-XXXXXX"_s));
    for (const QString &shape :
        {u"long preview"_s, u"large content"_s, u"entries of 12 KiB"_s, u"tiny entries"_s}) {
        const QString path = folder.filePath(u"memory.vtbackup"_s);
        writeShape(shape, path, size);
        QProcess child;
        child.start(self, {u"--import"_s, path});
        child.waitForFinished(-1);
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        QFile::remove(path);
        if (figures.size() != 4) {
            std::printf("%s: the import's process failed\n", qPrintable(shape));
            continue;
        }
        const double inflated = double(size) / 1024;
        const double added = figures[1].toDouble() - figures[0].toDouble();
        std::printf("memory, %s: %.0f MiB of JSON; peak %.0f MiB above the %.0f MiB before, %.2f times the "
                    "JSON (aim <= 1.5); longest main-thread turn %s ms; imported: %s\n",
            qPrintable(shape), inflated / 1024, added / 1024, figures[0].toDouble() / 1024, added / inflated,
            figures[2].constData(), figures[3] == "1" ? "yes" : "no");
    }
}

// From the call to the frame swapped after it, in milliseconds.
double untilFrame(PanelWindow &window)
{
    std::atomic<bool> swapped = false;
    const auto connection = QObject::connect(
        &window, &QQuickWindow::frameSwapped, &window, [&swapped] { swapped = true; }, Qt::DirectConnection);
    QElapsedTimer timer;
    timer.start();
    window.showAt({100, 100});
    const bool shown = QTest::qWaitFor([&swapped] { return swapped.load(); }, 60'000);
    QObject::disconnect(connection);
    return shown ? double(timer.nsecsElapsed()) / 1e6 : -1;
}

// A pinned entry whose preview is 32 MiB: the panel shows it at the top.
void longPreview(const EncryptionService &encryption, const QTemporaryDir &folder)
{
    const BackupEntry entry {QUuid::createUuid(), ContentType::plainText, QDateTime::currentDateTimeUtc(),
        false, true, {}, false, "a", QString(32 << 20, u'x')};
    const QString file = writeSealed(folder, u"preview.vtbackup"_s, {.entries = {entry}});
    Vault vault(encryption);
    double turn = 0;
    vault.restore(file, &turn);
    FakeKeySender keySender;
    MainPopoverModel panel(vault.state, keySender);
    QQmlEngine engine;
    PanelWindow window(engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
        {{u"panel"_s, QVariant::fromValue(&panel)}});
    const double first = untilFrame(window);
    QList<double> later;
    for (int run = 0; run < 11; ++run) {
        window.hide();
        QTest::qWait(50);
        later.append(untilFrame(window));
    }
    std::ranges::sort(later);
    std::printf("32 MiB preview (%.1f MB file): longest main-thread turn of the import %.1f ms; panel first "
                "shown in %.1f ms, later in %.1f ms (median of %lld; aim <= 100)\n",
        double(QFileInfo(file).size()) / 1e6, turn, first, later.at(later.size() / 2),
        qlonglong(later.size()));
}

// A snippet whose title is 16 MiB: the status menu lists it.
void longTitle(const EncryptionService &encryption, const QTemporaryDir &folder)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const Snippet snippet {
        QUuid::createUuid(), QString(16 << 20, u't'), u"text"_s, {}, {}, false, now, now, 0};
    const QString file = writeSealed(folder, u"title.vtbackup"_s, {.snippets = {snippet}});
    Vault vault(encryption);
    double turn = 0;
    vault.restore(file, &turn);
    FakeWorkspace workspace;
    FakePasteboard pasteboard;
    FakeKeySender keySender;
    FakeGlobalMouseMonitor mouseMonitor;
    StatusBarController controller(
        vault.state, vault.settings, {workspace, pasteboard, keySender, mouseMonitor});
    QList<double> times;
    for (int run = 0; run < 11; ++run) {
        const double start = threadMilliseconds();
        const std::unique_ptr<QMenu> menu = controller.buildStatusMenu();
        for (QAction *action : menu->actions()) {
            if (action->text() == u"Snippets"_s) {
                action->menu()->popup({0, 0});
                action->menu()->hide();
            }
        }
        times.append(threadMilliseconds() - start);
    }
    std::ranges::sort(times);
    std::printf(
        "16 MiB snippet title (%.1f MB file): longest main-thread turn of the import %.1f ms; status "
        "menu built and its Snippets submenu shown in %.1f ms (median of %lld; aim <= 100); title now %lld "
        "characters\n",
        double(QFileInfo(file).size()) / 1e6, turn, times.at(times.size() / 2), qlonglong(times.size()),
        qlonglong(vault.state.snippets().value(0).title.size()));
}

// Folder names and excluded applications by the hundred thousand.
void longLists(const EncryptionService &encryption, const QTemporaryDir &folder, int count)
{
    BackupPayload payload;
    for (int i = 0; i < count; ++i) {
        payload.snippetFolders.append(u"Folder %1"_s.arg(i));
        payload.excludedApps.append({QUuid::createUuid(), u"org.example.App%1"_s.arg(i), u"App %1"_s.arg(i)});
    }
    const QString file = writeSealed(folder, u"lists.vtbackup"_s, payload);
    Vault vault(encryption);
    double turn = 0;
    QElapsedTimer timer;
    timer.start();
    vault.restore(file, &turn);
    std::printf(
        "%d folders and %d applications (%.1f MB file): longest main-thread turn of the import %.1f ms "
        "(aim <= 100); settings now hold %lld folders and %lld applications\n",
        count, count, double(QFileInfo(file).size()) / 1e6, turn,
        qlonglong(vault.settings.snippetFolders().size()), qlonglong(vault.settings.excludedApps().size()));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"Vantorell"_s);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == u"--import")
        return importAlone(arguments[2]);
    MasterKeyHolder key;
    key.set(*SecureRandom::bytes(32));
    const EncryptionService encryption(key);
    QTemporaryDir folder(QDir::home().filePath(u".vantorell-bench-XXXXXX"_s));
    longPreview(encryption, folder);
    longTitle(encryption, folder);
    for (const int count : {100'000, 400'000})
        longLists(encryption, folder, count);
    const qint64 mebibytes = arguments.size() > 1 ? arguments[1].toLongLong() : 1907;
    memoryCases(app.applicationFilePath(), mebibytes << 20);
    return 0;
}
