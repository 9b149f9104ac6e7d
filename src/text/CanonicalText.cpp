#include "text/CanonicalText.h"

#include "text/CodePointOrder.h"

namespace CanonicalText {

QString composed(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C);
}

bool equal(const QString &a, const QString &b)
{
    // Most texts compared are identical: a long snippet is not normalised
    // just to learn that.
    return a == b || composed(a) == composed(b);
}

int compare(const QString &a, const QString &b)
{
    if (a == b)
        return 0;
    return CodePointOrder::compare(composed(a), composed(b));
}

} // namespace CanonicalText
