#pragma once

#include <QStringView>

#include <unicode/utext.h>

// An ICU text over a string's UTF-16 without copying it; the string must
// outlive this and everything given the text.
class IcuText final {
    Q_DISABLE_COPY(IcuText)

public:
    explicit IcuText(QStringView text)
    {
        UErrorCode status = U_ZERO_ERROR;
        m_text = utext_openUChars(nullptr, text.utf16(), text.size(), &status);
    }
    ~IcuText() { utext_close(m_text); }

    UText *get() const { return m_text; }

private:
    UText *m_text = nullptr;
};
