#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

// The texts capture derives from what was copied. Lengths count
// user-perceived characters.
namespace CaptureText {

inline constexpr qsizetype previewLength = 100;
inline constexpr qsizetype searchTextLength = 500;
inline constexpr qsizetype recognizedSearchTextLength = 2000;

// The first previewLength characters of source.
QString preview(QStringView source);

// source lower-cased (no locale), then cut to length characters.
QString searchText(QStringView source, qsizetype length = searchTextLength);

// The file-system paths of urls, one a line, in order.
QString filePaths(const QList<QUrl> &urls);

// One file: its name; more: "3 files: a.txt, b.png, c.pdf".
QString filePreview(const QList<QUrl> &urls);

} // namespace CaptureText
