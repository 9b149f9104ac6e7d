#include "ui/design/PasscodeStrength.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class PasscodeStrengthTest : public QObject {
    Q_OBJECT

private slots:
    void levels_data()
    {
        QTest::addColumn<QString>("passcode");
        QTest::addColumn<int>("level");
        QTest::newRow("five of every kind") << u"Ab1!x"_s << 0;
        QTest::newRow("six with upper and digit") << u"abcD1f"_s << 1;
        QTest::newRow("eight lower-case") << u"abcdefgh"_s << 0;
        QTest::newRow("eight with upper") << u"abcdefgH"_s << 1;
        QTest::newRow("twelve lower-case") << u"abcdefghijkl"_s << 1;
        QTest::newRow("twelve with upper and digit") << u"abcdefghiJ1k"_s << 2;
        QTest::newRow("space is not alphanumeric") << u"abc def1"_s << 1;
        QTest::newRow("accented letters with length") << u"éèêëàâîï"_s << 1;
        // Six user-visible characters, twelve UTF-16 units: length terms stay 0.
        QTest::newRow("grapheme clusters") << u"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"_s << 0;
    }

    void levels()
    {
        QFETCH(QString, passcode);
        QFETCH(int, level);
        QCOMPARE(passcodeStrength(passcode), level);
    }

    void emptyPasscodeShowsNoMeter()
    {
        PasscodeStrength strength;
        strength.setPasscode(u"abcdE1f"_s);
        QVERIFY(!strength.levelName().isEmpty());
        QSignalSpy changed(&strength, &PasscodeStrength::passcodeChanged);
        strength.setPasscode(QString());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(strength.levelName(), QString());
        QCOMPARE(strength.barValue(), 0.0);
    }
};

QTEST_MAIN(PasscodeStrengthTest)
#include "tst_passcodestrength.moc"
