#include "platform/linux/X11Pasteboard.h"

#include "platform/PasteboardType.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;

namespace {

// Clipboard-persistence daemons take the selection over right after a write
// and serve the same data again; that is not a new copy.
constexpr std::chrono::milliseconds takeoverWindow {2000};

const QByteArray kdeSecret = "secret"_ba;

// Our type for an offered X format; empty for the selection protocol's own
// targets.
QString typeForFormat(const QString &format)
{
    static const QStringList pseudoTargets {u"TARGETS"_s, u"MULTIPLE"_s, u"TIMESTAMP"_s, u"SAVE_TARGETS"_s};
    if (pseudoTargets.contains(format))
        return {};
    if (format.compare(u"text/plain;charset=utf-8"_s, Qt::CaseInsensitive) == 0)
        return PasteboardType::string;
    if (format == u"application/rtf"_s || format == u"text/richtext"_s)
        return PasteboardType::rtf;
    return format;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

X11Pasteboard::X11Pasteboard(QObject *parent)
    : QObject(parent), m_clipboard(QGuiApplication::clipboard()), m_quietClipboard(m_clipboard)
{
    connect(&m_ownerWatch, &X11ClipboardOwnerWatch::ownerChanged, this, &X11Pasteboard::handleOwnerChanged);
}

std::optional<QStringList> X11Pasteboard::types()
{
    if (!m_types) {
        QStringList list;
        for (const QString &format : offeredFormats()) {
            const QString type = typeForFormat(format);
            if (!type.isEmpty() && !list.contains(type))
                list.append(type);
        }
        if (list.contains(PasteboardType::kdePasswordHint) && !list.contains(PasteboardType::concealed)
            && readFormat(PasteboardType::kdePasswordHint).trimmed() == kdeSecret)
            list.append(PasteboardType::concealed);
        m_types = list;
    }
    return m_types;
}

std::optional<QByteArray> X11Pasteboard::data(const QString &type)
{
    if (!types()->contains(type))
        return std::nullopt;
    const std::optional<QString> format = offeredFormatFor(type);
    // Only the concealed marker is on offer without a format of its own.
    if (!format)
        return QByteArray();
    return readFormat(*format);
}

void X11Pasteboard::write(const PasteboardItem &item)
{
    PasteboardItem offered = item;
    if (item.data(PasteboardType::concealed))
        offered.setData(PasteboardType::kdePasswordHint, kdeSecret);

    auto *mimeData = new QMimeData;
    for (const PasteboardItem::Representation &representation : offered.representations)
        mimeData->setData(representation.type, representation.data);
    m_clipboard->setMimeData(mimeData, QClipboard::Clipboard);
    m_ownContent = mimeData;
    recordOwnWrite(std::move(offered));
}

void X11Pasteboard::clear()
{
    m_clipboard->clear(QClipboard::Clipboard);
    recordOwnWrite({});
}

void X11Pasteboard::recordOwnWrite(PasteboardItem offered)
{
    forgetContent();
    m_lastWrite = std::move(offered);
    m_sinceLastWrite.start();
    ++m_changeCount;
}

void X11Pasteboard::handleOwnerChanged()
{
    if (m_clipboard->ownsClipboard()) {
        // Our writes are counted as they are made. Any other content of ours
        // is a copy in one of our text fields: new, even when its text is
        // that of our last write.
        const QMimeData *content = m_clipboard->mimeData(QClipboard::Clipboard);
        if (content != m_ownContent) {
            m_ownContent = content;
            forgetContent();
            m_lastWrite.reset();
            ++m_changeCount;
        }
        tellQtListeners();
        return;
    }
    forgetContent();
    if (!m_ownerWatch.selectionHasOwner())
        tellQtListeners();
    if (m_lastWrite && m_sinceLastWrite.elapsed() < takeoverWindow.count() && carriesLastWrite())
        return;
    m_lastWrite.reset();
    ++m_changeCount;
}

bool X11Pasteboard::carriesLastWrite()
{
    if (sorted(*types()) != sorted(m_lastWrite->types()))
        return false;
    return std::ranges::all_of(
        m_lastWrite->representations, [this](const PasteboardItem::Representation &representation) {
            return data(representation.type) == representation.data;
        });
}

// With our own content, none, or another application's type list known to
// Qt, a listener's question whether text is on offer asks no owner.
void X11Pasteboard::tellQtListeners()
{
    m_clipboard->blockSignals(false);
    emit m_clipboard->dataChanged();
    emit m_clipboard->changed(QClipboard::Clipboard);
    m_clipboard->blockSignals(true);
}

void X11Pasteboard::forgetContent()
{
    m_formats.reset();
    m_types.reset();
    m_read.clear();
}

const QStringList &X11Pasteboard::offeredFormats()
{
    if (!m_formats) {
        const QMimeData *mimeData = m_clipboard->mimeData(QClipboard::Clipboard);
        m_formats = mimeData ? mimeData->formats() : QStringList();
        // Qt keeps the list it got: the listeners' question asks nobody now.
        if (!m_formats->isEmpty())
            tellQtListeners();
    }
    return *m_formats;
}

std::optional<QString> X11Pasteboard::offeredFormatFor(const QString &type)
{
    const QStringList &formats = offeredFormats();
    if (formats.contains(type))
        return type;
    for (const QString &format : formats) {
        if (typeForFormat(format) == type)
            return format;
    }
    return std::nullopt;
}

QByteArray X11Pasteboard::readFormat(const QString &format)
{
    const auto cached = m_read.constFind(format);
    if (cached != m_read.cend())
        return *cached;
    const QMimeData *mimeData = m_clipboard->mimeData(QClipboard::Clipboard);
    const QByteArray bytes = mimeData ? mimeData->data(format) : QByteArray();
    m_read.insert(format, bytes);
    return bytes;
}
