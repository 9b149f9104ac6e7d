#include "platform/MacVirtualKeyTable.h"

#include <utility>

namespace {

constexpr quint32 f(int n)
{
    return 0xffbe + quint32(n) - 1;
}

constexpr std::pair<quint32, quint32> table[] = {
    // Letters, digits and punctuation of the ANSI layout.
    {0, 'a'},
    {1, 's'},
    {2, 'd'},
    {3, 'f'},
    {4, 'h'},
    {5, 'g'},
    {6, 'z'},
    {7, 'x'},
    {8, 'c'},
    {9, 'v'},
    {10, 0xa7}, // section, on ISO keyboards
    {11, 'b'},
    {12, 'q'},
    {13, 'w'},
    {14, 'e'},
    {15, 'r'},
    {16, 'y'},
    {17, 't'},
    {18, '1'},
    {19, '2'},
    {20, '3'},
    {21, '4'},
    {22, '6'},
    {23, '5'},
    {24, '='},
    {25, '9'},
    {26, '7'},
    {27, '-'},
    {28, '8'},
    {29, '0'},
    {30, ']'},
    {31, 'o'},
    {32, 'u'},
    {33, '['},
    {34, 'i'},
    {35, 'p'},
    {37, 'l'},
    {38, 'j'},
    {39, '\''},
    {40, 'k'},
    {41, ';'},
    {42, '\\'},
    {43, ','},
    {44, '/'},
    {45, 'n'},
    {46, 'm'},
    {47, '.'},
    {49, ' '},
    {50, '`'},
    // Editing and navigation.
    {36, 0xff0d}, // Return
    {48, 0xff09}, // Tab
    {51, 0xff08}, // BackSpace: the key macOS calls Delete
    {53, 0xff1b}, // Escape
    {114, 0xff63}, // Insert: a PC keyboard's key where the Mac has Help
    {115, 0xff50}, // Home
    {116, 0xff55}, // Prior
    {117, 0xffff}, // Delete: the Mac's forward delete
    {119, 0xff57}, // End
    {121, 0xff56}, // Next
    {123, 0xff51},
    {124, 0xff53},
    {125, 0xff54},
    {126, 0xff52}, // Left, Right, Down, Up
    // Keypad.
    {65, 0xffae},
    {67, 0xffaa},
    {69, 0xffab},
    {71, 0xff0b},
    {75, 0xffaf},
    {76, 0xff8d},
    {78, 0xffad},
    {81, 0xffbd},
    {82, 0xffb0},
    {83, 0xffb1},
    {84, 0xffb2},
    {85, 0xffb3},
    {86, 0xffb4},
    {87, 0xffb5},
    {88, 0xffb6},
    {89, 0xffb7},
    {91, 0xffb8},
    {92, 0xffb9},
    // Function keys.
    {122, f(1)},
    {120, f(2)},
    {99, f(3)},
    {118, f(4)},
    {96, f(5)},
    {97, f(6)},
    {98, f(7)},
    {100, f(8)},
    {101, f(9)},
    {109, f(10)},
    {103, f(11)},
    {111, f(12)},
    {105, f(13)},
    {107, f(14)},
    {113, f(15)},
    {106, f(16)},
    {64, f(17)},
    {79, f(18)},
    {80, f(19)},
    {90, f(20)},
    // Sound.
    {72, 0x1008ff13},
    {73, 0x1008ff11},
    {74, 0x1008ff12},
    // Japanese keyboards.
    {93, 0xa5},
    {94, '_'},
    {95, 0xffac},
};

} // namespace

std::optional<quint32> MacVirtualKeyTable::keysym(quint32 keyCode)
{
    for (const auto &[code, keysym] : table) {
        if (code == keyCode)
            return keysym;
    }
    return std::nullopt;
}

std::optional<quint32> MacVirtualKeyTable::keyCode(quint32 keysym)
{
    for (const auto &[code, named] : table) {
        if (named == keysym)
            return code;
    }
    return std::nullopt;
}
