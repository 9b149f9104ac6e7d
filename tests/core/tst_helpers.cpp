#include "core/DateCoding.h"
#include "core/Log.h"
#include "core/UuidText.h"
#include "support/LogCapture.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class HelpersTest final : public QObject {
    Q_OBJECT

private slots:
    void uuidTextIsUpperCaseWithoutBraces()
    {
        const QUuid uuid = QUuid::fromString(u"{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}");
        QCOMPARE(UuidText::toText(uuid), QStringLiteral("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
    }

    void uuidParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("upper") << u"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s << true;
        QTest::newRow("lower") << u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"_s << true;
        QTest::newRow("braces") << u"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}"_s << false;
        QTest::newRow("blank") << u" E621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s << false;
        QTest::newRow("no dashes") << u"E621E1F8C36C495A93FC0C247A3E6E5F0000"_s << false;
        QTest::newRow("dash moved") << u"E621E1F-8C36C-495A-93FC-0C247A3E6E5F"_s << false;
        QTest::newRow("not hex") << u"G621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s << false;
        QTest::newRow("short") << u"E621E1F8-C36C-495A-93FC-0C247A3E6E5"_s << false;
        QTest::newRow("empty") << QString() << false;
    }

    void uuidParse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto parsed = UuidText::parse(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(UuidText::toText(*parsed), text.toUpper());
    }

    void datesKeepMilliseconds()
    {
        const QDateTime date = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC);
        QCOMPARE(DateCoding::toSeconds(date), 1'700'000'000.123);
        QCOMPARE(DateCoding::fromSeconds(1'700'000'000.123), date);
        QCOMPARE(DateCoding::fromSeconds(-1.5).toMSecsSinceEpoch(), -1500);
    }

    void unrepresentableDatesAreInvalid()
    {
        QVERIFY(!DateCoding::fromSeconds(std::numeric_limits<double>::quiet_NaN()).isValid());
        QVERIFY(!DateCoding::fromSeconds(std::numeric_limits<double>::infinity()).isValid());
        QVERIFY(!DateCoding::fromSeconds(1e300).isValid());
    }

    void logLinesCarryThePrefix()
    {
        LogCapture capture;
        Log::write(QStringLiteral("Database initialized"));
        QCOMPARE(capture.lines(), QStringList {QStringLiteral("[Vantorell] Database initialized")});
    }
};

QTEST_GUILESS_MAIN(HelpersTest)
#include "tst_helpers.moc"
