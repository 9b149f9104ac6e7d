#include "text/GraphemeCount.h"

#include <QList>

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

namespace GraphemeCount {

namespace {

struct Walk {
    qsizetype clusters = 0;
    // Where the last counted cluster ends, in UTF-16 code units.
    qsizetype end = 0;
};

// Code points stand in for clusters when ICU cannot help.
Walk walkCodePoints(QStringView text, qsizetype limit)
{
    Walk walk;
    while (walk.clusters < limit && walk.end < text.size()) {
        const bool pair = text.at(walk.end).isHighSurrogate() && walk.end + 1 < text.size()
            && text.at(walk.end + 1).isLowSurrogate();
        walk.end += pair ? 2 : 1;
        ++walk.clusters;
    }
    return walk;
}

Walk walk(QStringView text, qsizetype limit)
{
    if (text.isEmpty() || limit <= 0)
        return {};
    // A break iterator is costly to make and not thread-safe: one per thread.
    thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    if (!iterator)
        return walkCodePoints(text, limit);

    UErrorCode status = U_ZERO_ERROR;
    UText *utext = utext_openUChars(nullptr, text.utf16(), text.size(), &status);
    iterator->setText(utext, status);
    Walk result;
    if (U_SUCCESS(status)) {
        while (result.clusters < limit) {
            const int32_t boundary = iterator->next();
            if (boundary == icu::BreakIterator::DONE)
                break;
            result.end = boundary;
            ++result.clusters;
        }
    } else {
        result = walkCodePoints(text, limit);
    }
    // The iterator keeps its own shallow clone of the text; detach it before closing ours.
    iterator->setText(icu::UnicodeString());
    utext_close(utext);
    return result;
}

} // namespace

qsizetype count(QStringView text, qsizetype limit)
{
    return walk(text, limit).clusters;
}

QStringView prefix(QStringView text, qsizetype limit)
{
    return text.first(walk(text, limit).end);
}

} // namespace GraphemeCount
