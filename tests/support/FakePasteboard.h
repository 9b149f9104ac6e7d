#pragma once

#include "platform/Pasteboard.h"

// A pasteboard in memory: another application's copy is copy(), our own
// writes are recorded.
class FakePasteboard final : public Pasteboard {
public:
    FakePasteboard() = default;

    qint64 changeCount() const override { return m_changeCount; }

    std::optional<QStringList> types() override
    {
        if (!m_typeListAvailable)
            return std::nullopt;
        return m_contents.types();
    }

    std::optional<QByteArray> data(const QString &type) override { return m_contents.data(type); }

    void write(const PasteboardItem &item) override
    {
        m_writes.append(item);
        replace(item);
    }

    // Recorded as a write of an empty item.
    void clear() override { write({}); }

    void forgetReadContent() override { ++m_forgetCount; }
    int forgetCount() const { return m_forgetCount; }

    // Another application's copy.
    void copy(const PasteboardItem &item) { replace(item); }

    // Off: types() gives no list, as some owners do.
    void setTypeListAvailable(bool available) { m_typeListAvailable = available; }

    const PasteboardItem &contents() const { return m_contents; }
    const QList<PasteboardItem> &writes() const { return m_writes; }

private:
    void replace(const PasteboardItem &item)
    {
        m_contents = item;
        ++m_changeCount;
    }

    PasteboardItem m_contents;
    QList<PasteboardItem> m_writes;
    qint64 m_changeCount = 0;
    bool m_typeListAvailable = true;
    int m_forgetCount = 0;
};
