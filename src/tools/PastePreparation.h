#pragma once

#include "records/Snippet.h"
#include "tools/PromptFill.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class TemplateExpander;

// What a snippet pastes: its expanded text, and how many characters follow
// the cursor marker, for the caret steps after the paste.
struct PastePreparation {
    QString text;
    int cursorSteps = 0;

    friend bool operator==(const PastePreparation &, const PastePreparation &) = default;
};

// The distinct labels of the content's "{{prompt:Label}}" placeholders, in
// the order first seen, without surrounding blanks (tabs and spaces, not
// line breaks); blank labels are left out.
QStringList promptLabels(QStringView content);

// The snippet's text with its template expanded, the prompts filled with
// their values, prompts without a value and "{{clipboard}}" without a
// clipboard text removed, and the cursor marker taken out. Values are put in
// after the clipboard text, so a prompt inside the clipboard text is filled
// too; a typed "{{cursor}}" counts as the marker.
PastePreparation expandPastePlaceholders(TemplateExpander &expander, const Snippet &snippet,
    const std::optional<QString> &clipboard, const PromptValues &values);
