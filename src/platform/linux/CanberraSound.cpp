#include "platform/linux/CanberraSound.h"

#include <QApplication>

#include <canberra.h>

CanberraSound::~CanberraSound()
{
    if (m_context)
        ca_context_destroy(m_context);
}

bool CanberraSound::ensureContext()
{
    if (m_context)
        return true;
    if (m_unavailable)
        return false;
    int result = ca_context_create(&m_context);
    if (result == CA_SUCCESS) {
        result = ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Vantorell",
            CA_PROP_APPLICATION_ID, "net.quenlax.Vantorell", nullptr);
    }
    if (result == CA_SUCCESS)
        result = ca_context_open(m_context);
    if (result != CA_SUCCESS) {
        if (m_context)
            ca_context_destroy(m_context);
        m_context = nullptr;
        // Opening a sound driver can be slow; one failure is enough.
        m_unavailable = true;
        return false;
    }
    return true;
}

void CanberraSound::play(const QString &eventId)
{
    if (ensureContext()) {
        const QByteArray id = eventId.toUtf8();
        if (ca_context_play(m_context, 0, CA_PROP_EVENT_ID, id.constData(), nullptr) == CA_SUCCESS)
            return;
    }
    QApplication::beep();
}
