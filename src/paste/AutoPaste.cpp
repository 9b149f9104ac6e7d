#include "paste/AutoPaste.h"

#include "base/Log.h"
#include "base/MainQueue.h"
#include "platform/Alerts.h"
#include "platform/KeySender.h"
#include "platform/Workspace.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

AutoPaste::AutoPaste(
    KeySender &keySender, Workspace &workspace, Alerts &alerts, MainQueue &mainQueue, QObject *parent)
    : QObject(parent), m_keySender(keySender), m_workspace(workspace), m_alerts(alerts),
      m_mainQueue(mainQueue)
{
}

bool AutoPaste::hasPastePermission() const
{
    return m_keySender.isPermitted();
}

bool AutoPaste::isThisApplication(const RunningApplication &application)
{
    return application.processIdentifier == QCoreApplication::applicationPid();
}

void AutoPaste::autoPaste(const std::optional<RunningApplication> &targetApp, int cursorBackSteps)
{
    if (!hasPastePermission()) {
        Log::write(u"Accessibility permission not granted — cannot auto-paste"_s);
        showPastePermissionAlert();
        return;
    }
    std::chrono::milliseconds delay = ownDelay;
    // A window closed since the menu opened is not brought back; the chord
    // then goes wherever the focus is, as with no target at all.
    if (targetApp && !isThisApplication(*targetApp) && m_workspace.activate(*targetApp))
        delay = activationDelay;
    m_mainQueue.after(delay, this, [this, cursorBackSteps] { postPasteKeystroke(cursorBackSteps); });
}

void AutoPaste::postPasteKeystroke(int cursorBackSteps)
{
    m_keySender.postPasteChord();
    if (cursorBackSteps > 0)
        m_mainQueue.after(caretDelay, this, [this, cursorBackSteps] { moveCaretLeft(cursorBackSteps); });
}

void AutoPaste::moveCaretLeft(int steps)
{
    m_keySender.postCaretLeft(steps);
}

void AutoPaste::pasteNow()
{
    if (hasPastePermission())
        m_keySender.postPasteChord();
}

void AutoPaste::showPastePermissionAlert()
{
    if (m_pastePermissionAlertShown)
        return;
    m_pastePermissionAlertShown = true;
    const QString text
        = u"The item is on your clipboard — press Ctrl+V to paste it.\n\nTo paste automatically, "
          u"the X server must offer its XTEST extension, which is on unless something switched it "
          u"off. Then log out and back in, and start Vantorell again."_s;
    if (m_alerts.askAlert(u"Let Vantorell paste for you"_s, text, u"How to Allow…"_s, u"Not Now"_s))
        openAccessibilitySettings();
}

void AutoPaste::openAccessibilitySettings()
{
    Log::write(u"Synthetic keys need the display server's XTEST extension; no setting grants them"_s);
    m_alerts.showAlert(u"Allow synthetic keystrokes (XTEST)"_s,
        u"Vantorell types the paste keystroke through the X server's XTEST extension, and this X "
        u"server does not offer it.\n\n"
        u"XTEST is on by default. Remove what switches it off:\n"
        u"• -extension XTEST from the command that starts the X server;\n"
        u"• Option \"XTEST\" \"Disable\" from the \"Extensions\" section of the Xorg configuration "
        u"(/etc/X11/xorg.conf or a file in /etc/X11/xorg.conf.d).\n\n"
        u"Then log out and back in, and start Vantorell again: it looks for XTEST when it starts.\n\n"
        u"Until then, choosing an item copies it; press Ctrl+V to paste."_s);
}
