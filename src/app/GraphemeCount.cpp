#include "app/GraphemeCount.h"

#include <QList>

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

namespace GraphemeCount {

qsizetype count(QStringView text, qsizetype limit)
{
    if (text.isEmpty() || limit <= 0)
        return 0;
    // A break iterator is costly to make and not thread-safe: one per thread.
    thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    if (!iterator)
        return std::min<qsizetype>(text.toUcs4().size(), limit);

    UErrorCode status = U_ZERO_ERROR;
    UText *utext = utext_openUChars(nullptr, text.utf16(), text.size(), &status);
    iterator->setText(utext, status);
    qsizetype clusters = 0;
    if (U_SUCCESS(status)) {
        while (clusters < limit && iterator->next() != icu::BreakIterator::DONE)
            ++clusters;
    } else {
        clusters = std::min<qsizetype>(text.toUcs4().size(), limit);
    }
    // The iterator keeps its own shallow clone of the text; detach it before closing ours.
    iterator->setText(icu::UnicodeString());
    utext_close(utext);
    return clusters;
}

} // namespace GraphemeCount
