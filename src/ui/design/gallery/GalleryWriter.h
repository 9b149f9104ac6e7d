#pragma once

#include <QDir>
#include <QPalette>
#include <QString>
#include <QStringList>

class QQmlEngine;

// Renders each gallery page on its own and saves it as
// <folder>/<component>-<appearance>.png.
class GalleryWriter final {
    Q_DISABLE_COPY(GalleryWriter)

public:
    GalleryWriter(QQmlEngine &engine, const QDir &folder);

    // Writes every page in one appearance; false after the first page that
    // does not load or save.
    bool write(const QStringList &pages, const QString &appearance, const QPalette &palette);

private:
    bool writePage(const QString &page, const QString &appearance);

    QQmlEngine &m_engine;
    QDir m_folder;
};
