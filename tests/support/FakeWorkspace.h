#pragma once

#include "platform/Workspace.h"

#include <QList>
#include <QSet>

// A desktop whose front application the test sets; activations and opened
// URLs are recorded.
class FakeWorkspace final : public Workspace {
public:
    FakeWorkspace() = default;

    std::optional<RunningApplication> frontmostApplication() override { return m_front; }

    bool activate(const RunningApplication &application) override
    {
        if (m_closedWindows.contains(application.window))
            return false;
        m_activations.append(application);
        m_front = application;
        return true;
    }

    bool openURL(const QUrl &url) override
    {
        m_openedURLs.append(url);
        return true;
    }

    void setFrontmostApplication(std::optional<RunningApplication> application)
    {
        m_front = std::move(application);
    }

    // Later activations of this window fail, as for a closed window.
    void closeWindow(quint32 window) { m_closedWindows.insert(window); }

    const QList<RunningApplication> &activations() const { return m_activations; }
    const QList<QUrl> &openedURLs() const { return m_openedURLs; }

private:
    std::optional<RunningApplication> m_front;
    QList<RunningApplication> m_activations;
    QList<QUrl> m_openedURLs;
    QSet<quint32> m_closedWindows;
};
