#include "tools/PromptDialog.h"

#include "platform/OpenDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int rowsWidth = 280;
constexpr int rowHeight = 28;
constexpr int labelWidth = 90;
constexpr int labelHeight = 20;
constexpr int fieldLeft = 98;
constexpr int fieldWidth = 182;
constexpr int fieldHeight = 22;

} // namespace

PromptDialog::PromptDialog(const QStringList &labels, QWidget *parent) : QDialog(parent), m_labels(labels)
{
    setWindowTitle(u"Vantorell"_s);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto *message = new QLabel(u"Fill in snippet"_s, this);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    auto *informative = new QLabel(u"Enter values to insert."_s, this);

    // Each field sits 2 px lower than its label, so the last one reaches 2 px
    // below the rows.
    auto *rows = new QWidget(this);
    rows->setFixedSize(rowsWidth, int(labels.size()) * rowHeight + 2);
    QFont small = QApplication::font();
    small.setPointSizeF(11);
    for (qsizetype row = 0; row < labels.size(); ++row) {
        const int top = int(row) * rowHeight + rowHeight - labelHeight;
        auto *label = new QLabel(labels[row] + u':', rows);
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(0, top, labelWidth, labelHeight);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFont(small);
        auto *field = new QLineEdit(rows);
        field->setGeometry(fieldLeft, top, fieldWidth, fieldHeight);
        field->setAccessibleName(labels[row]);
        m_fields.append(field);
    }

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *insert = buttons->addButton(u"Insert"_s, QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    insert->setAccessibleName(insert->text());
    cancel->setAccessibleName(cancel->text());
    insert->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(informative);
    layout->addWidget(rows);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (!m_fields.isEmpty())
        m_fields.constFirst()->setFocus();
}

PromptValues PromptDialog::values() const
{
    PromptValues values;
    for (qsizetype row = 0; row < m_labels.size(); ++row)
        values.append({m_labels[row], m_fields[row]->text()});
    return values;
}

std::optional<PromptValues> askPromptValues(const QStringList &labels)
{
    if (labels.isEmpty())
        return PromptValues {};
    PromptDialog dialog(labels);
    if (!OpenDialogs::accepted(dialog))
        return std::nullopt;
    return dialog.values();
}
