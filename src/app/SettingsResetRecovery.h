#pragma once

#include "settings/SettingsReset.h"

class AppStateAccess;
class KeyManager;
class SettingsManager;

// After a settings file that could not be read, every setting is back to its
// default, "Require passcode" among them: the next unlock would store the raw
// key and the one after would open the vault with no passcode. The keyring
// still shows whether the vault was set up to need one.
namespace SettingsResetRecovery {

// Keeps the passcode required where the keyring holds the sealed key and no
// raw copy, or cannot tell; decided before any silent unlock. Then tells the
// user what was reset, which is the notice for every setting it changed.
void recover(
    const SettingsReset &reset, KeyManager &keyManager, SettingsManager &settings, AppStateAccess &appState);

} // namespace SettingsResetRecovery
