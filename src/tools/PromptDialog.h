#pragma once

#include "tools/PastePreparation.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class QLineEdit;

// Asks for the values of a snippet's prompts: one row per label, a label and
// an empty field, under "Fill in snippet".
class PromptDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(PromptDialog)

public:
    explicit PromptDialog(const QStringList &labels, QWidget *parent = nullptr);

    // Each label with its field's text, in the order of the labels.
    PromptValues values() const;

private:
    QStringList m_labels;
    QList<QLineEdit *> m_fields;
};

// Runs the dialog modally; none unless it ends with Insert. No labels give no
// values at once, without a dialog.
std::optional<PromptValues> askPromptValues(const QStringList &labels);

// Stands in for askPromptValues where the dialog cannot be shown.
using PromptAsker = std::function<std::optional<PromptValues>(const QStringList &labels)>;
