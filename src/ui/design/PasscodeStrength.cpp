#include "ui/design/PasscodeStrength.h"

#include "text/Graphemes.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

struct Level {
    QString name;
    qreal barValue;
    QColor tint;
};

const std::array<Level, 3> &levels()
{
    // The system's red, orange and green.
    static const std::array<Level, 3> table {{
        {u"Weak"_s, 0.33, QColor(255, 59, 48)},
        {u"Medium"_s, 0.66, QColor(255, 149, 0)},
        {u"Strong"_s, 1.0, QColor(52, 199, 89)},
    }};
    return table;
}

} // namespace

int passcodeStrength(const QString &passcode)
{
    // No term looks past twelve characters.
    const qsizetype length = Graphemes::count(passcode, 12);
    if (length < 6)
        return 0;
    const auto has = [&](auto test) { return std::any_of(passcode.begin(), passcode.end(), test); };
    const int score = (length >= 8) + (length >= 12) + has([](QChar c) { return c >= u'A' && c <= u'Z'; })
        + has([](QChar c) { return c >= u'0' && c <= u'9'; })
        + has([](QChar c) { return !isAsciiLetterOrDigit(c); });
    return score < 2 ? 0 : score < 4 ? 1 : 2;
}

PasscodeStrength::PasscodeStrength(QObject *parent) : QObject(parent)
{
}

void PasscodeStrength::setPasscode(const QString &passcode)
{
    if (m_passcode == passcode)
        return;
    m_passcode = passcode;
    emit passcodeChanged();
}

QString PasscodeStrength::levelName() const
{
    return m_passcode.isEmpty() ? QString() : levels()[level()].name;
}

qreal PasscodeStrength::barValue() const
{
    return m_passcode.isEmpty() ? 0 : levels()[level()].barValue;
}

QColor PasscodeStrength::tint() const
{
    return levels()[level()].tint;
}
