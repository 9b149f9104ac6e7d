#include "core/Log.h"
#include "platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Global key grabs, synthetic keys and the CLIPBOARD selection need X11;
    // under Wayland we run on XWayland unless the user chose otherwise.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication::setApplicationName(QStringLiteral("Vantorell"));
    QApplication::setOrganizationName(QString());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication app(argc, argv);

    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app, &QApplication::quit);

    const int status = app.exec();
    Log::write(QStringLiteral("Application terminated"));
    return status;
}
