#include "platform/linux/PasswordPrompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

PasswordPrompt::PasswordPrompt(const QString &reason, QWidget *parent)
    : QDialog(parent), m_field(new QLineEdit(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Ok, this))
{
    setWindowTitle(QStringLiteral("Vantorell"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    // The reason reads as a clause of the heading: "turn off the Vantorell
    // passcode", "Reveal this protected item".
    QString clause = reason;
    if (!clause.isEmpty())
        clause[0] = clause[0].toLower();
    auto *heading = new QLabel(u"Vantorell is trying to %1."_s.arg(clause), this);
    heading->setWordWrap(true);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    auto *help = new QLabel(u"Enter your account password to allow this."_s, this);
    help->setWordWrap(true);
    m_field->setEchoMode(QLineEdit::Password);
    m_field->setPlaceholderText(u"Account password"_s);
    m_field->setAccessibleName(m_field->placeholderText());
    m_field->setMinimumWidth(260);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(help);
    layout->addWidget(m_field);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &PasswordPrompt::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &PasswordPrompt::reject);
    m_field->setFocus();
}

QByteArray PasswordPrompt::takePassword()
{
    QString text = m_field->text();
    m_field->clear();
    const QByteArray utf8 = text.toUtf8();
    // The field has let go of its copy, so this wipes the only one left.
    std::fill(text.begin(), text.end(), QChar());
    return utf8;
}

void PasswordPrompt::setBusy(bool busy)
{
    m_busy = busy;
    m_field->setEnabled(!busy);
    m_buttons->setEnabled(!busy);
}

void PasswordPrompt::accept()
{
    if (!m_busy)
        emit submitted();
}

void PasswordPrompt::reject()
{
    // A check under way finishes first; its answer closes the prompt.
    if (!m_busy)
        QDialog::reject();
}
