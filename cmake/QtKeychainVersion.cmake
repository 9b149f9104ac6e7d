# QtKeychain chooses between KWallet and the Secret Service at its first job,
# and the keyring check (src/platform/linux/QtKeychainBackend.cpp) repeats
# that choice as versions 0.13 to 0.14.1 make it. 0.14.2 takes KWallet 6 on
# Plasma 6, and 0.16 adds an override and another wait: built against either,
# the check would ask another keyring than the one holding the keys, and the
# first-run set-up would be offered over a stored vault.
find_package(Qt6Keychain 0.13...<0.14.2 QUIET)
if(NOT Qt6Keychain_FOUND)
    if(Qt6Keychain_CONSIDERED_VERSIONS)
        set(found "found ${Qt6Keychain_CONSIDERED_VERSIONS}")
    else()
        set(found "none found")
    endif()
    message(FATAL_ERROR
        "Vantorell needs QtKeychain for Qt 6 from 0.13 up to 0.14.1 (${found}). "
        "Its keyring check repeats the choice these versions make between KWallet and the "
        "Secret Service; with another version it could ask another keyring than the one "
        "holding the keys and offer the first-run set-up over a stored vault. Install a "
        "version in that range (Debian 12: qtkeychain-qt6-dev 0.13.2) and point "
        "Qt6Keychain_DIR at it, or bring the check in line with the new version first.")
endif()
