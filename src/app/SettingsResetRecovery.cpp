#include "app/SettingsResetRecovery.h"

#include "app/AppStateAccess.h"
#include "base/Log.h"
#include "crypto/KeyManager.h"
#include "settings/SettingsManager.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Why the vault needs its passcode; nullopt where nothing shows it does.
std::optional<QString> passcodeReason(KeyManager &keyManager)
{
    const auto sealed = keyManager.findSealedKey();
    if (!sealed)
        return u"the keychain could not tell whether a master key exists: "_s + description(sealed.error());
    if (*sealed == KeyManager::SealedKey::absent)
        return std::nullopt;
    const auto raw = keyManager.keychainExists(KeyManager::rawKeyAccount);
    if (!raw)
        return u"the keychain could not tell whether a raw master key exists: "_s + description(raw.error());
    if (*raw)
        return std::nullopt;
    return u"the keychain holds the sealed master key and no raw copy"_s;
}

QString alertText(const SettingsReset &reset, bool passcodeKept)
{
    QString text = u"Vantorell couldn't read its settings file, so all settings are back to their defaults, "
                   u"including auto-lock, lock on sleep and how long history is kept. "_s;
    text += reset.keptPath.isEmpty()
        ? u"The file “%1” couldn't be moved aside, so no copy of it was kept."_s.arg(reset.filePath)
        : u"The unreadable file was kept as “%1”."_s.arg(reset.keptPath);
    if (passcodeKept)
        text += u" “Require passcode to unlock” is kept on, so your history still needs your passcode; you "
                u"can turn it off under Settings → Security."_s;
    return text + u" Review your other settings in Settings."_s;
}

} // namespace

void SettingsResetRecovery::recover(
    const SettingsReset &reset, KeyManager &keyManager, SettingsManager &settings, AppStateAccess &appState)
{
    const std::optional<QString> reason = passcodeReason(keyManager);
    if (reason) {
        settings.setRequirePasscode(true);
        Log::write(u"Settings were reset; requirePasscode stays on: "_s + *reason);
    }
    appState.raiseAlert(u"Settings were reset"_s, alertText(reset, reason.has_value()));
}
