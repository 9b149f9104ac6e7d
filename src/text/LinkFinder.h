#pragma once

#include <QList>
#include <QStringView>

// Finds the links in free text: those written with a scheme ("scheme://",
// whatever the scheme) and those starting "www.". A link ends at white
// space, at a control or format character, or at one of < > " `; trailing
// punctuation and closing brackets without their opening partner inside the
// link are left out, so links in prose and in parentheses come out right.
// One pass over the text.
namespace LinkFinder {

struct Link {
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const Link &, const Link &) = default;
};

// The links of text in order; they never overlap.
QList<Link> findLinks(QStringView text);

} // namespace LinkFinder
