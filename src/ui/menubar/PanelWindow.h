#pragma once

#include <QQuickWindow>
#include <QUrl>
#include <QVariantMap>

#include <memory>

class QQmlEngine;
class QQuickItem;

// The panel: a frameless tool window made once, whose content keeps its
// state between showings. It closes when the application loses the focus
// to another application; a window of ours taking the focus (an alert, the
// password prompt) leaves it open.
class PanelWindow final : public QQuickWindow {
    Q_OBJECT
    Q_DISABLE_COPY(PanelWindow)

public:
    static constexpr QSize panelSize {400, 560};

    // root: the content, made with initialProperties; the engine outlives
    // the window.
    PanelWindow(QQmlEngine &engine, const QUrl &root, const QVariantMap &initialProperties);
    ~PanelWindow() override;

    // Shows the panel with its top-left corner at topLeft and asks for the
    // keyboard focus; a shown panel moves there.
    void showAt(QPoint topLeft);
    // Whether the panel is shown and holds the keyboard focus.
    bool isKey() const;

    QQuickItem *rootItem() const { return m_root.get(); }

private:
    std::unique_ptr<QQuickItem> m_root;
};
