#pragma once

#include "ui/windows/settings/BackupOperations.h"

#include <QObject>
#include <QString>

#include <optional>
#include <utility>

class AppStateController;
class BackupDialogs;

// The backup or restore the Backup section started, and its outcome. Kept
// by the settings window's context, so that both outlive the section and
// its window, which the user may close and open again meanwhile. An outcome
// no shown section takes waits for the next one; a failure after a lock,
// which closes the window, is told only in an alert once the vault is open
// again. An erase drops either. Main thread only.
class BackupWork final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(BackupWork)

public:
    struct Outcome {
        QString text;
        bool isError = false;
        // A backup was written: its password has done its work.
        bool written = false;
    };

    BackupWork(AppStateController &appState, BackupOperations &operations, BackupDialogs &dialogs,
        QObject *parent = nullptr);

    bool isWorking() const { return m_isWorking; }
    // Each starts nothing while work runs.
    void backUp(const QString &path, const QString &password);
    void restore(const QString &path, const QString &password);
    // The outcome no shown section has taken yet; taken once.
    std::optional<Outcome> takeOutcome() { return std::exchange(m_outcome, std::nullopt); }

    static QString backedUpText(const BackupOperations::Written &written);
    static QString restoredText(const BackupOperations::Restored &restored);

signals:
    void isWorkingChanged();
    // A shown section takes the outcome now, or it waits.
    void ended();

private:
    // Runs work to its end, which outcome turns into the user's words.
    template<class T, class Convert>
    void run(QFuture<BackupOperations::Outcome<T>> work, const QString &unfinished, Convert outcome);
    void end(const Outcome &outcome, bool lockedMeanwhile, const QString &unfinished);
    void tellOnceUnlocked(const QString &heading, const QString &text);
    void setWorking(bool working);

    AppStateController &m_appState;
    BackupOperations &m_operations;
    BackupDialogs &m_dialogs;
    bool m_isWorking = false;
    std::optional<Outcome> m_outcome;
};
