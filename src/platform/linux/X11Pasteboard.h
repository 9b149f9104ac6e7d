#pragma once

#include "platform/Pasteboard.h"
#include "platform/linux/X11ClipboardOwnerWatch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSignalBlocker>

class QClipboard;
class QMimeData;

// The X11 CLIPBOARD selection through QClipboard. Reading another
// application's data is a synchronous request to it (Qt waits up to 5 s), so
// the type list and each format are asked for at most once per content. Qt's
// own listeners to the clipboard (its text fields, each asking the owner
// for its types) hear of a change only from here, once that costs no wait.
class X11Pasteboard final : public QObject, public Pasteboard {
    Q_OBJECT

public:
    explicit X11Pasteboard(QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QStringList> types() override;
    std::optional<QByteArray> data(const QString &type) override;
    void write(const PasteboardItem &item) override;
    void clear() override;
    void forgetReadContent() override { forgetContent(); }

private:
    void handleOwnerChanged();
    void tellQtListeners();
    void recordOwnWrite(PasteboardItem offered);
    bool carriesLastWrite();
    void forgetContent();
    const QStringList &offeredFormats();
    std::optional<QString> offeredFormatFor(const QString &type);
    QByteArray readFormat(const QString &format);

    QClipboard *m_clipboard;
    QSignalBlocker m_quietClipboard;
    X11ClipboardOwnerWatch m_ownerWatch;
    qint64 m_changeCount = 0;
    // The content Qt offers that is already counted: our last write, or a
    // text field's copy.
    QPointer<const QMimeData> m_ownContent;
    // What our last write offered, for telling a clipboard-persistence
    // daemon's takeover from a new copy.
    std::optional<PasteboardItem> m_lastWrite;
    QElapsedTimer m_sinceLastWrite;

    // The current content, as read so far.
    std::optional<QStringList> m_formats;
    std::optional<QStringList> m_types;
    QHash<QString, QByteArray> m_read;
};
