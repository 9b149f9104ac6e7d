#pragma once

#include "capture/CaptureText.h"
#include "capture/ClipboardMonitor.h"

#include <QtGlobal>

// How much of what a backup brings the vault takes in. Capture's own bounds
// where capture makes the text; elsewhere far above any real vault, and low
// enough that a menu, a row or the snippet editor shows every text at once.
// Characters are user-perceived characters.
namespace ImportBounds {

// Cut as capture cuts them.
inline constexpr qsizetype previewCharacters = CaptureText::previewLength;
inline constexpr qsizetype searchTextCharacters = CaptureText::searchTextLength;
inline constexpr qsizetype recognizedSearchTextCharacters = CaptureText::recognizedSearchTextLength;

// Cut: snippet titles, each tag, and names (folders, an application's name
// and identifier, an entry's source application).
inline constexpr qsizetype titleCharacters = 200;
inline constexpr qsizetype tagCharacters = 100;
inline constexpr qsizetype nameCharacters = 200;

// Left out beyond: a snippet's further tags, further folders and excluded
// applications once the settings hold this many.
inline constexpr qsizetype tagCount = 100;
inline constexpr qsizetype folderCount = 1'000;
inline constexpr qsizetype applicationCount = 1'000;

// Left out: a snippet whose text is longer (UTF-16 code units) than capture
// takes from the clipboard.
inline constexpr qsizetype snippetContentLength = ClipboardMonitor::maxTextLength;

} // namespace ImportBounds
