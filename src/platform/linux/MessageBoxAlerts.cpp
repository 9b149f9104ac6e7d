#include "platform/linux/MessageBoxAlerts.h"

#include "platform/OpenDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void MessageBoxAlerts::beep()
{
    QApplication::beep();
}

namespace {

// A tray application has no window in front: the alert must not open behind
// the application the user is working in. True when the answer counts.
bool runInFront(QMessageBox &box)
{
    box.show();
    box.raise();
    box.activateWindow();
    return OpenDialogs::run(box);
}

} // namespace

void MessageBoxAlerts::showAlert(const QString &title, const QString &informativeText)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(title);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Ok);
    runInFront(box);
}

bool MessageBoxAlerts::askAlert(const QString &title, const QString &informativeText,
    const QString &acceptButton, const QString &rejectButton)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(title);
    box.setInformativeText(informativeText);
    QPushButton *accept = box.addButton(acceptButton, QMessageBox::AcceptRole);
    box.addButton(rejectButton, QMessageBox::RejectRole);
    box.setDefaultButton(accept);
    return runInFront(box) && box.clickedButton() == accept;
}
