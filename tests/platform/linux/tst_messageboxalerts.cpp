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
    void showsTitleAndTextWithOneOkButton()
    {
        QString title;
        QString text;
        QStringList buttons;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            title = box->text();
            text = box->informativeText();
            for (QAbstractButton *button : box->buttons())
                buttons.append(button->text());
            box->button(QMessageBox::Ok)->click();
        });
        poll.start(10);

        MessageBoxAlerts alerts;
        alerts.showAlert(u"No text found"_s, u"Vantorell couldn't find any text in that image."_s);
        QCOMPARE(title, u"No text found"_s);
        QCOMPARE(text, u"Vantorell couldn't find any text in that image."_s);
        QCOMPARE(buttons, QStringList {u"OK"_s});
    }
};

QTEST_MAIN(MessageBoxAlertsTest)
#include "tst_messageboxalerts.moc"
