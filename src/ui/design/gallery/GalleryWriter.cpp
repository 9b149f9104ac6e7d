#include "GalleryWriter.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// A page marks the item the pointer should rest on with objectName "pointer",
// so hover states show in the picture.
void restPointer(QQuickWindow &window, QQuickItem *root)
{
    const auto *target = root->findChild<QQuickItem *>(u"pointer"_s);
    if (!target)
        return;
    const QPointF at = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QMouseEvent move(
        QEvent::MouseMove, at, window.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QGuiApplication::sendEvent(&window, &move);
}

} // namespace

GalleryWriter::GalleryWriter(QQmlEngine &engine, const QDir &folder) : m_engine(engine), m_folder(folder)
{
}

bool GalleryWriter::write(const QStringList &pages, const QString &appearance, const QPalette &palette)
{
    QGuiApplication::setPalette(palette);
    for (const QString &page : pages) {
        if (!writePage(page, appearance))
            return false;
    }
    return true;
}

bool GalleryWriter::writePage(const QString &page, const QString &appearance)
{
    QQmlComponent component(
        &m_engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/Gallery/"_s + page + u".qml"_s));
    std::unique_ptr<QObject> object(component.create());
    auto *root = qobject_cast<QQuickItem *>(object.get());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return false;
    }
    QQuickWindow window;
    window.setColor(QGuiApplication::palette().color(QPalette::Window));
    root->setParentItem(window.contentItem());
    window.resize(qCeil(root->implicitWidth()), qCeil(root->implicitHeight()));
    root->setSize(window.size());
    window.show();
    window.requestActivate();
    settle(50);
    restPointer(window, root);
    // Let focus and selection animations finish.
    settle(400);

    const QString name = page.chopped(u"Page"_s.size());
    const QString file = m_folder.filePath(u"%1-%2.png"_s.arg(name, appearance));
    const bool saved = window.grabWindow().save(file);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    object.reset();
    return saved;
}
