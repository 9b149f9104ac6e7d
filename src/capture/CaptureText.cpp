#include "capture/CaptureText.h"

#include "text/Graphemes.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace CaptureText {

QString preview(QStringView source)
{
    return Graphemes::prefix(source, previewLength).toString();
}

QString searchText(QStringView source, qsizetype length)
{
    return Graphemes::prefix(source.toString().toLower(), length).toString();
}

QString filePaths(const QList<QUrl> &urls)
{
    QStringList paths;
    paths.reserve(urls.size());
    for (const QUrl &url : urls)
        paths.append(url.toLocalFile());
    return paths.join(u'\n');
}

QString filePreview(const QList<QUrl> &urls)
{
    QStringList names;
    names.reserve(urls.size());
    for (const QUrl &url : urls)
        names.append(url.fileName());
    if (names.size() == 1)
        return names.first();
    return QString::number(names.size()) + u" files: "_s + names.join(u", "_s);
}

} // namespace CaptureText
