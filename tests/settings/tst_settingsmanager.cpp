#include "settings/SettingsManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString excludedAppsKey = u"settings.clipboard.excludedApps"_s;
const QString mergedKey = u"settings.clipboard.excludedDefaultsV2"_s;
const QString linuxMergedKey = u"settings.clipboard.excludedDefaultsLinuxV1"_s;
const QString launchAtLoginKey = u"settings.general.launchAtLogin"_s;

// A setting of each kind with a value other than its default, as the
// property takes it and as the file holds it. Every setting goes through the
// same generated setter: one of each kind is enough.
struct Setting {
    const char *property;
    QString key;
    QVariant value;
    QJsonValue stored;
};

QList<Setting> settingsTable()
{
    return {
        {"lockOnSleep", u"settings.security.lockOnSleep"_s, true, true},
        {"secretHandling", u"settings.security.secretHandling"_s, QVariant::fromValue(SecretHandling::skip),
            u"skip"_s},
        {"retentionHours", u"settings.clipboard.retentionHours"_s, qint64(1) << 40, double(qint64(1) << 40)},
        {"globalHotkey", u"settings.general.globalHotkey"_s, u"⌃⌥P"_s, u"⌃⌥P"_s},
        {"snippetFolders", u"settings.snippets.folders"_s, QStringList {u"Work"_s}, QJsonArray {u"Work"_s}},
    };
}

QJsonObject readJson(const QString &path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

bool writeJson(const QString &path, const QJsonObject &object)
{
    return writeFile(path, QJsonDocument(object).toJson());
}

QJsonValue storedApps(const QList<ExcludedApp> &apps)
{
    QJsonArray array;
    for (const ExcludedApp &app : apps)
        array.append(app.toJson());
    return QJsonObject {
        {u"base64"_s, QString::fromLatin1(QJsonDocument(array).toJson(QJsonDocument::Compact).toBase64())}};
}

QStringList bundleIdentifiers(const QList<ExcludedApp> &apps)
{
    QStringList identifiers;
    for (const ExcludedApp &app : apps)
        identifiers.append(app.bundleIdentifier + u'=' + app.name);
    return identifiers;
}

} // namespace

class SettingsManagerTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder.emplace();
        m_path = m_folder->filePath(u"Vantorell/Vantorell.conf"_s);
        m_loginItem = FakeLoginItem();
        m_dock.applied.clear();
    }

    void creationWritesOnlyTheMergedList()
    {
        const auto settings = create();
        QCOMPARE(settings->excludedApps(), SettingsManager::defaultExcludedApps());
        const QJsonObject file = readJson(m_path);
        QCOMPARE(file.keys(), (QStringList {excludedAppsKey, linuxMergedKey, mergedKey}));
        QCOMPARE(file.value(excludedAppsKey), storedApps(SettingsManager::defaultExcludedApps()));
        QCOMPARE(file.value(mergedKey), QJsonValue(true));
        QVERIFY(m_dock.applied.isEmpty());
    }

    void secretHandlingIsAnExactRawText_data()
    {
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<SecretHandling>("expected");
        QTest::newRow("store") << QJsonValue(u"store"_s) << SecretHandling::store;
        QTest::newRow("Skip") << QJsonValue(u"Skip"_s) << SecretHandling::lock;
    }

    void secretHandlingIsAnExactRawText()
    {
        QFETCH(QJsonValue, stored);
        QFETCH(SecretHandling, expected);
        QVERIFY(writeJson(m_path, {{mergedKey, true}, {u"settings.security.secretHandling"_s, stored}}));
        QCOMPARE(create()->secretHandling(), expected);
    }

    // Stored together under their own keys.
    void snippetCountersKeepSixtyFourBits()
    {
        const qint64 large = (qint64(1) << 62) + 1;
        create()->setSnippetCounters({{u"invoice_no"_s, large}, {u"b_2"_s, 3}});
        QCOMPARE(create()->snippetCounter(u"invoice_no"_s), large);
        QCOMPARE(create()->snippetCounter(u"b_2"_s), 3);
        QVERIFY(readJson(m_path).contains(u"snippet.counter.invoice_no"_s));
        QCOMPARE(create()->snippetCounter(u"default"_s), 0);
    }

    void setWritesAndAnnounces_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < settingsTable().size(); ++i)
            QTest::newRow(settingsTable()[i].property) << i;
    }

    void setWritesAndAnnounces()
    {
        QFETCH(int, index);
        const Setting change = settingsTable()[index];
        const auto settings = create();
        const QMetaProperty property
            = settings->metaObject()->property(settings->metaObject()->indexOfProperty(change.property));
        QSignalSpy announced(settings.get(), property.notifySignal());
        QVERIFY(settings->setProperty(change.property, change.value));
        QCOMPARE(settings->property(change.property), change.value);
        QCOMPARE(announced.size(), 1);
        QCOMPARE(announced[0][0], change.value);
        QCOMPARE(readJson(m_path).value(change.key), change.stored);

        // An unchanged value is written and announced too.
        QVERIFY(QFile::remove(m_path));
        QVERIFY(settings->setProperty(change.property, change.value));
        QCOMPARE(announced.size(), 2);
        QCOMPARE(readJson(m_path).value(change.key), change.stored);
    }

    void defaultsAreMergedIntoTheStoredListOnce_data()
    {
        QTest::addColumn<QList<ExcludedApp>>("stored");
        QTest::addColumn<QJsonObject>("flags");
        QTest::addColumn<QStringList>("expected");
        const ExcludedApp own {QUuid::createUuid(), u"vim"_s, u"Vim"_s};
        const ExcludedApp renamed {QUuid::createUuid(), u"com.bitwarden.desktop"_s, u"My Vault"_s};
        const ExcludedApp renamedLinux {QUuid::createUuid(), u"Seahorse"_s, u"Keys"_s};
        const QStringList defaults = bundleIdentifiers(SettingsManager::defaultExcludedApps());
        const QStringList linuxDefaults = bundleIdentifiers(SettingsManager::linuxDefaultExcludedApps());
        QTest::newRow("own app") << QList<ExcludedApp> {own} << QJsonObject {}
                                 << QStringList {u"vim=Vim"_s} + defaults;
        // A default already listed, even renamed, is not added again.
        QStringList withRenamed = defaults.filter(QRegularExpression(u"^(?!com.bitwarden.desktop=)"_s));
        withRenamed.prepend(u"com.bitwarden.desktop=My Vault"_s);
        QTest::newRow("default renamed") << QList<ExcludedApp> {renamed} << QJsonObject {} << withRenamed;
        // Merged before the Linux applications were defaults: they come once
        // more, and only they; what the user removed of the others stays
        // removed.
        QTest::newRow("merged before Linux") << QList<ExcludedApp> {own} << QJsonObject {{mergedKey, true}}
                                             << QStringList {u"vim=Vim"_s} + linuxDefaults;
        QStringList withRenamedLinux = linuxDefaults.filter(QRegularExpression(u"^(?!Seahorse=)"_s));
        withRenamedLinux.prepend(u"Seahorse=Keys"_s);
        QTest::newRow("Linux default renamed")
            << QList<ExcludedApp> {renamedLinux} << QJsonObject {{mergedKey, true}} << withRenamedLinux;
    }

    void defaultsAreMergedIntoTheStoredListOnce()
    {
        QFETCH(QList<ExcludedApp>, stored);
        QFETCH(QJsonObject, flags);
        QFETCH(QStringList, expected);
        flags.insert(excludedAppsKey, storedApps(stored));
        QVERIFY(writeJson(m_path, flags));
        auto settings = create();
        QCOMPARE(bundleIdentifiers(settings->excludedApps()), expected);
        QCOMPARE(readJson(m_path).value(excludedAppsKey), storedApps(settings->excludedApps()));
        QCOMPARE(readJson(m_path).value(mergedKey), QJsonValue(true));
        QCOMPARE(readJson(m_path).value(linuxMergedKey), QJsonValue(true));

        // What the user removes stays removed, and creation writes nothing.
        QList<ExcludedApp> kept = settings->excludedApps();
        kept.removeLast();
        settings->setExcludedApps(kept);
        settings.reset();
        const QJsonObject before = readJson(m_path);
        QCOMPARE(create()->excludedApps(), kept);
        QCOMPARE(readJson(m_path), before);
    }

    // It stays stored until the list is next set: the merge ran before.
    void undecodableListReadsAsTheDefaults()
    {
        const QJsonValue corrupt
            = QJsonObject {{u"base64"_s, QString::fromLatin1(QByteArray("[{\"id\": 1}]").toBase64())}};
        QVERIFY(writeJson(m_path, {{excludedAppsKey, corrupt}, {mergedKey, true}, {linuxMergedKey, true}}));
        QCOMPARE(create()->excludedApps(), SettingsManager::defaultExcludedApps());
        QCOMPARE(readJson(m_path).value(excludedAppsKey), corrupt);
    }

    void loginItemStateComesFromTheDesktop()
    {
        QVERIFY(writeJson(m_path, {{launchAtLoginKey, true}}));
        QCOMPARE(create()->launchAtLogin(), false);
        m_loginItem.currentStatus = LoginItem::Status::enabled;
        QVERIFY(writeJson(m_path, {{launchAtLoginKey, false}}));
        const auto settings = create();
        QCOMPARE(settings->launchAtLogin(), true);

        // The key only keeps a record of what the desktop did.
        settings->setLaunchAtLogin(false);
        QCOMPARE(m_loginItem.currentStatus, LoginItem::Status::notRegistered);
        QCOMPARE(readJson(m_path).value(launchAtLoginKey), QJsonValue(false));
        settings->setLaunchAtLogin(true);
        QCOMPARE(m_loginItem.currentStatus, LoginItem::Status::enabled);
        QCOMPARE(readJson(m_path).value(launchAtLoginKey), QJsonValue(true));
    }

    void receiversFindTheFileUpToDate()
    {
        const auto settings = create();
        QJsonValue stored;
        connect(settings.get(), &SettingsManager::globalHotkeyChanged, this,
            [&] { stored = readJson(m_path).value(u"settings.general.globalHotkey"_s); });
        settings->setGlobalHotkey(u"⌃V"_s);
        QCOMPARE(stored, QJsonValue(u"⌃V"_s));
    }

    // Each change sets the next setting of the table. 'R': a change the file
    // refuses (as a full disk would), 'U': a setting set again to the value
    // it has, refused (the settings window does so when it opens), 'T': a
    // change the file takes, 'Q': quit, the disk with room again. told: the
    // alerts raised by the end of each step.
    void refusedChangeIsToldOnceAndSavedLater_data()
    {
        QTest::addColumn<bool>("fullAtStart");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("told");
        QTest::newRow("refused twice") << false << u"RR"_s << u"11"_s;
        QTest::newRow("refused again after a saved one") << false << u"RTR"_s << u"112"_s;
        QTest::newRow("saved at quit") << false << u"RRQ"_s << u"111"_s;
        QTest::newRow("full at start") << true << u"R"_s << u"1"_s;
        QTest::newRow("nothing to lose") << false << u"UR"_s << u"01"_s;
    }

    void refusedChangeIsToldOnceAndSavedLater()
    {
        QFETCH(bool, fullAtStart);
        QFETCH(QString, steps);
        QFETCH(QString, told);
        const auto roomAgain = qScopeGuard([] { limitFileSize(RLIM_INFINITY); });
        if (fullAtStart)
            limitFileSize(16);
        auto settings = create();
        QSignalSpy alerts(settings.get(), &SettingsManager::showAlert);
        QList<Setting> changed;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QChar step = steps[i];
            limitFileSize(step == u'T' || step == u'Q' ? RLIM_INFINITY : 16);
            const QByteArray before = readFile(m_path);
            const Setting change = settingsTable()[i];
            if (step == u'Q') {
                settings.reset();
            } else if (step == u'U') {
                QVERIFY(settings->setProperty(change.property, settings->property(change.property)));
            } else {
                QVERIFY(settings->setProperty(change.property, change.value));
                QCOMPARE(settings->property(change.property), change.value);
                changed.append(change);
            }
            QCOMPARE(alerts.size(), told[i].digitValue());
            if (step == u'R' || step == u'U') {
                QCOMPARE(readFile(m_path), before);
                continue;
            }
            for (const Setting &saved : std::as_const(changed))
                QCOMPARE(readJson(m_path).value(saved.key), saved.stored);
        }
        QVERIFY(alerts.last()[1].toString().contains(m_path));
    }

    void failedLoginItemChangeIsOnlyLogged()
    {
        m_loginItem.failure = u"Could not write /x: Permission denied"_s;
        const auto settings = create();
        QSignalSpy announced(settings.get(), &SettingsManager::launchAtLoginChanged);
        LogCapture log;
        settings->setLaunchAtLogin(true);
        QCOMPARE(log.lines(),
            QStringList {
                u"[Vantorell] Failed to update login item: Could not write /x: Permission denied"_s});
        QCOMPARE(m_loginItem.registerCalls, 1);
        QCOMPARE(settings->launchAtLogin(), false);
        QCOMPARE(announced.size(), 2);
        QVERIFY(settings->loginItemNote().isNull());
        QCOMPARE(m_loginItem.openSettingsCalls, 0);
    }

    void approvalLeavesTheToggleOffAndExplains()
    {
        m_loginItem.statusAfterRegister = LoginItem::Status::requiresApproval;
        const auto settings = create();
        settings->setLaunchAtLogin(true);
        QCOMPARE(m_loginItem.registerCalls, 1);
        QCOMPARE(settings->launchAtLogin(), false);
        QCOMPARE(settings->loginItemNote(), u"Allow Vantorell in your desktop's autostart settings."_s);
        QCOMPARE(m_loginItem.openSettingsCalls, 1);

        settings->refreshLoginItemNote(false);
        QCOMPARE(m_loginItem.registerCalls + m_loginItem.unregisterCalls, 1);
        QCOMPARE(m_loginItem.openSettingsCalls, 1);
        QVERIFY(!settings->loginItemNote().isNull());
    }

private:
    std::unique_ptr<SettingsManager> create()
    {
        return std::make_unique<SettingsManager>(m_path, m_loginItem, m_dock);
    }

    std::optional<QTemporaryDir> m_folder;
    QString m_path;
    FakeLoginItem m_loginItem;
    FakeDockPresence m_dock;
};

QTEST_GUILESS_MAIN(SettingsManagerTest)
#include "tst_settingsmanager.moc"
