#include "paste/EntryTools.h"

#include "base/Utf8Text.h"
#include "base/WhenFinished.h"
#include "capture/CapturedImage.h"
#include "paste/PasteAccess.h"
#include "platform/Alerts.h"
#include "platform/Pasteboard.h"
#include "platform/PasteboardType.h"
#include "store/EntryContentReader.h"

using namespace Qt::StringLiterals;

EntryTools::EntryTools(PasteAccess &paste, const EntryContentReader &content, Pasteboard &pasteboard,
    Alerts &alerts, Recognizer recognize, QObject *parent)
    : QObject(parent), m_paste(paste), m_content(content), m_pasteboard(pasteboard), m_alerts(alerts),
      m_recognize(std::move(recognize))
{
}

void EntryTools::recognizeTextInEntry(const ClipboardEntry &entry, bool copyOnly)
{
    if (entry.contentType != ContentType::image)
        return;
    // The user may switch applications while the image is read and
    // recognised; the paste goes where they were when they asked.
    openContent(entry, [this, copyOnly, target = m_paste.pasteTarget()](const QByteArray &image) {
        recognize(image, copyOnly, target);
    });
}

void EntryTools::ocrClipboardImage()
{
    std::optional<QByteArray> image = m_pasteboard.data(PasteboardType::png);
    if (!image)
        image = m_pasteboard.data(PasteboardType::tiff);
    if (!image) {
        m_alerts.beep();
        return;
    }
    recognize(*image, false, m_paste.pasteTarget());
}

void EntryTools::pasteTransformedText(const QString &text, TextTransform transform)
{
    if (const std::optional<QString> result = transform.apply(text)) {
        m_paste.pasteText(*result);
        return;
    }
    m_alerts.beep();
    m_alerts.showAlert(u"Can't "_s + transform.title().toLower(), u"That item isn't in the right format."_s);
}

void EntryTools::pasteTransformedEntry(const ClipboardEntry &entry, TextTransform transform)
{
    openContent(entry, [this, transform](const QByteArray &content) {
        if (const std::optional<QString> text = Utf8Text::decode(content))
            pasteTransformedText(*text, transform);
    });
}

void EntryTools::openContent(const ClipboardEntry &entry, std::function<void(const QByteArray &)> use)
{
    if (entry.isSensitive)
        return;
    m_content.open(entry, this, [use = std::move(use)](const EntryContentReader::Result &opened) {
        if (opened)
            use(opened->content);
    });
}

void EntryTools::recognize(
    const QByteArray &imageBytes, bool copyOnly, const std::optional<RunningApplication> &target)
{
    // Decoding takes several times the picture's size in memory; a picture
    // too large or of a kind not to capture is not read for text either,
    // whether it is on the pasteboard or came back from a backup.
    if (CapturedImage::checkHeader(imageBytes)) {
        finishRecognition(std::nullopt, copyOnly, target);
        return;
    }
    whenFinished(this, m_recognize(imageBytes), [this, copyOnly, target](const std::optional<QString> &text) {
        finishRecognition(text, copyOnly, target);
    });
}

void EntryTools::finishRecognition(
    const std::optional<QString> &text, bool copyOnly, const std::optional<RunningApplication> &target)
{
    if (!text) {
        m_alerts.beep();
        m_alerts.showAlert(u"No text found"_s, u"Vantorell couldn't find any text in that image."_s);
        return;
    }
    if (copyOnly) {
        // Not marked as our own write: the monitor captures the text as a
        // new entry.
        m_pasteboard.write(PasteboardItem::fromString(*text));
        return;
    }
    m_paste.setPasteTarget(target);
    m_paste.pasteText(*text);
}
