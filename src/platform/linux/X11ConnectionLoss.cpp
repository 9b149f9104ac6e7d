#include "platform/linux/X11ConnectionLoss.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QThread>

#include <utility>

// Last: Xlib defines names that Qt uses.
#include <X11/Xlib.h>

using namespace Qt::StringLiterals;

namespace {

X11ConnectionLoss *g_watcher = nullptr;
QtMessageHandler g_previousMessageHandler = nullptr;
XIOErrorHandler g_previousIOErrorHandler = nullptr;

void announceLoss()
{
    if (!g_watcher || QThread::currentThread() != QCoreApplication::instance()->thread())
        return;
    Log::write(u"The connection to the X server broke; shutting down"_s);
    emit std::exchange(g_watcher, nullptr)->lost();
}

// Qt's words before its exit(1).
void watchMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_previousMessageHandler(type, context, message);
    if (type == QtWarningMsg && message.startsWith(u"The X11 connection broke"_s))
        announceLoss();
}

// Xlib may notice first, in Qt's own flush; the process exits once this
// returns.
int watchIOErrors(Display *display)
{
    announceLoss();
    return g_previousIOErrorHandler ? g_previousIOErrorHandler(display) : 0;
}

} // namespace

X11ConnectionLoss::X11ConnectionLoss(QObject *parent) : QObject(parent)
{
    g_watcher = this;
    g_previousMessageHandler = qInstallMessageHandler(watchMessages);
    g_previousIOErrorHandler = XSetIOErrorHandler(watchIOErrors);
}

X11ConnectionLoss::~X11ConnectionLoss()
{
    XSetIOErrorHandler(g_previousIOErrorHandler);
    qInstallMessageHandler(g_previousMessageHandler);
    g_watcher = nullptr;
}
