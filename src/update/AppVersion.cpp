#include "update/AppVersion.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>
#include <charconv>

using namespace Qt::StringLiterals;

namespace {

qint64 versionNumber(QStringView piece)
{
    QStringView digits = piece;
    if (digits.startsWith(u'+') || digits.startsWith(u'-'))
        digits = digits.sliced(1);
    if (digits.isEmpty() || !std::ranges::all_of(digits, [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return 0;
    // from_chars takes a minus but no plus.
    const QByteArray text = piece.startsWith(u'-') ? piece.toLatin1() : digits.toLatin1();
    qint64 number = 0;
    const auto [end, error] = std::from_chars(text.constBegin(), text.constEnd(), number);
    if (error != std::errc() || end != text.constEnd())
        return 0;
    return number;
}

QList<qint64> versionNumbers(const QString &version)
{
    QList<qint64> numbers;
    for (QStringView piece : QStringView(version).split(u'.', Qt::SkipEmptyParts))
        numbers.append(versionNumber(piece));
    return numbers;
}

} // namespace

QString appVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? u"1.2.0"_s : version;
}

QString appBuildNumber()
{
    return QStringLiteral(VT_BUILD_NUMBER);
}

bool compareVersions(const QString &a, const QString &b)
{
    const QList<qint64> left = versionNumbers(a);
    const QList<qint64> right = versionNumbers(b);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qint64 x = left.value(i, 0);
        const qint64 y = right.value(i, 0);
        if (x != y)
            return x > y;
    }
    return false;
}
