#include "platform/linux/MessageBoxAlerts.h"

#include "platform/OpenDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void MessageBoxAlerts::beep()
{
    QApplication::beep();
}

void MessageBoxAlerts::showAlert(const QString &title, const QString &informativeText)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(title);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Ok);
    OpenDialogs::run(box);
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
    return OpenDialogs::run(box) && box.clickedButton() == accept;
}
