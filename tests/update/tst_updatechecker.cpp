#include "LocalHttpServer.h"
#include "update/AppVersion.h"
#include "update/UpdateChecker.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, for legibility.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

// The first check's answer, which a failed second check leaves in place.
const QByteArray seedReply
    = json("{'latest_version':'9.9','update_available':true,'download_url':'https://seed.example/v.tar.gz'}");
const QString seedLatest = u"9.9"_s;

// Presses the button and waits for the check to end.
bool check(UpdateChecker &checker)
{
    checker.checkForUpdatesManually();
    return QTest::qWaitFor([&] { return !checker.isCheckingUpdates(); }, 5'000);
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
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("download");

        const QString fixed = UpdateChecker::fixedDownloadURL;
        auto row = [](const char *name, const QString &running, int status, const QByteArray &body,
                       const QString &message, const QString &latest, const QString &download) {
            QTest::newRow(name) << running << status << body << message << latest << download;
        };
        auto fails = [&](const char *name, int status, const QByteArray &body, const QString &message) {
            row(name, u"1.0"_s, status, body, message, seedLatest, u"https://seed.example/v.tar.gz"_s);
        };

        row("newer, numeric not lexical", u"1.2.0"_s, 200,
            json("{'latest_version':'1.10.0','download_url':'https://quenlax.net/v1.10.0.tar.gz'}"),
            u"Update available: v1.10.0"_s, u"1.10.0"_s, u"https://quenlax.net/v1.10.0.tar.gz"_s);
        row("up to date, shows the running version", u"1.2"_s, 200,
            json("{'latest_version':'1.2.0','your_version':'0.1','extra':[1]}"),
            u"You're up to date (v1.2)."_s, u"1.2.0"_s, fixed);
        row("endpoint's own verdict suffices", u"2.0"_s, 200,
            json("{'latest_version':'1.0','update_available':true}"), u"Update available: v1.0"_s, u"1.0"_s,
            fixed);
        row("endpoint's false does not overrule", u"1.0"_s, 200,
            json("{'latest_version':'2.0','update_available':false}"), u"Update available: v2.0"_s, u"2.0"_s,
            fixed);
        row("no version set runs as 1.2.0", QString(), 200, json("{'latest_version':'1.2'}"),
            u"You're up to date (v1.2.0)."_s, u"1.2"_s, fixed);
        row("nulls are absent", u"1.0"_s, 200,
            json("{'latest_version':'3.0','update_available':null,'download_url':null}"),
            u"Update available: v3.0"_s, u"3.0"_s, fixed);
        row("JSON with status 500 is still the answer", u"1.0"_s, 500, json("{'latest_version':'3.0'}"),
            u"Update available: v3.0"_s, u"3.0"_s, fixed);
        for (const char *address : {"http://quenlax.net/v", "/download", "https:///v"}) {
            row(address, u"1.0"_s, 200,
                json("{'latest_version':'3.0','download_url':'") + QByteArray(address) + "\"}",
                u"Update available: v3.0"_s, u"3.0"_s, fixed);
        }

        fails("no latest version", 200, json("{'update_available':true}"),
            u"Update check failed. Try again later."_s);
        fails("HTML error page with status 500", 500, "<html><body>Internal Server Error</body></html>",
            u"Update check failed."_s);
        fails("latest version as a number", 200, json("{'latest_version':3}"), u"Update check failed."_s);
        fails("null", 200, "null", u"Update check failed."_s);
        fails("past 64 KiB", 200,
            json("{'latest_version':'3.0','changelog':'") + QByteArray(65 * 1024, 'x') + "\"}",
            u"Update check failed."_s);
    }

    void publishesTheReply()
    {
        QFETCH(QString, running);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QFETCH(QString, latest);
        QFETCH(QString, download);

        QCoreApplication::setApplicationVersion(running);
        LocalHttpServer server;
        UpdateChecker checker = checkerFor(server.baseURL());
        server.answer(200, seedReply);
        QVERIFY(check(checker));
        QCOMPARE(checker.updateMessage(), u"Update available: v9.9"_s);

        server.answer(status, body);
        QVERIFY(check(checker));
        QCOMPARE(server.requestCount(), 2);
        QCOMPARE(checker.updateMessage(), message);
        const bool keptSeed = latest == seedLatest;
        QCOMPARE(checker.updateAvailable(), keptSeed || message.startsWith(u"Update available"));
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
        QCOMPARE(request.head.first(), "POST /api.php?action=update_check HTTP/1.1");
        QVERIFY(request.head.contains("Content-Type: application/json"));
        QVERIFY(request.head.contains("Accept: application/json"));
        const QJsonObject expected {{u"current_version"_s, u"1.4.2"_s}, {u"product_slug"_s, u"vantorell"_s}};
        QCOMPARE(QJsonDocument::fromJson(request.body).object(), expected);
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
    }

    void addressWithoutSchemeFails()
    {
        UpdateChecker checker = checkerFor(u"quenlax.net"_s);
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
        row(u"1.2.0"_s, u"1.2"_s, false);
        row(u"2.0-beta"_s, u"2.0"_s, false);
        row(u"1..3"_s, u"1.2"_s, true);
        row(u"+2"_s, u"1"_s, true);
        row(u"-1"_s, u"0"_s, false);
        row(u"\u0661"_s, u"0"_s, false);
        row(u"9223372036854775807"_s, u"1"_s, true);
        row(u"9223372036854775808"_s, u"1"_s, false);
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
