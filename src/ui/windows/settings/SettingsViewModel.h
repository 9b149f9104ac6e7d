#pragma once

#include "ui/menubar/SettingsSection.h"

#include <QColor>
#include <QObject>
#include <QVariantList>
#include <QtQmlIntegration>

// The settings window's section list and the section shown. Only a click on
// a sidebar row changes the section; the host picks the first one.
class SettingsViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(SettingsViewModel)
    // The shown section's raw text; one that names no section shows General.
    Q_PROPERTY(QString selection READ selection WRITE setSelection NOTIFY selectionChanged)
    Q_PROPERTY(QString title READ title NOTIFY selectionChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY selectionChanged)
    // Each section in sidebar order: raw, title, symbol and badge.
    Q_PROPERTY(QVariantList sections READ sections CONSTANT)

public:
    struct Section {
        QString title;
        QString subtitle;
        QString symbol;
        QColor badge;
    };

    static Section section(SettingsSection section);

    explicit SettingsViewModel(QObject *parent = nullptr);

    QString selection() const;
    void setSelection(const QString &raw);
    QString title() const { return section(m_selection).title; }
    QString subtitle() const { return section(m_selection).subtitle; }
    static QVariantList sections();

signals:
    void selectionChanged();

private:
    SettingsSection m_selection = SettingsSection::general;
};
