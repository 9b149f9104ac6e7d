#pragma once

#include "store/SnippetError.h"

#include <QFuture>
#include <QList>
#include <QObject>

#include <chrono>
#include <expected>
#include <functional>
#include <optional>

// The saves of unsaved edits that quitting starts, so that the quit can wait
// for the store's answers. Main thread only.
class QuitSaves final {
public:
    using Result = std::expected<void, SnippetError>;
    // None while an answer is missing; else the first refusal, or success.
    using Answer = std::optional<Result>;

    void add(const QFuture<Result> &save) { m_saves.append(save); }
    bool isEmpty() const { return m_saves.isEmpty(); }

    // A refusal as soon as one comes; success once every save is stored.
    Answer answer() const;
    // Calls answered once with the answer, or with none past bound.
    void whenAnswered(QObject *context, std::chrono::milliseconds bound,
        std::function<void(const Answer &)> answered) const;

private:
    QList<QFuture<Result>> m_saves;
};
