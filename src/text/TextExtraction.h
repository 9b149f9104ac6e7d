#pragma once

#include "text/PasteboardFlavours.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The text that capture takes from a copy: the plain string, unless that is
// blank or HTML source, in which case the readable text of the rich flavours.
namespace TextExtraction {

// Whether text is HTML source rather than prose.
bool looksLikeHTML(const QString &text);

// What a copy's text is taken from, once its flavours are read.
struct ExtractedText {
    // The plain string, or the text of the rich-text flavour.
    QString text {};
    // HTML whose text is taken instead.
    std::optional<QByteArray> html {};

    // text, or the text of html. Converting HTML is slow: callers run this
    // off the main thread when html is set. HTML past HtmlBounds gives text;
    // nothing when that is blank.
    std::optional<QString> finish() const;
};

// Reads the flavours string, the copy's plain string, calls for. The caller
// trims the finished text and drops it when empty.
ExtractedText extractPlainText(const QString &string, const PasteboardFlavours &flavours);

} // namespace TextExtraction
