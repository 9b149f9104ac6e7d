#pragma once

#include <QImage>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>

#include <memory>

// One window with one item made from QML text that imports the design module;
// renders it and hands back the picture.
class QuickScene final {
    Q_DISABLE_COPY(QuickScene)

public:
    QuickScene();
    ~QuickScene();

    // Builds body (QML after the imports) into the window, sized to the root's
    // implicit size plus margin on every side. Returns nullptr (and fails the
    // test) when the text does not load.
    QQuickItem *load(const QString &body, int margin = 0);

    QQuickWindow &window() { return *m_window; }
    QImage grab();
    bool showAndActivate();

private:
    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_root;
};
