#include "platform/linux/AutostartLoginItem.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(LoginItem::Status)

class AutostartLoginItemTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_home.emplace();
        QVERIFY(m_home->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->path()));
    }

    void statusOfAnEntry_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<LoginItem::Status>("status");
        const auto enabled = LoginItem::Status::enabled;
        const auto notRegistered = LoginItem::Status::notRegistered;
        QTest::newRow("plain") << QByteArray("[Desktop Entry]\nType=Application\nExec=vantorell\n")
                               << enabled;
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nExec=vantorell\nHidden=true\n")
                                << notRegistered;
        QTest::newRow("hidden, blanks") << QByteArray("[Desktop Entry]\nHidden = true\n") << notRegistered;
        QTest::newRow("gnome off") << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n")
                                   << notRegistered;
        QTest::newRow("other group") << QByteArray(
            "[Desktop Entry]\nExec=v\n[Desktop Action x]\nHidden=true\n")
                                     << enabled;
    }

    void statusOfAnEntry()
    {
        QFETCH(QByteArray, entry);
        QFETCH(LoginItem::Status, status);
        QVERIFY(writeFile(AutostartLoginItem::entryPath(), entry));
        QCOMPARE(AutostartLoginItem().status(), status);
    }

    void unreadableEntryIsNotFound()
    {
        QVERIFY(QDir().mkpath(AutostartLoginItem::entryPath()));
        QCOMPARE(AutostartLoginItem().status(), LoginItem::Status::notFound);
    }

    void registerWritesAnEntryThatStartsTheProgram()
    {
        AutostartLoginItem item(u"/opt/My Apps/a\"b$c`d\\e%f/vantorell"_s);
        QCOMPARE(item.status(), LoginItem::Status::notRegistered);
        QVERIFY(item.registerItem().has_value());
        QCOMPARE(item.status(), LoginItem::Status::enabled);
        const QByteArray entry = readFile(AutostartLoginItem::entryPath());
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nType=Application\n"));
        QVERIFY(entry.contains("\nName=Vantorell\n"));
        // Quoting escapes first, then the string escapes double every backslash.
        const QByteArray exec = "Exec=\"/opt/My Apps/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e%%f/vantorell\"";
        QVERIFY2(entry.contains('\n' + exec + '\n'), entry.constData());
    }

    void unregisterRemovesTheEntry()
    {
        AutostartLoginItem item;
        QVERIFY(item.unregisterItem().has_value());
        QVERIFY(item.registerItem().has_value());
        QVERIFY(item.unregisterItem().has_value());
        QVERIFY(!QFile::exists(AutostartLoginItem::entryPath()));
        QCOMPARE(item.status(), LoginItem::Status::notRegistered);
    }

    void failuresAreDescribed()
    {
        const QString blocker = m_home->filePath(u"autostart"_s);
        QVERIFY(writeFile(blocker, {}));
        const auto registered = AutostartLoginItem().registerItem();
        QVERIFY(!registered.has_value());
        QCOMPARE(registered.error(), u"Could not create the folder "_s + blocker);

        QVERIFY(QFile::remove(blocker));
        QVERIFY(QDir().mkpath(AutostartLoginItem::entryPath() + u"/inside"_s));
        const auto unregistered = AutostartLoginItem().unregisterItem();
        QVERIFY(!unregistered.has_value());
        QVERIFY(unregistered.error().startsWith(
            u"Could not remove "_s + AutostartLoginItem::entryPath() + u": "_s));
    }

private:
    std::optional<QTemporaryDir> m_home;
};

QTEST_GUILESS_MAIN(AutostartLoginItemTest)
#include "tst_autostartloginitem.moc"
