#include "paste/PerformSmartAction.h"

#include "platform/Pasteboard.h"
#include "platform/Workspace.h"
#include "text/Graphemes.h"
#include "tools/SmartActions.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

void open(const QString &address, Workspace &workspace)
{
    const QUrl url(address, QUrl::StrictMode);
    if (url.isValid())
        workspace.openURL(url);
}

} // namespace

void performSmartAction(SmartActionKind kind, const QString &text, Pasteboard &pasteboard,
    Workspace &workspace, const std::function<void(qint64 changeCount)> &recordOwnChange)
{
    switch (kind) {
    case SmartActionKind::openURL:
        open(Graphemes::trimmed(text).toString(), workspace);
        return;
    case SmartActionKind::composeEmail:
        open(u"mailto:"_s + Graphemes::trimmed(text).toString(), workspace);
        return;
    case SmartActionKind::uppercase:
    case SmartActionKind::lowercase:
    case SmartActionKind::titlecase:
        pasteboard.write(PasteboardItem::fromString(SmartActions::changeCase(kind, text)));
        if (recordOwnChange)
            recordOwnChange(pasteboard.changeCount());
        return;
    case SmartActionKind::qrCode:
        return;
    }
}
