#pragma once

#include "platform/RunningApplication.h"
#include "records/ClipboardEntry.h"
#include "tools/TextRecognition.h"
#include "tools/TextTransform.h"

#include <QByteArray>
#include <QFuture>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Alerts;
class EntryContentReader;
class Pasteboard;
class PasteAccess;

// Turns a history entry or the pasteboard's image into text and pastes or
// copies it: text recognition in images, and the text transforms. Lives on
// the main thread; recognition runs on a worker.
class EntryTools final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(EntryTools)

public:
    // The recognised text of an encoded image, or none; off the main thread.
    using Recognizer = std::function<QFuture<std::optional<QString>>(const QByteArray &imageBytes)>;

    EntryTools(PasteAccess &paste, const EntryContentReader &content, Pasteboard &pasteboard, Alerts &alerts,
        Recognizer recognize = TextRecognition::recognizeTextAsync, QObject *parent = nullptr);

    // The text of an image entry, pasted, or with copyOnly only put on the
    // pasteboard for the monitor to capture. Other entries are ignored, and
    // so is one that cannot be opened (gone, locked meanwhile, damaged).
    void recognizeTextInEntry(const ClipboardEntry &entry, bool copyOnly);
    // The text of the pasteboard's image (PNG, else TIFF), pasted.
    void ocrClipboardImage();
    void pasteTransformedText(const QString &text, TextTransform transform);
    // Any entry whose content is UTF-8 text.
    void pasteTransformedEntry(const ClipboardEntry &entry, TextTransform transform);

private:
    // Runs use with the opened content; never for a sensitive entry, which is
    // never pasted without the owner's consent, nor for content that cannot
    // be opened.
    void openContent(const ClipboardEntry &entry, std::function<void(const QByteArray &)> use);
    // The paste goes to target, where the user was when they asked.
    void recognize(
        const QByteArray &imageBytes, bool copyOnly, const std::optional<RunningApplication> &target);
    void finishRecognition(
        const std::optional<QString> &text, bool copyOnly, const std::optional<RunningApplication> &target);

    PasteAccess &m_paste;
    const EntryContentReader &m_content;
    Pasteboard &m_pasteboard;
    Alerts &m_alerts;
    Recognizer m_recognize;
};
