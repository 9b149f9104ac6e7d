#include "settings/TypedSettings.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct Sample {
    QString key;
    SettingKind kind;
    QVariant value;
};

// The values plain INI gets wrong once read by another process.
QList<Sample> samples()
{
    return {
        {u"bool.true"_s, SettingKind::boolean, true},
        {u"bool.false"_s, SettingKind::boolean, false},
        {u"int.max"_s, SettingKind::integer, std::numeric_limits<qint64>::max()},
        {u"int.min"_s, SettingKind::integer, std::numeric_limits<qint64>::min()},
        {u"text"_s, SettingKind::text, u"⌘⇧V"_s},
        {u"text.number"_s, SettingKind::text, u"5"_s},
        {u"text.true"_s, SettingKind::text, u"true"_s},
        {u"text.qt-escape"_s, SettingKind::text, u"@ByteArray(x)"_s},
        {u"list.one"_s, SettingKind::textList, QStringList {u"Work"_s}},
        {u"list.empty"_s, SettingKind::textList, QStringList {}},
        {u"list.two"_s, SettingKind::textList, QStringList {u"a"_s, u"b, c"_s}},
        {u"data"_s, SettingKind::data, QByteArray("\0\x01\xff[]", 5)},
    };
}

QJsonObject fileJson(const QString &path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

// Run as a child: prints every sample as read by this fresh process.
int dumpSamples(const QString &path)
{
    const TypedSettings settings(path);
    QVariantMap read;
    for (const Sample &sample : samples())
        read.insert(sample.key, settings.storedValue(sample.key, sample.kind));
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    QDataStream stream(&out);
    stream << read;
    return 0;
}

} // namespace

class TypedSettingsTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.isValid()); }

    void kindsSurviveANewProcess()
    {
        const QString path = m_folder.filePath(u"kinds/Vantorell.conf"_s);
        {
            TypedSettings settings(path);
            for (const Sample &sample : samples())
                QVERIFY(settings.setValue({sample.key, sample.kind, {}}, sample.value));
        }
        // A second QSettings in this process would answer from Qt's cache.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--dump-settings"_s, path});
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitCode(), 0);
        QDataStream stream(child.readAllStandardOutput());
        QVariantMap read;
        stream >> read;
        for (const Sample &sample : samples()) {
            const QVariant value = read.value(sample.key);
            QVERIFY2(value.metaType() == sample.value.metaType(), qPrintable(sample.key));
            QCOMPARE(value, sample.value);
        }
    }

    void otherKindsReadAsDefaultAndStayStored_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("kind");
        QTest::newRow("text for integer") << QByteArray(R"("5")") << int(SettingKind::integer);
        QTest::newRow("fraction for integer") << QByteArray("5.5") << int(SettingKind::integer);
        QTest::newRow("integer for boolean") << QByteArray("1") << int(SettingKind::boolean);
        QTest::newRow("text for list") << QByteArray(R"("Work")") << int(SettingKind::textList);
        QTest::newRow("mixed list") << QByteArray(R"(["a", 1])") << int(SettingKind::textList);
        QTest::newRow("bad base64") << QByteArray(R"({"base64": "A!"})") << int(SettingKind::data);
    }

    void otherKindsReadAsDefaultAndStayStored()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, kind);
        const QString path = m_folder.filePath(u"wrong.conf"_s);
        QVERIFY(writeFile(path, R"({"key": )" + stored + "}"));
        const QJsonValue before = fileJson(path).value(u"key"_s);
        TypedSettings settings(path);
        const SettingDefinition setting {u"key"_s, SettingKind(kind), u"default"_s};
        QCOMPARE(settings.value(setting), QVariant(u"default"_s));
        QVERIFY(settings.setValue({u"other"_s, SettingKind::boolean, {}}, true));
        QCOMPARE(fileJson(path).value(u"key"_s), before);
    }

    void unreadableFileIsMovedAsideNotOverwritten()
    {
        const QString path = m_folder.filePath(u"broken.conf"_s);
        QVERIFY(writeFile(path, "[General]\nautoPaste=true\n"));
        TypedSettings settings(path);
        const QStringList kept = QDir(m_folder.path()).entryList({u"broken.conf.unreadable-*"_s});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(m_folder.filePath(kept[0])), QByteArray("[General]\nautoPaste=true\n"));

        QVERIFY(settings.setValue({u"settings.general.autoPaste"_s, SettingKind::boolean, {}}, false));
        QCOMPARE(fileJson(path).value(u"settings.general.autoPaste"_s), QJsonValue(false));
    }

    void failedWritesAreLoggedOnce()
    {
        const QString blocker = m_folder.filePath(u"blocker"_s);
        QVERIFY(writeFile(blocker, "x"));
        TypedSettings settings(blocker + u"/Vantorell.conf"_s);
        LogCapture log;
        QVERIFY(!settings.setValue({u"a"_s, SettingKind::boolean, {}}, true));
        QVERIFY(!settings.setValue({u"b"_s, SettingKind::boolean, {}}, true));
        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines()[0].startsWith(
            u"[Vantorell] Could not write the settings file "_s + settings.filePath() + u": "_s));
    }

private:
    QTemporaryDir m_folder;
};

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 3 && QByteArrayView(argv[1]) == "--dump-settings")
        return dumpSamples(QString::fromLocal8Bit(argv[2]));
    TypedSettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_typedsettings.moc"
