# Every library Vantorell links, found once. Debian package names are in
# scripts/packages.txt.
find_package(Qt6 6.4 REQUIRED COMPONENTS
    Core Gui Widgets Quick QuickControls2 QuickTemplates2 Qml Svg Network DBus Concurrent Test)
qt_standard_project_setup()
find_package(OpenSSL 3 REQUIRED COMPONENTS Crypto)
find_package(SQLite3 REQUIRED)
find_package(ZLIB REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/QtKeychainVersion.cmake)
find_package(PkgConfig REQUIRED)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(TESSERACT REQUIRED IMPORTED_TARGET tesseract lept)
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
# Only the tests read QR codes back.
pkg_check_modules(ZBAR REQUIRED IMPORTED_TARGET zbar)
pkg_check_modules(X11LIBS REQUIRED IMPORTED_TARGET
    x11 x11-xcb xcb xcb-xfixes xcb-xtest xcb-xinput xcb-screensaver xtst xscrnsaver)
pkg_check_modules(CANBERRA REQUIRED IMPORTED_TARGET libcanberra)
find_library(PAM_LIBRARY pam REQUIRED)
find_path(PAM_INCLUDE_DIR security/pam_appl.h REQUIRED)
add_library(vt_pam INTERFACE)
target_link_libraries(vt_pam INTERFACE ${PAM_LIBRARY})
target_include_directories(vt_pam INTERFACE ${PAM_INCLUDE_DIR})
