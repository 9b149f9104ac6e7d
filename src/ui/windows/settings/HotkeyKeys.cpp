#include "ui/windows/settings/HotkeyKeys.h"

#include "platform/GlobalHotkey.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr std::pair<int, const char16_t *> keyNames[] = {
    {0, u"A"},
    {1, u"S"},
    {2, u"D"},
    {3, u"F"},
    {4, u"H"},
    {5, u"G"},
    {6, u"Z"},
    {7, u"X"},
    {8, u"C"},
    {9, u"V"},
    {11, u"B"},
    {12, u"Q"},
    {13, u"W"},
    {14, u"E"},
    {15, u"R"},
    {16, u"Y"},
    {17, u"T"},
    {18, u"1"},
    {19, u"2"},
    {20, u"3"},
    {21, u"4"},
    {22, u"6"},
    {23, u"5"},
    {24, u"="},
    {25, u"9"},
    {26, u"7"},
    {27, u"-"},
    {28, u"8"},
    {29, u"0"},
    {30, u"]"},
    {31, u"O"},
    {32, u"U"},
    {33, u"["},
    {34, u"I"},
    {35, u"P"},
    {36, u"↩"},
    {37, u"L"},
    {38, u"J"},
    {39, u"'"},
    {40, u"K"},
    {41, u";"},
    {42, u"\\"},
    {43, u","},
    {44, u"/"},
    {45, u"N"},
    {46, u"M"},
    {47, u"."},
    {48, u"⇥"},
    {49, u"Space"},
    {50, u"`"},
    {51, u"⌫"},
    {53, u"⎋"},
    {96, u"F5"},
    {97, u"F6"},
    {98, u"F7"},
    {99, u"F3"},
    {100, u"F8"},
    {101, u"F9"},
    {103, u"F11"},
    {109, u"F10"},
    {111, u"F12"},
    {118, u"F4"},
    {120, u"F2"},
    {122, u"F1"},
    {123, u"←"},
    {124, u"→"},
    {125, u"↓"},
    {126, u"↑"},
};

// A, Z, X, C, V, Q, W, Tab and Space: the desktop's own with ⌘ alone, and on
// Linux also with ⌃ alone (copy, paste, undo, close, quit).
constexpr std::array reservedKeys {0, 6, 7, 8, 9, 12, 13, 48, 49};

constexpr std::array modifierKeys {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Meta, Qt::Key_Alt, Qt::Key_AltGr,
    Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock, Qt::Key_Super_L, Qt::Key_Super_R, Qt::Key_Hyper_L,
    Qt::Key_Hyper_R, Qt::Key_Mode_switch};

qint64 modifierFlags(Qt::KeyboardModifiers modifiers)
{
    // Super is the command key here; Caps Lock is no modifier at all.
    qint64 flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= GlobalHotkey::shiftModifier;
    if (modifiers & Qt::ControlModifier)
        flags |= GlobalHotkey::controlModifier;
    if (modifiers & Qt::AltModifier)
        flags |= GlobalHotkey::optionModifier;
    if (modifiers & Qt::MetaModifier)
        flags |= GlobalHotkey::commandModifier;
    return flags;
}

} // namespace

namespace HotkeyKeys {

Result handle(const Press &press)
{
    if (std::ranges::find(modifierKeys, press.qtKey) != modifierKeys.end())
        return {Outcome::ignore};
    if (press.keyCode == quint32(escapeKeyCode))
        return {Outcome::cancel};
    const qint64 flags = modifierFlags(press.modifiers);
    if (!(flags & (GlobalHotkey::commandModifier | GlobalHotkey::controlModifier)) || !press.keyCode)
        return {Outcome::refuse};
    const qint64 keyCode = *press.keyCode;
    const bool alone = flags == GlobalHotkey::commandModifier || flags == GlobalHotkey::controlModifier;
    if (alone && std::ranges::find(reservedKeys, keyCode) != reservedKeys.end())
        return {Outcome::refuse};
    return {Outcome::capture, keyCode, flags, hotkeyDisplayString(keyCode, flags)};
}

QString keyName(qint64 keyCode)
{
    static const QHash<qint64, QString> names = [] {
        QHash<qint64, QString> map;
        for (const auto &[code, name] : keyNames)
            map.insert(code, QString::fromUtf16(name));
        return map;
    }();
    return names.value(keyCode, u"Key"_s + QString::number(keyCode));
}

QString hotkeyDisplayString(qint64 keyCode, qint64 modifiers)
{
    QString text;
    if (modifiers & GlobalHotkey::controlModifier)
        text += u"⌃"_s;
    if (modifiers & GlobalHotkey::optionModifier)
        text += u"⌥"_s;
    if (modifiers & GlobalHotkey::shiftModifier)
        text += u"⇧"_s;
    if (modifiers & GlobalHotkey::commandModifier)
        text += u"⌘"_s;
    return text + keyName(keyCode);
}

} // namespace HotkeyKeys
