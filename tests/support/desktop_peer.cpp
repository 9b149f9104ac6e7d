// Another desktop application for the X11 tests: owns the clipboard with
// the formats it is told, reads and mirrors it, counts what it served and
// shows windows with a chosen WM_CLASS, or a dock that takes no focus. Commands come one a line on stdin;
// every reply ends with a line "end".

#include "support/NoiseImage.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QMimeData>
#include <QRasterWindow>
#include <QSocketNotifier>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include <unistd.h>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace {

QHash<QString, int> servedCounts;

// Counts the requests other clients make for each format.
class CountingMimeData final : public QMimeData {
protected:
    QVariant retrieveData(const QString &format, QMetaType type) const override
    {
        ++servedCounts[format];
        return QMimeData::retrieveData(format, type);
    }
};

void reply(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
}

void own(QMimeData *mimeData)
{
    servedCounts.clear();
    QGuiApplication::clipboard()->setMimeData(mimeData, QClipboard::Clipboard);
}

QStringList offeredFormats(const QMimeData *mimeData)
{
    static const QStringList pseudoTargets {u"TARGETS"_s, u"MULTIPLE"_s, u"TIMESTAMP"_s, u"SAVE_TARGETS"_s};
    QStringList formats;
    for (const QString &format : mimeData->formats()) {
        if (!pseudoTargets.contains(format))
            formats.append(format);
    }
    return formats;
}

std::map<xcb_window_t, std::unique_ptr<QRasterWindow>> windows;

xcb_window_t showWindow(const QByteArray &instance, const QByteArray &className)
{
    auto window = std::make_unique<QRasterWindow>();
    window->resize(200, 120);
    window->create();
    const auto id = xcb_window_t(window->winId());
    const QByteArray wmClass = instance + '\0' + className + '\0';
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
        quint32(wmClass.size()), wmClass.constData());
    window->show();
    windows[id] = std::move(window);
    return id;
}

xcb_atom_t atom(xcb_connection_t *connection, const QByteArray &name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// What a taskbar is: a window at a place of its own, kept there by the
// window manager, that a click does not focus. Replies once it shows.
xcb_window_t showDock(int x, int y)
{
    auto window = std::make_unique<QRasterWindow>();
    window->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    window->setGeometry(x, y, 200, 120);
    window->create();
    const auto id = xcb_window_t(window->winId());
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const xcb_atom_t dock = atom(x11->connection(), "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, id,
        atom(x11->connection(), "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dock);
    window->show();
    const QDeadlineTimer deadline(5000);
    while (!window->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    windows[id] = std::move(window);
    return id;
}

void run(const QList<QByteArray> &words)
{
    const QByteArray command = words.value(0);
    if (command == "own") {
        // own FORMAT BASE64 ...; "-" stands for empty data.
        auto *mimeData = new CountingMimeData;
        for (qsizetype i = 1; i + 1 < words.size(); i += 2) {
            const QByteArray data = words[i + 1] == "-" ? QByteArray() : QByteArray::fromBase64(words[i + 1]);
            mimeData->setData(QString::fromUtf8(words[i]), data);
        }
        own(mimeData);
    } else if (command == "image") {
        auto *mimeData = new CountingMimeData;
        mimeData->setImageData(noiseImage(words.value(1).toInt(), words.value(2).toInt()));
        own(mimeData);
    } else if (command == "mirror") {
        // What a clipboard-persistence daemon does: take over with a copy.
        const QMimeData *current = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        auto *copy = new CountingMimeData;
        for (const QString &format : offeredFormats(current))
            copy->setData(format, current->data(format));
        own(copy);
    } else if (command == "dump") {
        const QMimeData *current = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        for (const QString &format : offeredFormats(current)) {
            const QByteArray data = current->data(format);
            reply(format.toUtf8() + ' ' + (data.isEmpty() ? "-"_ba : data.toBase64()));
        }
    } else if (command == "served") {
        for (auto it = servedCounts.cbegin(); it != servedCounts.cend(); ++it)
            reply(it.key().toUtf8() + ' ' + QByteArray::number(it.value()));
    } else if (command == "window") {
        reply(QByteArray::number(showWindow(words.value(1), words.value(2))));
    } else if (command == "dock") {
        reply(QByteArray::number(showDock(words.value(1).toInt(), words.value(2).toInt())));
    } else if (command == "close") {
        windows.erase(xcb_window_t(words.value(1).toULong()));
        qGuiApp->processEvents();
    } else if (command == "quit") {
        reply("end");
        std::fflush(stdout);
        QGuiApplication::quit();
        return;
    }
    reply("end");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&pending, &input] {
        char buffer[65536];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            input.setEnabled(false);
            QGuiApplication::quit();
            return;
        }
        pending.append(buffer, count);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            run(line.split(' '));
        }
    });
    reply("ready");
    reply("end");
    std::fflush(stdout);
    const int status = app.exec();
    windows.clear();
    return status;
}
