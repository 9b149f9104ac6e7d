#pragma once

// The value of an ASCII hexadecimal digit (a byte, code unit or code
// point), or -1.
constexpr int hexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
