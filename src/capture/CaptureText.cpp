#include "capture/CaptureText.h"

#include "text/Graphemes.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// file://localhost/a names the local /a (RFC 8089); toLocalFile() would
// keep the host as a network path.
QString localPath(const QUrl &url)
{
    if (url.host().compare(u"localhost"_s, Qt::CaseInsensitive) != 0)
        return url.toLocalFile();
    QUrl local = url;
    local.setHost(QString());
    return local.toLocalFile();
}

} // namespace

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
        paths.append(localPath(url));
    return paths.join(u'\n');
}

QString filePreview(const QList<QUrl> &urls)
{
    QStringList names;
    names.reserve(urls.size());
    // A folder's URL may end in a slash; its name is the last component.
    for (const QUrl &url : urls)
        names.append(url.adjusted(QUrl::StripTrailingSlash).fileName());
    if (names.size() == 1)
        return names.first();
    return QString::number(names.size()) + u" files: "_s + names.join(u", "_s);
}

} // namespace CaptureText
