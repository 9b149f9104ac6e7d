#include "SeededVault.h"

#include "crypto/EncryptionService.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

QString SeededVault::dataHome() const
{
    return home.filePath(u".local/share"_s);
}

QString SeededVault::configHome() const
{
    return home.filePath(u".config"_s);
}

QString SeededVault::settingsFile() const
{
    return configHome() + u"/Vantorell/Vantorell.conf"_s;
}

QProcessEnvironment SeededVault::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome());
    environment.insert(u"XDG_DATA_HOME"_s, dataHome());
    environment.remove(u"QT_QPA_PLATFORM"_s);
    return environment;
}

void SeededVault::seed(const EncryptionService &encryption)
{
    QDir().mkpath(QFileInfo(settingsFile()).path());
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager(settingsFile(), loginItem, dock).setMaxHistoryCount(count * 2);

    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    SecureStorageManager store(encryption);
    awaitFuture(store.openDatabase());
    (void)store.execute(u"BEGIN"_s);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int index = 0; index < count; ++index) {
        const QByteArray plain = content(index);
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.contentType = picture ? ContentType::image : ContentType::plainText;
        entry.createdAt = now.addMSecs(-index);
        entry.sourceApp = picture ? u"Screenshot"_s : u"Terminal"_s;
        entry.encryptedContent = *encryption.encrypt(plain);
        if (!picture) {
            entry.encryptedPreview = *encryption.encrypt(plain.left(100));
            entry.encryptedSearchText = *encryption.encrypt(plain.left(500).toLower());
        }
        (void)store.insertEntry(entry);
    }
    awaitFuture(store.execute(u"COMMIT"_s));
}

QByteArray sampleText(int index, qsizetype size)
{
    static const QByteArray words[] = {"Lorem ", "ipsum ", "Dolor ", "sit ", "amet ", "Clipboard ",
        "history ", "entry ", "Vault ", "sealed "};
    QByteArray text = "Entry " + QByteArray::number(index) + ' ';
    for (int word = index; text.size() < size; ++word)
        text += words[word % 10];
    text.truncate(size);
    return text;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

qint64 residentKiB(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}
