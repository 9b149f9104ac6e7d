#include "platform/linux/X11ConnectionLoss.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QThread>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

X11ConnectionLoss *g_watcher = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void watchMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_previousHandler(type, context, message);
    // Qt's words before its exit(1).
    if (type != QtWarningMsg || !message.startsWith(u"The X11 connection broke"_s) || !g_watcher
        || QThread::currentThread() != QCoreApplication::instance()->thread())
        return;
    Log::write(u"The connection to the X server broke; shutting down"_s);
    emit std::exchange(g_watcher, nullptr)->lost();
}

} // namespace

X11ConnectionLoss::X11ConnectionLoss(QObject *parent) : QObject(parent)
{
    g_watcher = this;
    g_previousHandler = qInstallMessageHandler(watchMessages);
}

X11ConnectionLoss::~X11ConnectionLoss()
{
    qInstallMessageHandler(g_previousHandler);
    g_watcher = nullptr;
}
