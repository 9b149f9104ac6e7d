#pragma once

#include "tools/SmartActionKind.h"

#include <QString>
#include <QtGlobal>

#include <functional>

class Pasteboard;
class Workspace;

// Opens a link or a mail to an address with the desktop's handler, or puts
// the text in another case on the pasteboard, as our own write
// (recordOwnChange gets its change count). A link that does not parse does
// nothing; so does the QR code action, which the caller shows itself.
void performSmartAction(SmartActionKind kind, const QString &text, Pasteboard &pasteboard,
    Workspace &workspace, const std::function<void(qint64 changeCount)> &recordOwnChange);
