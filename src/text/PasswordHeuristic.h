#pragma once

#include <QString>

// Whether a captured text looks like a password, so that capture can leave it
// out when the user asks for that.
namespace PasswordHeuristic {

// text is the captured text, already trimmed of white space and line breaks.
bool looksLikePassword(const QString &text);

} // namespace PasswordHeuristic
