#include "ui/windows/settings/BackupWork.h"

#include "app/AppStateController.h"
#include "base/WhenFinished.h"
#include "ui/windows/settings/BackupDialogs.h"

#include <array>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString counted(qsizetype count, const QString &one, const QString &many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

QString countsText(const QString &done, qsizetype entries, qsizetype snippets)
{
    return done + u' ' + counted(entries, u"item"_s, u"items"_s) + u" and "_s
        + counted(snippets, u"snippet"_s, u"snippets"_s) + u'.';
}

// A sentence of its own, after a blank, when rows are left out.
QString leftOutText(const UnreadRows &unread, const QString &one, const QString &many)
{
    if (!unread.any())
        return {};
    QString text = u' ' + counted(unread.count, one, many) + u" couldn't be read from the database"_s;
    if (!unread.reason.isEmpty())
        text += u" ("_s + unread.reason + u')';
    return text + (unread.count == 1 ? u" and isn't in the backup."_s : u" and aren't in the backup."_s);
}

} // namespace

BackupWork::BackupWork(
    AppStateController &appState, BackupOperations &operations, BackupDialogs &dialogs, QObject *parent)
    : QObject(parent), m_appState(appState), m_operations(operations), m_dialogs(dialogs)
{
    // An erase takes what a restore wrote with it.
    connect(&appState, &AppStateController::showOnboardingChanged, this, [this](bool shown) {
        if (shown)
            m_outcome.reset();
    });
}

void BackupWork::backUp(const QString &path, const QString &password)
{
    if (m_isWorking)
        return;
    run(m_operations.exportBackup(path, password), u"The backup didn't finish"_s,
        [](const BackupOperations::Written &written) {
            // A file was written, but not of the whole vault.
            return Outcome {
                backedUpText(written), written.unread.any() || written.unreadSnippets.any(), true};
        });
}

void BackupWork::restore(const QString &path, const QString &password)
{
    if (m_isWorking)
        return;
    run(m_operations.importBackup(path, password), u"The restore didn't finish"_s,
        [](const BackupOperations::Restored &restored) {
            return Outcome {restoredText(restored), restored.cutShort.has_value()};
        });
}

template<class T, class Convert>
void BackupWork::run(QFuture<BackupOperations::Outcome<T>> work, const QString &unfinished, Convert outcome)
{
    m_outcome.reset();
    setWorking(true);
    const std::function<bool()> unlocked = m_appState.unlockedFromNow();
    whenFinished(this, work,
        [this, unlocked, wasUnlocked = unlocked(), unfinished, outcome](
            const BackupOperations::Outcome<T> &result) {
            end(result ? outcome(*result) : Outcome {result.error(), true}, wasUnlocked && !unlocked(),
                unfinished);
        });
}

void BackupWork::end(const Outcome &outcome, bool lockedMeanwhile, const QString &unfinished)
{
    // The lock closed the window, and the section in it, on the way: the
    // user hears of it once the vault is open again, and from no section,
    // not even one opened on the lock screen.
    const bool toldOnceUnlocked = outcome.isError && lockedMeanwhile;
    if (!toldOnceUnlocked) {
        m_outcome = outcome;
        emit ended();
    }
    setWorking(false);
    if (toldOnceUnlocked)
        tellOnceUnlocked(unfinished, outcome.text);
}

// Not over the lock screen, and not at all after an erase, which takes what
// a restore wrote with it.
void BackupWork::tellOnceUnlocked(const QString &heading, const QString &text)
{
    if (m_appState.showOnboarding())
        return;
    // Not from inside the unlock's own signal.
    const auto tell = [this, heading, text] {
        QMetaObject::invokeMethod(
            this, [this, heading, text] { m_dialogs.showUnfinished(heading, text); }, Qt::QueuedConnection);
    };
    if (m_appState.unlockedFromNow()())
        return tell();
    auto waiting = std::make_shared<std::array<QMetaObject::Connection, 2>>();
    const auto stopWaiting = [waiting] {
        for (const QMetaObject::Connection &connection : *waiting)
            QObject::disconnect(connection);
    };
    (*waiting)[0] = connect(
        &m_appState, &AppStateController::isUnlockedChanged, this, [stopWaiting, tell](bool unlocked) {
            if (unlocked) {
                stopWaiting();
                tell();
            }
        });
    (*waiting)[1]
        = connect(&m_appState, &AppStateController::showOnboardingChanged, this, [stopWaiting](bool shown) {
              if (shown)
                  stopWaiting();
          });
}

void BackupWork::setWorking(bool working)
{
    if (working == m_isWorking)
        return;
    m_isWorking = working;
    emit isWorkingChanged();
}

QString BackupWork::backedUpText(const BackupOperations::Written &written)
{
    return countsText(u"Backed up"_s, written.entries, written.snippets)
        + leftOutText(written.unread, u"item"_s, u"items"_s)
        + leftOutText(written.unreadSnippets, u"snippet"_s, u"snippets"_s);
}

QString BackupWork::restoredText(const BackupOperations::Restored &restored)
{
    const std::optional<BackupOperations::Restored::CutShort> &cutShort = restored.cutShort;
    QString text = !cutShort ? countsText(u"Restored"_s, restored.entries, restored.snippets)
                             : u"Restored %1 of %2 and %3 of %4."_s.arg(restored.entries)
                                   .arg(counted(cutShort->entriesInBackup, u"item"_s, u"items"_s))
                                   .arg(restored.snippets)
                                   .arg(counted(cutShort->snippetsInBackup, u"snippet"_s, u"snippets"_s));
    // The same wording for every number, one included.
    if (restored.skipped > 0)
        text += u' ' + QString::number(restored.skipped) + u" older items were skipped."_s;
    if (cutShort)
        text += u' ' + cutShort->reason + u" Restore the same file again to add the rest."_s;
    return text;
}
