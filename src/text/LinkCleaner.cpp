#include "text/LinkCleaner.h"

#include "text/LinkFinder.h"
#include "text/PercentCoding.h"

#include <QSet>

#include <optional>

namespace LinkCleaner {

namespace {

const QSet<QString> &trackingParameterNameSet()
{
    static const QSet<QString> names = [] {
        QSet<QString> set;
        for (const QStringView name : trackingParameterNames)
            set.insert(name.toString());
        return set;
    }();
    return names;
}

} // namespace

bool isTrackingParameter(QStringView name)
{
    const QString lower = name.toString().toLower();
    if (trackingParameterNameSet().contains(lower))
        return true;
    for (const QStringView prefix : trackingParameterPrefixes) {
        if (lower.startsWith(prefix))
            return true;
    }
    return false;
}

QString cleanURL(const QString &link)
{
    // The link is cleaned as written: its kept parts are not decoded and
    // encoded again, so they stay byte for byte what they were.
    const qsizetype fragmentStart = link.indexOf(u'#');
    const QStringView beforeFragment
        = QStringView(link).first(fragmentStart < 0 ? link.size() : fragmentStart);
    const qsizetype queryMark = beforeFragment.indexOf(u'?');
    if (queryMark < 0 || queryMark + 1 == beforeFragment.size())
        return link;

    QStringList kept;
    bool removed = false;
    for (const QStringView item : beforeFragment.sliced(queryMark + 1).split(u'&')) {
        const QStringView name = item.first(item.contains(u'=') ? item.indexOf(u'=') : item.size());
        if (isTrackingParameter(PercentCoding::decode(name).value_or(name.toString())))
            removed = true;
        else
            kept.append(item.toString());
    }
    if (!removed)
        return link;

    QString cleaned = beforeFragment.first(queryMark).toString();
    if (!kept.isEmpty()) {
        cleaned += u'?';
        cleaned += kept.join(u'&');
    }
    if (fragmentStart >= 0)
        cleaned += QStringView(link).sliced(fragmentStart);
    return cleaned;
}

QString cleanLinks(const QString &text)
{
    // Each link is replaced at its own range, so a link written twice is
    // cleaned in both places, and a link that is the start of a longer one
    // cannot be mistaken for it. The text is put together in one pass; as
    // the ranges never overlap, this is the same as replacing from the last
    // link to the first.
    QString result;
    qsizetype copiedUpTo = 0;
    for (const LinkFinder::Link &link : LinkFinder::findLinks(text)) {
        const QString linkText = text.sliced(link.start, link.length);
        const QString cleaned = cleanURL(linkText);
        if (cleaned == linkText)
            continue;
        result += QStringView(text).sliced(copiedUpTo, link.start - copiedUpTo);
        result += cleaned;
        copiedUpTo = link.start + link.length;
    }
    if (copiedUpTo == 0)
        return text;
    result += QStringView(text).sliced(copiedUpTo);
    return result;
}

} // namespace LinkCleaner
