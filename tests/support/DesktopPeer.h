#pragma once

#include <QByteArrayList>
#include <QProcess>

// Drives the desktop_peer helper: another X11 client owning the clipboard
// or showing windows. Waiting spins the event loop, so this process keeps
// answering the peer's clipboard requests meanwhile.
class DesktopPeer final {
    Q_DISABLE_COPY(DesktopPeer)

public:
    explicit DesktopPeer(const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    ~DesktopPeer();

    bool isReady() const { return m_ready; }
    qint64 processId() const { return m_process.processId(); }

    // Sends one command; returns the reply lines before "end".
    QByteArrayList ask(const QByteArray &command);
    // "own" with the formats and their data.
    void own(const QList<std::pair<QString, QByteArray>> &formats);

private:
    QProcess m_process;
    bool m_ready = false;
};
