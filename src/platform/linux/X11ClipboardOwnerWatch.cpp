#include "platform/linux/X11ClipboardOwnerWatch.h"

#include "platform/linux/X11Connection.h"

#include <QCoreApplication>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

template<typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

X11ClipboardOwnerWatch::X11ClipboardOwnerWatch(QObject *parent) : QObject(parent)
{
    const std::optional<X11Connection> x11 = X11Connection::qt();
    if (!x11)
        return;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(x11->connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    static constexpr char clipboard[] = "CLIPBOARD";
    const ReplyPointer<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(
            x11->connection, xcb_intern_atom(x11->connection, 0, sizeof clipboard - 1, clipboard), nullptr),
        &std::free);
    if (!atom)
        return;
    m_connection = x11->connection;
    m_clipboardAtom = atom->atom;
    m_ownerNotice = std::uint8_t(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool X11ClipboardOwnerWatch::selectionHasOwner() const
{
    if (!m_connection)
        return false;
    const ReplyPointer<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_clipboardAtom), nullptr),
        &std::free);
    return reply && reply->owner != XCB_NONE;
}

bool X11ClipboardOwnerWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != m_ownerNotice
        || reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event)->selection != m_clipboardAtom)
        return false;
    // Qt handles the notice once we return; we tell after it.
    if (!m_noticePending) {
        m_noticePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_noticePending = false;
                emit ownerChanged();
            },
            Qt::QueuedConnection);
    }
    return false;
}
