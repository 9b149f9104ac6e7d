#include "LocalHttpServer.h"
#include "app/AppVersion.h"
#include "app/UpdateChecker.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, for legibility.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

const QByteArray seedReply
    = json("{'latest_version':'9.9','update_available':true,'download_url':'https://seed.example/v.tar.gz'}");

// Presses the button and waits for the check to end.
bool check(UpdateChecker &checker, int timeout = 5'000)
{
    checker.checkForUpdatesManually();
    return QTest::qWaitFor([&] { return !checker.isCheckingUpdates(); }, timeout);
}

UpdateChecker checkerFor(const QString &apiURL)
{
    UpdateClient client;
    client.apiURL = apiURL;
    return UpdateChecker(client);
}

} // namespace

class UpdateCheckerTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QCoreApplication::setApplicationVersion({}); }

    void publishesTheReply_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("available");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("download");

        const QString fixed = UpdateChecker::fixedDownloadURL;
        const QString failed = u"Update check failed."_s;
        const QString seedURL = u"https://seed.example/v.tar.gz"_s;
        auto keepsSeed = [&](const char *name, int status, const QByteArray &body, const QString &message) {
            QTest::newRow(name) << u"1.0"_s << status << body << message << true << u"9.9"_s << seedURL;
        };

        QTest::newRow("newer, numeric not lexical")
            << u"1.2.0"_s << 200
            << json("{'latest_version':'1.10.0','download_url':'https://quenlax.net/v1.10.0.tar.gz'}")
            << u"Update available: v1.10.0"_s << true << u"1.10.0"_s
            << u"https://quenlax.net/v1.10.0.tar.gz"_s;
        QTest::newRow("up to date, shows the running version")
            << u"1.2"_s << 200 << json("{'latest_version':'1.2.0','your_version':'0.1'}")
            << u"You're up to date (v1.2)."_s << false << u"1.2.0"_s << fixed;
        QTest::newRow("pre-release piece counts as 0")
            << u"2.0"_s << 200 << json("{'latest_version':'2.0-beta'}") << u"You're up to date (v2.0)."_s
            << false << u"2.0-beta"_s << fixed;
        QTest::newRow("endpoint's own verdict suffices")
            << u"2.0"_s << 200 << json("{'latest_version':'1.0','update_available':true}")
            << u"Update available: v1.0"_s << true << u"1.0"_s << fixed;
        QTest::newRow("endpoint's false does not overrule")
            << u"1.0"_s << 200 << json("{'latest_version':'2.0','update_available':false}")
            << u"Update available: v2.0"_s << true << u"2.0"_s << fixed;
        QTest::newRow("no version set runs as 1.2.0")
            << QString() << 200 << json("{'latest_version':'1.2'}") << u"You're up to date (v1.2.0)."_s
            << false << u"1.2"_s << fixed;
        QTest::newRow("nulls are absent")
            << u"1.0"_s << 200
            << json("{'latest_version':'3.0','update_available':null,'download_url':null,'changelog':null}")
            << u"Update available: v3.0"_s << true << u"3.0"_s << fixed;
        QTest::newRow("unknown members ignored")
            << u"1.0"_s << 200 << json("{'latest_version':'3.0','extra':[1,{'a':2}],'build':7}")
            << u"Update available: v3.0"_s << true << u"3.0"_s << fixed;
        QTest::newRow("JSON with status 500 is still the answer")
            << u"1.0"_s << 500 << json("{'latest_version':'3.0'}") << u"Update available: v3.0"_s << true
            << u"3.0"_s << fixed;
        QTest::newRow("JSON with status 404 is still the answer")
            << u"3.0"_s << 404 << json("{'latest_version':'3.0'}") << u"You're up to date (v3.0)."_s << false
            << u"3.0"_s << fixed;

        for (const char *address : {"http://quenlax.net/v.tar.gz", "/download", "javascript:alert(1)",
                 "https:///v.tar.gz", "https:v.tar.gz", "file:///etc/passwd", " https://quenlax.net/v", ""}) {
            const QByteArray body
                = json("{'latest_version':'3.0','download_url':'") + QByteArray(address) + "\"}";
            QTest::newRow(("unsafe download address: " + QByteArray(address)).constData())
                << u"1.0"_s << 200 << body << u"Update available: v3.0"_s << true << u"3.0"_s << fixed;
        }
        QTest::newRow("https download address in capitals")
            << u"1.0"_s << 200 << json("{'latest_version':'3.0','download_url':'HTTPS://Quenlax.net/v'}")
            << u"Update available: v3.0"_s << true << u"3.0"_s << u"HTTPS://Quenlax.net/v"_s;

        keepsSeed("no latest version", 200,
            json("{'update_available':true,'download_url':'https://x.example/'}"),
            u"Update check failed. Try again later."_s);
        keepsSeed("HTML error page with status 500", 500, "<html><body>Internal Server Error</body></html>",
            failed);
        keepsSeed("empty body", 200, "", failed);
        keepsSeed("latest version as a number", 200, json("{'latest_version':3}"), failed);
        keepsSeed("verdict as text", 200, json("{'latest_version':'3.0','update_available':'yes'}"), failed);
        keepsSeed("changelog as a list", 200, json("{'latest_version':'3.0','changelog':['fixes']}"), failed);
        keepsSeed("null", 200, "null", failed);
        keepsSeed("array", 200, json("[{'latest_version':'3.0'}]"), failed);
        keepsSeed("trailing garbage", 200, json("{'latest_version':'3.0'} x"), failed);
    }

    void publishesTheReply()
    {
        QFETCH(QString, running);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QFETCH(bool, available);
        QFETCH(QString, latest);
        QFETCH(QString, download);

        QCoreApplication::setApplicationVersion(running);
        LocalHttpServer server;
        UpdateChecker checker = checkerFor(server.baseURL());
        server.answer(200, seedReply);
        QVERIFY(check(checker));
        QCOMPARE(checker.updateMessage(), u"Update available: v9.9"_s);

        server.answer(status, body, body.startsWith('<') ? "text/html" : "application/json");
        QVERIFY(check(checker));
        QCOMPARE(server.requestCount(), 2);
        QCOMPARE(checker.updateMessage(), message);
        QCOMPARE(checker.updateAvailable(), available);
        QCOMPARE(checker.latestVersion(), latest);
        QCOMPARE(checker.updateDownloadURL(), download);
    }

    void sendsTheRunningVersion()
    {
        QCoreApplication::setApplicationVersion(u"1.4.2"_s);
        LocalHttpServer server;
        UpdateChecker checker = checkerFor(server.baseURL());
        server.answer(200, json("{'latest_version':'1.4.2'}"));
        QVERIFY(check(checker));

        const LocalHttpServer::Request &request = server.lastRequest();
        QCOMPARE(request.method, "POST");
        QCOMPARE(request.target, "/api.php?action=update_check");
        QCOMPARE(request.headers.value("content-type"), "application/json");
        QCOMPARE(request.headers.value("accept"), "application/json");
        const QJsonObject expected {{u"current_version"_s, u"1.4.2"_s}, {u"product_slug"_s, u"vantorell"_s}};
        QCOMPARE(QJsonDocument::fromJson(request.body).object(), expected);
    }

    void reportsWhileChecking()
    {
        LocalHttpServer server;
        UpdateChecker checker = checkerFor(server.baseURL());
        server.answer(200, "<html></html>");
        QVERIFY(check(checker));
        QVERIFY(!checker.updateMessage().isNull());

        QSignalSpy checking(&checker, &UpdateChecker::isCheckingUpdatesChanged);
        server.answer(200, json("{'latest_version':'0.1'}"));
        checker.checkForUpdatesManually();
        QVERIFY(checker.isCheckingUpdates());
        QVERIFY(checker.updateMessage().isNull());
        QTRY_VERIFY(!checker.isCheckingUpdates());
        QCOMPARE(checking.size(), 2);
        QCOMPARE(checker.updateMessage(), u"You're up to date (v1.2.0)."_s);
    }

    void closedPortIsUnreachable()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString address = u"http://127.0.0.1:"_s + QString::number(closed.serverPort());
        closed.close();

        UpdateChecker checker = checkerFor(address);
        QVERIFY(check(checker));
        QCOMPARE(checker.updateMessage(), u"Couldn't reach the update server."_s);
        QVERIFY(!checker.updateAvailable());
        QVERIFY(checker.latestVersion().isNull());
        QVERIFY(checker.updateDownloadURL().isNull());
    }

    // Waits out the 15 s time-out once.
    void silentServerTimesOut()
    {
        LocalHttpServer server;
        server.stayQuiet();
        UpdateChecker checker = checkerFor(server.baseURL());
        QVERIFY(check(checker, 40'000));
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(checker.updateMessage(), u"Couldn't reach the update server."_s);
    }

    void badAddressFails_data()
    {
        QTest::addColumn<QString>("apiURL");
        QTest::newRow("space in host") << u"http://quenlax .net"_s;
        QTest::newRow("no scheme") << u"quenlax.net"_s;
        QTest::newRow("empty") << QString();
    }

    void badAddressFails()
    {
        QFETCH(QString, apiURL);
        UpdateChecker checker = checkerFor(apiURL);
        QVERIFY(check(checker));
        QCOMPARE(checker.updateMessage(), u"Update check failed."_s);
    }

    void comparesVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("newer");

        auto row = [](const QString &a, const QString &b, bool newer) {
            QTest::addRow("%s > %s", qPrintable(a), qPrintable(b)) << a << b << newer;
        };
        row(u"1.10.0"_s, u"1.2.0"_s, true);
        row(u"1.2.0"_s, u"1.10.0"_s, false);
        row(u"10"_s, u"9"_s, true);
        row(u"1.2.0"_s, u"1.2"_s, false);
        row(u"1.2"_s, u"1.2.0"_s, false);
        row(u"1.2.1"_s, u"1.2"_s, true);
        row(u"2.0-beta"_s, u"2.0"_s, false);
        row(u"2.0"_s, u"2.0-beta"_s, false);
        row(u"3-beta"_s, u"2"_s, false);
        row(u"1..3"_s, u"1.2"_s, true);
        row(u"1..2"_s, u"1.2"_s, false);
        row(u""_s, u"0"_s, false);
        row(u"0.0.1"_s, u""_s, true);
        row(u"+2"_s, u"1"_s, true);
        row(u"-1"_s, u"0"_s, false);
        row(u"1"_s, u"1.-1"_s, true);
        row(u"+-1"_s, u"-1"_s, true);
        row(u"+"_s, u"-1"_s, true);
        row(u"1.1"_s, u"1. 2"_s, true);
        row(u"1.a"_s, u"1.0"_s, false);
        row(u"\u0661"_s, u"0"_s, false);
        row(u"9223372036854775807"_s, u"1"_s, true);
        row(u"9223372036854775808"_s, u"1"_s, false);
        row(u"0"_s, u"-9223372036854775808"_s, true);
        row(u"-9223372036854775809"_s, u"-1"_s, true);
    }

    void comparesVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, newer);
        QCOMPARE(compareVersions(a, b), newer);
    }
};

QTEST_GUILESS_MAIN(UpdateCheckerTest)
#include "tst_updatechecker.moc"
