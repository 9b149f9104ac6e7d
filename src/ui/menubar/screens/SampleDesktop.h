#pragma once

#include "platform/DeviceAuth.h"
#include "platform/DockPresence.h"
#include "platform/IdleTime.h"
#include "platform/KeySender.h"
#include "platform/Keychain.h"
#include "platform/LoginItem.h"
#include "platform/Pasteboard.h"
#include "ui/menubar/StatusMenuActions.h"

#include <QMap>

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
        bool isPermitted() const override { return permitted; }
        void postPasteChord() override { }
        void postCaretLeft(int) override { }

        bool permitted = true;
    };

    // Items in memory; refuseStores shows what a failing keyring does.
    class Keychain final : public ::Keychain {
    public:
        std::expected<void, KeychainError> store(
            const QString &account, const QByteArray &data, bool) override
        {
            if (refuseStores)
                return std::unexpected(KeychainError {-2, QStringLiteral("Store refused")});
            items.insert(account, data);
            return {};
        }
        std::expected<std::optional<QByteArray>, KeychainError> load(const QString &account) override
        {
            if (!items.contains(account))
                return std::nullopt;
            return items.value(account);
        }
        std::expected<void, KeychainError> remove(const QString &account) override
        {
            items.remove(account);
            return {};
        }
        std::expected<bool, KeychainError> exists(const QString &account) override
        {
            return items.contains(account);
        }
        bool canProtectWithBiometrics() const override { return false; }

        QMap<QString, QByteArray> items;
        bool refuseStores = false;
    };

    // As on Linux: no biometrics.
    class DeviceAuth final : public ::DeviceAuth {
    public:
        bool canEvaluate(Policy policy) const override { return policy == Policy::ownerAuthentication; }
        void evaluate(Policy, const QString &, QObject *, std::function<void(Reply)>) override { }
    };

    class IdleTime final : public ::IdleTime {
    public:
        std::optional<std::chrono::milliseconds> sinceLastInput() const override { return std::nullopt; }
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
    Keychain keychain;
    DeviceAuth deviceAuth;
    IdleTime idleTime;
    LoginItem loginItem;
    DockPresence dockPresence;
    Actions actions;
};
