#include "BackupScript.h"
#include "backup/BackupFile.h"
#include "backup/BackupPayload.h"
#include "backup/PayloadReader.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using Mutation = std::function<void(QFile &)>;
using Outcome = std::optional<BackupError::Code>;

// ü decomposes: the same text in another normal form is another password.
const QString password = u"Müller-Straße ✓"_s;

QDateTime at(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

Mutation patch(qint64 offset, const QByteArray &bytes)
{
    return [=](QFile &file) { QVERIFY(file.seek(offset) && file.write(bytes) == bytes.size()); };
}

Mutation flip(qint64 offset)
{
    return [=](QFile &file) {
        char byte = 0;
        QVERIFY(
            file.seek(offset) && file.getChar(&byte) && file.seek(offset) && file.putChar(char(byte ^ 1)));
    };
}

Mutation resize(qint64 size)
{
    return [=](QFile &file) { QVERIFY(file.resize(size)); };
}

// The version byte and the round count.
QByteArray versionAndRounds(quint8 version, quint32 rounds)
{
    QByteArray bytes(5, Qt::Uninitialized);
    bytes[0] = char(version);
    qToBigEndian(rounds, bytes.data() + 1);
    return bytes;
}

std::expected<BackupPayload, BackupError> decodeFile(
    const QString &path, const QString &typed, qsizetype limit = BackupFile::payloadLimit)
{
    auto read = PayloadReader::readFile(path, typed, PayloadReader::Texts::asWritten, limit);
    if (!read)
        return std::unexpected(read.error());
    return std::move(*read).joined();
}

// What is at the file's place instead of it.
Mutation replace(const std::function<bool(const QByteArray &path)> &make)
{
    return [=](QFile &file) {
        file.close();
        QVERIFY(file.remove());
        QVERIFY(make(QFile::encodeName(file.fileName())));
    };
}

BackupPayload samplePayload()
{
    return BackupPayload {
        .createdAt = at(1'700'000'100'500),
        .appVersion = u"1.4.0"_s,
        .entries = {
            BackupEntry {QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"), ContentType::image, at(1'700'000'000'250),
                true, false, u"org.gimp.GIMP"_s, true, QByteArray("\x89PNG\x00\xff", 6), u"Bild ✓"_s, u"bild"_s,
                QByteArray("{\\rtf1}")},
            BackupEntry {QUuid::fromString(u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0"), ContentType::plainText,
                at(1'699'999'999'000), false, true, std::nullopt, false, u"Grüße"_s.toUtf8(), std::nullopt,
                std::nullopt, std::nullopt},
        },
        .snippets = {Snippet {QUuid::fromString(u"11111111-2222-3333-4444-555555555555"), u"Sig"_s, u"Regards"_s, {u"mail"_s},
            std::nullopt, false, at(1'600'000'000'000), at(1'600'000'500'500), 3}},
        .excludedApps = {ExcludedApp {
            QUuid::fromString(u"aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee"), u"org.keepassxc.KeePassXC"_s, u"KeePassXC"_s}},
        .snippetFolders = {u"Work"_s, u"Ärger"_s},
    };
}

} // namespace

Q_DECLARE_METATYPE(Mutation)
Q_DECLARE_METATYPE(Outcome)

class BackupFileTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString fixture(const QString &name) const { return m_dir.filePath(name + u".vtbackup"_s); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(runBackupScript({u"write"_s, m_dir.path(), password}).first, 0);
    }

    void openAndDecode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Mutation>("mutation");
        QTest::addColumn<Outcome>("outcome");
        const Mutation none = [](QFile &) {};
        const Outcome opens;
        const Outcome notABackup = BackupError::notABackup;
        const Outcome newerVersion = BackupError::newerVersion;
        const Outcome wrongPassword = BackupError::wrongPassword;
        const Outcome damaged = BackupError::damaged;

        QTest::newRow("version 0") << u"version0"_s << none << opens;
        QTest::newRow("53 bytes") << u"full"_s << resize(53) << notABackup;
        QTest::newRow("54 bytes") << u"full"_s << resize(54) << wrongPassword;
        QTest::newRow("magic") << u"full"_s << patch(3, "X") << notABackup;
        QTest::newRow("version 2 before rounds")
            << u"full"_s << patch(4, versionAndRounds(2, 0)) << newerVersion;
        QTest::newRow("rounds 99,999") << u"full"_s << patch(4, versionAndRounds(1, 99'999)) << damaged;
        QTest::newRow("rounds 10,000,001")
            << u"full"_s << patch(4, versionAndRounds(1, 10'000'001)) << damaged;
        QTest::newRow("salt") << u"full"_s << flip(24) << wrongPassword;
        QTest::newRow("ciphertext") << u"full"_s << flip(37) << wrongPassword;
        QTest::newRow("not DEFLATE") << u"not-deflate"_s << none << damaged;
        QTest::newRow("DEFLATE unfinished") << u"unfinished"_s << none << damaged;
        QTest::newRow("format 2, rest broken") << u"format2"_s << none << newerVersion;
        QTest::newRow("bad JSON") << u"bad-json"_s << none << damaged;
        QTest::newRow("unpadded Base64") << u"bad-base64"_s << none << damaged;
        QTest::newRow("braced UUID") << u"bad-uuid"_s << none << damaged;
        // Refused by its size before it is read: whole, it would pass for a
        // wrong password.
        QTest::newRow("3 GiB") << u"full"_s << resize(3LL << 30) << damaged;
        // Opening a FIFO would wait for a writer for ever.
        QTest::newRow("FIFO") << u"full"_s
                              << replace([](const QByteArray &path) { return ::mkfifo(path, 0600) == 0; })
                              << notABackup;
        QTest::newRow("folder") << u"full"_s
                                << replace([](const QByteArray &path) { return ::mkdir(path, 0700) == 0; })
                                << notABackup;
    }

    void openAndDecode()
    {
        QFETCH(QString, name);
        QFETCH(Mutation, mutation);
        QFETCH(Outcome, outcome);
        const QString path = m_dir.filePath(u"mutated"_s);
        QFile::remove(path);
        QDir(path).removeRecursively();
        QVERIFY(QFile::copy(fixture(name), path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        mutation(file);
        file.close();

        const auto decoded = decodeFile(path, password);
        QCOMPARE(decoded ? Outcome() : Outcome(decoded.error().code), outcome);
    }

    // As Qt's parser and the records' decoders read a payload: their
    // leniencies kept, their refusals too.
    void readsJsonAsQtDoes_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("appVersion");
        const auto payload = [](const QByteArray &members) {
            return R"({"format":1,"createdAt":0,"appVersion":"","entries":[],"snippets":[],"excludedApps":[],)"
                   R"("snippetFolders":[])"
                + members + "}";
        };
        const auto nested = [&](int levels) {
            return payload(R"(,"extra":)" + QByteArray(levels, '[') + QByteArray(levels, ']'));
        };
        const QByteArray snippet
            = R"({"id":"11111111-2222-3333-4444-555555555555","title":"T","content":"C",)"
              R"("tags":[],"isFavorite":false,"createdAt":0,"updatedAt":0,"usageCount":)";
        const Outcome opens;
        const Outcome damaged = BackupError::damaged;
        QTest::newRow("a repeated name: the last counts")
            << payload(R"(,"format":2,"format":1,"entries":[1],"entries":[],"appVersion":"2")") << opens
            << u"2"_s;
        QTest::newRow("raw control character, unknown and lone escapes") << payload(
            ",\"appVersion\":\"a\tb\\x\\u00e9\\ud800\"") << opens << u"a\tbx\u00e9"_s + QChar(0xd800);
        QTest::newRow("byte order mark, then space") << "\xef\xbb\xbf \n" + payload({}) << opens << QString();
        QTest::newRow("1. and .5") << payload(R"(,"createdAt":.5,"format":1.)") << opens << QString();
        QTest::newRow("a whole count written with a fraction")
            << payload(R"(,"snippets":[)" + snippet + "3.0}]") << opens << QString();
        QTest::newRow("a count past 64 bits")
            << payload(R"(,"snippets":[)" + snippet + "9223372036854775808}]") << damaged << QString();
        // The payload's own object is the first level.
        QTest::newRow("1,024 levels") << nested(1023) << opens << QString();
        QTest::newRow("1,025 levels") << nested(1024) << damaged << QString();
        QTest::newRow("trailing comma") << payload(R"(,"extra":[1,])") << damaged << QString();
        QTest::newRow("something after the object") << payload({}) + " x" << damaged << QString();
        QTest::newRow("not UTF-8") << payload(",\"appVersion\":\"\xc0\x80\"") << damaged << QString();
        QTest::newRow("a number out of range") << payload(R"(,"extra":1e400)") << damaged << QString();
    }

    void readsJsonAsQtDoes()
    {
        QFETCH(QByteArray, json);
        QFETCH(Outcome, outcome);
        const auto decoded = BackupPayload::decode(json);
        QCOMPARE(decoded ? Outcome() : Outcome(decoded.error().code), outcome);
        if (decoded)
            QTEST(decoded->appVersion, "appVersion");
    }

    // Many megabytes: every piece of the file, of its compressed payload
    // and of the JSON ends somewhere inside a text, an escape or a
    // character of several bytes.
    void readsAPayloadOfManyPieces()
    {
        BackupPayload payload = samplePayload();
        QRandomGenerator random(31);
        for (int i = 0; i < 3000; ++i) {
            BackupEntry entry = payload.entries.first();
            entry.id = QUuid::createUuid();
            entry.content.resize(1000 + i % 7);
            random.fillRange(reinterpret_cast<quint32 *>(entry.content.data()), entry.content.size() / 4);
            entry.preview = u"Grüße ✓ 😀 \"quoted\" \\ \n \u0001 %1"_s.arg(i).repeated(1 + i % 5);
            payload.entries.append(entry);
        }
        const QString path = m_dir.filePath(u"pieces"_s);
        QVERIFY(writeFile(path, sealBackup(payload.encode(), password).value()));
        QVERIFY(QFileInfo(path).size() > 3 << 20);
        const auto decoded = decodeFile(path, password);
        QVERIFY(decoded);
        QCOMPARE(*decoded, payload);
    }

    void readsWhatAnotherWriterWrote()
    {
        const auto decoded = decodeFile(fixture(u"full"_s), password);
        QVERIFY(decoded);
        BackupPayload expected = samplePayload();
        expected.appVersion.clear();
        QCOMPARE(*decoded, expected);
        const auto otherForm
            = decodeFile(fixture(u"full"_s), password.normalized(QString::NormalizationForm_D));
        QVERIFY(!otherForm);
        QCOMPARE(otherForm.error().code, BackupError::wrongPassword);
    }

    void sealsWhatAnotherReaderReads()
    {
        const QByteArray json = samplePayload().encode();
        const auto tooLarge = sealBackup(json, password, json.size() - 1);
        QVERIFY(!tooLarge);
        QCOMPARE(std::get<BackupError>(tooLarge.error()).code, BackupError::writeFailed);

        QStringList files;
        for (const QString &name : {u"first"_s, u"second"_s}) {
            const auto sealed = sealBackup(json, password, json.size());
            QVERIFY(sealed);
            files.append(m_dir.filePath(name));
            QVERIFY(writeFile(files.last(), *sealed));
        }
        const auto [exitCode, output] = runBackupScript(QStringList {u"check"_s, password} + files);
        QCOMPARE(exitCode, 0);
        QCOMPARE(output, json);
        const auto justOver = decodeFile(files.first(), password, json.size() - 1);
        QVERIFY(!justOver);
        QCOMPARE(justOver.error().code, BackupError::damaged);
        const auto decoded = decodeFile(files.first(), password, json.size());
        QVERIFY(decoded);
        QCOMPARE(*decoded, samplePayload());
    }
};

QTEST_GUILESS_MAIN(BackupFileTest)
#include "tst_backupfile.moc"
