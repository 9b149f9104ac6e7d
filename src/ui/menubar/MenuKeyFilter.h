#pragma once

#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

// Runs the shortcuts of a menu tree while one of its menus is open: an open
// QMenu takes every key, so the shortcuts of its actions never reach the
// application. Installed on each menu of the tree.
class MenuKeyFilter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(MenuKeyFilter)

public:
    explicit MenuKeyFilter(QObject *parent = nullptr);

    void add(QKeyCombination keys, QAction *action);
    void install(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QKeyCombination, QPointer<QAction>> m_actions;
};
