#pragma once

#include <QStringList>

// True when every line of expected appears in lines in that order, other
// lines between them allowed.
inline bool inOrder(const QStringList &lines, const QStringList &expected)
{
    qsizetype from = 0;
    for (const QString &line : expected) {
        from = lines.indexOf(line, from);
        if (from < 0)
            return false;
        ++from;
    }
    return true;
}
