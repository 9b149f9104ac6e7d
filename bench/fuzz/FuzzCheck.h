#pragma once

#include <QStringView>

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test is a crash, so libFuzzer keeps the input.
inline void fuzzCheck(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

inline bool isWellFormedUtf16(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}
