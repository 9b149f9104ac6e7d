#pragma once

#include <QObject>

#include <functional>

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

// Runs dialog's own event loop; true when what it answered counts.
template<class Dialog> bool run(Dialog &dialog)
{
    const Scope counts = scopeFromNow();
    dialog.exec();
    return counts();
}

// The same for a dialog that ends accepted or rejected: true when it was
// accepted and that counts.
template<class Dialog> bool accepted(Dialog &dialog)
{
    return run(dialog) && dialog.result() == Dialog::Accepted;
}

} // namespace OpenDialogs
