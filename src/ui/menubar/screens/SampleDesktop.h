#pragma once

#include "platform/DockPresence.h"
#include "platform/KeySender.h"
#include "platform/LoginItem.h"
#include "platform/Pasteboard.h"
#include "ui/menubar/StatusMenuActions.h"

// What the screens need of a desktop: a clipboard holding what they put
// there, and nothing else that reaches outside the process.
struct SampleDesktop {
    class Pasteboard final : public ::Pasteboard {
    public:
        qint64 changeCount() const override { return m_changeCount; }
        std::optional<QStringList> types() override { return m_item.types(); }
        std::optional<QByteArray> data(const QString &type) override { return m_item.data(type); }
        void write(const PasteboardItem &item) override
        {
            m_item = item;
            ++m_changeCount;
        }
        void clear() override { write({}); }
        // It reads nothing from elsewhere.
        void forgetReadContent() override { }

    private:
        PasteboardItem m_item;
        qint64 m_changeCount = 0;
    };

    class KeySender final : public ::KeySender {
    public:
        bool isPermitted() const override { return true; }
        void postPasteChord() override { }
        void postCaretLeft(int) override { }
    };

    class LoginItem final : public ::LoginItem {
    public:
        Status status() const override { return Status::notRegistered; }
        std::expected<void, QString> registerItem() override { return {}; }
        std::expected<void, QString> unregisterItem() override { return {}; }
        void openSystemSettings() override { }
    };

    class DockPresence final : public ::DockPresence {
    public:
        void setShownInDock(bool) override { }
    };

    // The screens are looked at, not used.
    class Actions final : public StatusMenuActions {
    public:
        void openAccessibilityFromMenu() override { }
        void pasteHistoryItem(const QVariant &) override { }
        void pasteSnippetItem(const QVariant &) override { }
        void openSnippetManagerWindow() override { }
        void transformClipboard(const QVariant &) override { }
        void ocrClipboardImage() override { }
        void pauseCapture(const QVariant &) override { }
        void resumeCapture() override { }
        void toggleSecureMode() override { }
        void clearHistoryFromMenu() override { }
        void panicClearFromMenu() override { }
        void openSettingsFromMenu() override { }
        void openPanelFromMenu() override { }
        void lockApp() override { }
        void quitApp() override { }
    };

    Pasteboard pasteboard;
    KeySender keySender;
    LoginItem loginItem;
    DockPresence dockPresence;
    Actions actions;
};
