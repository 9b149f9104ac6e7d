#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWindow;

// The application's own dialogs against a lock of the vault. The lock closes
// every dialog as the window's close button would, which cancels it; an
// answer that comes after a lock all the same (in the lock's own turn, or
// from a check still under way) counts for nothing, so the vault, its
// settings and the clipboard stay as they were. Every dialog opens through
// here. Main thread only.
namespace OpenDialogs {

// Whether the answer of a dialog opened earlier still counts.
using Scope = std::function<bool()>;

// What a lock is: source makes, for a dialog opening now, the test that its
// answer still counts. The application installs it for as long as owner
// lives; without it every answer counts.
void setScope(const QObject *owner, std::function<Scope()> source);
// Taken when a dialog opens.
Scope scopeFromNow();

// Closes every dialog window on screen.
void closeAll();

// The window of ours that has the keyboard as a dialog opens. The dialog is
// transient for it, and when the dialog closes the window asks for the
// keyboard back, with it the control that had it: a window manager may give
// it to no window left out of the taskbar. None for a dialog chosen from the
// tray menu over another application.
class Opener final {
public:
    Opener();

    // Before dialog first shows.
    void adopt(QWindow &dialog) const;
    // Once the dialog has closed.
    void giveBack() const;

private:
    QPointer<QWindow> m_window;
};

// Runs dialog's own event loop, in front and modal; true when what it
// answered counts.
template<class Dialog> bool run(Dialog &dialog)
{
    const Scope counts = scopeFromNow();
    const Opener opener;
    // Modal and transient before it shows: neither changes on a shown window.
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.winId();
    opener.adopt(*dialog.windowHandle());
    // Chosen from a tray menu, the dialog must take the keyboard from the
    // application the user was typing in.
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.exec();
    opener.giveBack();
    return counts();
}

// The same for a dialog that ends accepted or rejected: true when it was
// accepted and that counts.
template<class Dialog> bool accepted(Dialog &dialog)
{
    return run(dialog) && dialog.result() == Dialog::Accepted;
}

} // namespace OpenDialogs
