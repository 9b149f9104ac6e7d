#pragma once

#include <QString>

#include <optional>

// A modal prompt for one line of text: a bold message, a note under it, the
// field, and two buttons, the accepting one the default.
struct FieldPrompt {
    QString windowTitle;
    QString message;
    QString note;
    QString acceptTitle;
    QString accessibleName;
    // The field's first text, selected.
    QString text {};
    int fieldWidth = 240;
    bool secret = false;

    // The field's text when the accepting button was chosen.
    std::optional<QString> ask() const;
};
