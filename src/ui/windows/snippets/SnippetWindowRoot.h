#pragma once

#include <QUrl>

// The snippet editor window's view, for the window host.
inline QUrl snippetWindowRoot()
{
    return QUrl(
        QStringLiteral("qrc:/qt-project.org/imports/Vantorell/Windows/snippets/SnippetManagerView.qml"));
}
