#include "ui/menubar/HistoryFilter.h"

using namespace Qt::StringLiterals;

QString title(HistoryFilter filter)
{
    switch (filter) {
    case HistoryFilter::all:
        return u"All"_s;
    case HistoryFilter::pinned:
        return u"Pinned"_s;
    case HistoryFilter::text:
        return u"Text"_s;
    case HistoryFilter::images:
        return u"Images"_s;
    }
    return {};
}

QString icon(HistoryFilter filter)
{
    switch (filter) {
    case HistoryFilter::all:
        return {};
    case HistoryFilter::pinned:
        return u"pin.fill"_s;
    case HistoryFilter::text:
        return u"text.alignleft"_s;
    case HistoryFilter::images:
        return u"photo"_s;
    }
    return {};
}

bool keeps(HistoryFilter filter, const ClipboardEntry &entry)
{
    switch (filter) {
    case HistoryFilter::all:
        return true;
    case HistoryFilter::pinned:
        return entry.isPinned || entry.isFavorite;
    case HistoryFilter::text:
        return entry.contentType == ContentType::plainText || entry.contentType == ContentType::richText;
    case HistoryFilter::images:
        return entry.contentType == ContentType::image;
    }
    return false;
}
