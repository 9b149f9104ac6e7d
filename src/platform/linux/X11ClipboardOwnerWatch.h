#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

struct xcb_connection_t;

// Tells when the CLIPBOARD selection changes hands or loses its owner, from
// the notices Qt's own X connection gets for its clipboard. The signal comes
// after Qt has taken the notices in, so that its clipboard by then speaks of
// the new owner, and once for notices that arrive together. Main thread only.
class X11ClipboardOwnerWatch final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
    Q_DISABLE_COPY(X11ClipboardOwnerWatch)

public:
    explicit X11ClipboardOwnerWatch(QObject *parent = nullptr);

    // Whether some client holds the selection now; asks the server.
    bool selectionHasOwner() const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void ownerChanged();

private:
    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_clipboardAtom = 0;
    // The event code of an owner notice.
    std::uint8_t m_ownerNotice = 0;
    bool m_noticePending = false;
};
