#include "ui/windows/FieldPrompt.h"

#include "platform/OpenDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

std::optional<QString> FieldPrompt::ask() const
{
    QDialog dialog;
    dialog.setWindowTitle(windowTitle);
    auto *layout = new QVBoxLayout(&dialog);

    auto *title = new QLabel(message);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setTextFormat(Qt::PlainText);
    layout->addWidget(title);

    auto *label = new QLabel(note);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);

    auto *field = new QLineEdit(text);
    field->setEchoMode(secret ? QLineEdit::Password : QLineEdit::Normal);
    field->setFixedSize(fieldWidth, 24);
    field->setAccessibleName(accessibleName);
    label->setBuddy(field);
    layout->addWidget(field);

    auto *buttons = new QDialogButtonBox;
    QPushButton *accept = buttons->addButton(acceptTitle, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    accept->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    field->selectAll();
    field->setFocus();
    if (!OpenDialogs::accepted(dialog))
        return std::nullopt;
    return field->text();
}
