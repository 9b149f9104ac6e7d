#include "platform/OpenDialogs.h"
#include "platform/linux/PamDeviceAuth.h"
#include "platform/linux/PasswordPrompt.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <unistd.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString password = u"correct horse 7 ü!"_s;
const QString reason = u"Reveal and paste this protected item"_s;

bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

const QString accountPrefix = u"vt-pam-test-"_s;
const QString brokenServicePrefix = u"/etc/pam.d/vt-pam-test-broken-"_s;

// A run that crashed could not remove its account.
void removeAccountsOfEndedRuns()
{
    for (const QByteArray &line : readFile(u"/etc/passwd"_s).split('\n')) {
        const QString user = QString::fromUtf8(line.left(line.indexOf(':')));
        const QString pid = user.mid(accountPrefix.size());
        if (!user.startsWith(accountPrefix) || pid.toLongLong() <= 0 || QFile::exists(u"/proc/"_s + pid))
            continue;
        run(u"userdel"_s, {user});
        QFile::remove(brokenServicePrefix + pid);
    }
}

PasswordPrompt *shownPrompt()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *prompt = qobject_cast<PasswordPrompt *>(widget); prompt && prompt->isVisible())
            return prompt;
    }
    return nullptr;
}

} // namespace

// PAM for real, with a throw-away account made for this run and removed
// after it.
class PamDeviceAuthTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("Needs root: it creates a throw-away account to check its password with PAM.");
        removeAccountsOfEndedRuns();
        const QString id = QString::number(QCoreApplication::applicationPid());
        const QString user = accountPrefix + id;
        QVERIFY(run(u"useradd"_s, {u"--no-create-home"_s, u"--shell"_s, u"/usr/sbin/nologin"_s, user}));
        m_user = user;
        QVERIFY(run(u"chpasswd"_s, {}, (user + u':' + password + u'\n').toUtf8()));

        // A stack whose module cannot be loaded: PAM fails with an error of its
        // own rather than refusing the password.
        m_brokenService = QFileInfo(brokenServicePrefix + id).fileName();
        QVERIFY(writeFile(brokenServicePrefix + id, "auth required pam_vt_no_such_module.so\n"));
    }

    void cleanupTestCase()
    {
        if (!m_brokenService.isEmpty())
            QFile::remove(u"/etc/pam.d/"_s + m_brokenService);
        if (!m_user.isEmpty())
            QVERIFY(run(u"userdel"_s, {m_user}));
    }

    void cleanup()
    {
        while (PasswordPrompt *prompt = shownPrompt())
            delete prompt;
    }

    void verify_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("right") << password << true;
        QTest::newRow("wrong") << u"correct horse 8 ü!"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("right, then a NUL") << password + QChar() + u"x"_s << false;
    }

    void verify()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);

        const auto result = authenticator().verify(typed.toUtf8());
        QCOMPARE(result.has_value(), accepted);
        if (!accepted)
            QVERIFY(!result.error().isEmpty());
    }

    void availability_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("available");

        QTest::newRow("login") << u"login"_s << QString() << true;
        QTest::newRow("no such service") << u"vt-no-such-service"_s << QString() << false;
        QTest::newRow("path as service") << u"../pam.d/login"_s << QString() << false;
        QTest::newRow("no such user") << u"login"_s << u"vt-no-such-user"_s << false;
    }

    void availability()
    {
        QFETCH(QString, service);
        QFETCH(QString, user);
        QFETCH(bool, available);

        const PamAuthenticator authenticator(service, user.isEmpty() ? m_user : user);
        QCOMPARE(authenticator.isAvailable(), available);
        QCOMPARE(
            PamDeviceAuth(authenticator).canEvaluate(DeviceAuth::Policy::ownerAuthentication), available);
    }

    void prompt_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("right password") << u"login"_s << password << false << true;
        // An error of PAM itself refuses too; it never counts as "cannot
        // evaluate", which would let the item through without a prompt.
        QTest::newRow("error of the PAM stack") << QString() << password << false << false;
        QTest::newRow("cancelled") << u"login"_s << password << true << false;
    }

    void prompt()
    {
        QFETCH(QString, service);
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(bool, accepted);

        PamDeviceAuth auth(authenticator(service.isEmpty() ? m_brokenService : service));
        QVERIFY(auth.canEvaluate(DeviceAuth::Policy::ownerAuthentication));
        QObject context;
        std::optional<DeviceAuth::Reply> reply;
        QThread *replyThread = nullptr;
        auth.evaluate(
            DeviceAuth::Policy::ownerAuthentication, reason, &context, [&](DeviceAuth::Reply answer) {
                reply = answer;
                replyThread = QThread::currentThread();
            });

        QTRY_VERIFY(shownPrompt());
        QVERIFY(shownPrompt()->findChild<QLabel *>()->text().contains(reason, Qt::CaseInsensitive));
        answerPrompt(typed, cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(reply.has_value(), 15000);
        QCOMPARE(replyThread, QThread::currentThread());
        QCOMPARE(reply->has_value(), accepted);
        if (accepted)
            QVERIFY(reply->value());
        else
            QCOMPARE(reply->error().code,
                cancel ? DeviceAuthError::Code::userCancel : DeviceAuthError::Code::authenticationFailed);
        QTRY_VERIFY(!shownPrompt());
    }

    // A lock closes the prompt as if cancelled; one that comes while the
    // password is checked cannot, and the answer then counts for nothing.
    void aLockCancels_data()
    {
        QTest::addColumn<bool>("whileChecking");
        QTest::newRow("while the prompt waits") << false;
        QTest::newRow("while the password is checked") << true;
    }

    void aLockCancels()
    {
        QFETCH(bool, whileChecking);

        int locks = 0;
        QObject application;
        OpenDialogs::setScope(
            &application, [&locks] { return [&locks, at = locks] { return locks == at; }; });
        const auto lock = [&locks] {
            ++locks;
            OpenDialogs::closeAll();
        };
        PamDeviceAuth auth(authenticator());
        QObject context;
        std::optional<DeviceAuth::Reply> reply;
        auth.evaluate(DeviceAuth::Policy::ownerAuthentication, reason, &context,
            [&](DeviceAuth::Reply answer) { reply = answer; });
        QTRY_VERIFY(shownPrompt());
        if (whileChecking)
            answerPrompt(password);
        lock();
        QTRY_VERIFY_WITH_TIMEOUT(reply.has_value(), 15000);
        QVERIFY(!reply->has_value());
        QCOMPARE(reply->error().code, DeviceAuthError::Code::userCancel);
        QTRY_VERIFY(!shownPrompt());
    }

    void notAvailableWithoutPrompt()
    {
        PamDeviceAuth available(authenticator());
        PamDeviceAuth withoutService(authenticator(u"vt-no-such-service"_s));
        for (auto [auth, policy] : {std::pair {&available, DeviceAuth::Policy::biometrics},
                 std::pair {&withoutService, DeviceAuth::Policy::ownerAuthentication}}) {
            QVERIFY(!auth->canEvaluate(policy));
            QObject context;
            std::optional<DeviceAuth::Reply> reply;
            auth->evaluate(policy, reason, &context, [&](DeviceAuth::Reply answer) { reply = answer; });
            QVERIFY(!reply);
            QTRY_VERIFY(reply.has_value());
            QCOMPARE(reply->error().code, DeviceAuthError::Code::notAvailable);
            QVERIFY(!shownPrompt());
        }
    }

    void replyDroppedWithItsContext()
    {
        PamDeviceAuth auth(authenticator());
        auto context = std::make_unique<QObject>();
        bool replied = false;
        auth.evaluate(DeviceAuth::Policy::ownerAuthentication, reason, context.get(),
            [&](DeviceAuth::Reply) { replied = true; });
        answerPrompt(password);
        context.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!shownPrompt(), 15000);
        QTest::qWait(100);
        QVERIFY(!replied);
    }

private:
    PamAuthenticator authenticator(const QString &service = u"login"_s) const
    {
        return PamAuthenticator(service, m_user);
    }

    // Types into the prompt on screen and presses the button.
    void answerPrompt(const QString &typed, QDialogButtonBox::StandardButton button = QDialogButtonBox::Ok)
    {
        PasswordPrompt *prompt = nullptr;
        QTRY_VERIFY((prompt = shownPrompt()));
        prompt->findChild<QLineEdit *>()->setText(typed);
        prompt->findChild<QDialogButtonBox *>()->button(button)->click();
    }

    QString m_user;
    QString m_brokenService;
};

QTEST_MAIN(PamDeviceAuthTest)
#include "tst_pamdeviceauth.moc"
