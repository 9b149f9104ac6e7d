#pragma once

#include "base/RawValueTable.h"
#include "records/ClipboardEntry.h"

#include <QString>

#include <array>
#include <utility>

// A category of the history list, in chip order. File entries belong to no
// category but all.
enum class HistoryFilter {
    all,
    pinned,
    text,
    images,
};

template<> struct RawValueTable<HistoryFilter> {
    static constexpr std::array<std::pair<HistoryFilter, QStringView>, 4> entries {{
        {HistoryFilter::all, u"all"},
        {HistoryFilter::pinned, u"pinned"},
        {HistoryFilter::text, u"text"},
        {HistoryFilter::images, u"images"},
    }};
};

QString title(HistoryFilter filter);
// Empty for a chip without a symbol.
QString icon(HistoryFilter filter);
// Pinned counts starred entries too.
bool keeps(HistoryFilter filter, const ClipboardEntry &entry);
