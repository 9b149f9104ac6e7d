#pragma once

#include <QString>
#include <QStringView>

#include <array>

// Whether a copied text looks like a credential: a private key, a known token
// or key format, a key-and-value credential or a payment card number.
// Stateless apart from the patterns, compiled once; callable from any thread.
namespace SecretDetector {

// ICU regular expressions; the last two switch on case-insensitive matching inline.
inline constexpr std::array<QStringView, 13> secretPatterns = {
    u"AKIA[0-9A-Z]{16}",
    u"ASIA[0-9A-Z]{16}",
    u"sk-[A-Za-z0-9]{20,}",
    u"rk_(live|test)_[A-Za-z0-9]{16,}",
    u"ghp_[A-Za-z0-9]{36,}",
    u"github_pat_[A-Za-z0-9_]{30,}",
    u"gh[opsu]_[A-Za-z0-9]{30,}",
    u"xox[baprs]-[A-Za-z0-9-]{10,}",
    uR"(AIza[0-9A-Za-z\-_]{35})",
    uR"(ya29\.[0-9A-Za-z\-_]+)",
    uR"(eyJ[A-Za-z0-9_-]+\.[A-Za-z0-9_-]+\.[A-Za-z0-9_-]+)",
    uR"((?i)bearer\s+[A-Za-z0-9._\-]{20,})",
    uR"((?i)(api[_-]?key|secret|token|passwd|password)\s*[:=]\s*\S{8,})",
};

inline constexpr QStringView cardNumberPattern = uR"(\b(?:\d[ -]*?){13,19}\b)";

// Longer texts (in grapheme clusters, after trimming) are not examined.
inline constexpr qsizetype maxExaminedLength = 4000;

bool isSecret(const QString &text);

// One bare link with a web or file scheme: never taken for a secret.
bool looksLikeURL(QStringView text);

bool containsCardNumber(QStringView text);

// The Luhn check over the numeric values of the characters of digits.
bool passesLuhn(QStringView digits);

} // namespace SecretDetector
