#include "ui/windows/snippets/FolderRenamePrompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace FolderRenamePrompt {

std::optional<QString> ask(const QString &name)
{
    QDialog dialog;
    dialog.setWindowTitle(u"Rename Folder"_s);
    auto *layout = new QVBoxLayout(&dialog);

    auto *message = new QLabel(u"Rename Folder"_s);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    message->setTextFormat(Qt::PlainText);
    layout->addWidget(message);

    const QString informative = u"Enter a new name for \"%1\"."_s.arg(name);
    auto *label = new QLabel(informative);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);

    auto *field = new QLineEdit(name);
    field->setFixedSize(240, 24);
    field->setAccessibleName(informative);
    label->setBuddy(field);
    layout->addWidget(field);

    auto *buttons = new QDialogButtonBox;
    QPushButton *rename = buttons->addButton(u"Rename"_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    rename->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    field->selectAll();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text();
}

} // namespace FolderRenamePrompt
