#pragma once

#include <QStringView>

// What Qt's HTML import is given: its time grows with the square of the
// nesting depth and of the items in one list (20,000 nested lists take a
// minute), so copied HTML is measured first, in one linear pass.
namespace HtmlBounds {

// Of the data as copied, before decoding.
inline constexpr qsizetype maxBytes = 2 * 1024 * 1024;
inline constexpr int maxDepth = 128;
inline constexpr int maxListItems = 2000;

// Whether html nests no deeper than maxDepth and holds at most maxListItems
// list items. Elements whose end tag may be left out (paragraphs, list items,
// table cells and rows) and empty ones do not count as nesting, so their
// missing end tags do not add up.
bool fits(QStringView html);

} // namespace HtmlBounds
