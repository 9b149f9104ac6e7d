#include "platform/linux/MessageBoxAlerts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class MessageBoxAlertsTest final : public QObject {
    Q_OBJECT

private slots:
    void askReportsWhichButtonWasPressed_data()
    {
        QTest::addColumn<QString>("pressed");
        QTest::newRow("accept") << u"Delete"_s;
        QTest::newRow("reject") << u"Keep"_s;
    }

    void askReportsWhichButtonWasPressed()
    {
        QFETCH(QString, pressed);
        QString text;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            text = box->text() + u'|' + box->informativeText();
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == pressed)
                    button->click();
            }
        });
        poll.start(10);
        const bool accepted = MessageBoxAlerts().askAlert(
            u"Delete all?"_s, u"It cannot be undone."_s, u"Delete"_s, u"Keep"_s);
        QCOMPARE(accepted, pressed == u"Delete"_s);
        QCOMPARE(text, u"Delete all?|It cannot be undone."_s);
    }
};

QTEST_MAIN(MessageBoxAlertsTest)
#include "tst_messageboxalerts.moc"
