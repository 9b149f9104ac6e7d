#include "app/MessageBoxAlerts.h"

#include <QApplication>
#include <QMessageBox>

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
    // A tray application has no window in front: the alert must not open
    // behind the application the user is working in.
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}
