#include "platform/linux/PasswordPrompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

PasswordPrompt::PasswordPrompt(const QString &reason, QWidget *parent)
    : QDialog(parent), m_field(new QLineEdit(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Ok, this))
{
    setWindowTitle(QStringLiteral("Vantorell"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto *label = new QLabel(reason, this);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    m_field->setEchoMode(QLineEdit::Password);
    m_field->setMinimumWidth(260);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
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
