#include "platform/linux/CanberraSound.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

// The test session has no sound server: every sound must fall back to the
// bell without blocking, leaking or crashing, and the context must survive
// repeated use.
class CanberraSoundTest final : public QObject {
    Q_OBJECT

private slots:
    void playsThemeSoundsOrRingsTheBell()
    {
        CanberraSound sound;
        for (const QString &event : {u"complete"_s, u"no-such-sound"_s, u"complete"_s, QString()})
            sound.play(event);
    }
};

QTEST_MAIN(CanberraSoundTest)
#include "tst_canberrasound.moc"
