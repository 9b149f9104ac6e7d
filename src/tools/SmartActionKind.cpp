#include "tools/SmartActionKind.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<SmartActionKind, QStringView>, 6> rawValues {{
    {SmartActionKind::openURL, u"openURL"},
    {SmartActionKind::composeEmail, u"composeEmail"},
    {SmartActionKind::uppercase, u"uppercase"},
    {SmartActionKind::lowercase, u"lowercase"},
    {SmartActionKind::titlecase, u"titlecase"},
    {SmartActionKind::qrCode, u"qrCode"},
}};

} // namespace

QString rawValue(SmartActionKind kind)
{
    for (const auto &[value, raw] : rawValues) {
        if (value == kind)
            return raw.toString();
    }
    return {};
}

std::optional<SmartActionKind> smartActionKindFromRawValue(QStringView text)
{
    for (const auto &[value, raw] : rawValues) {
        if (raw == text)
            return value;
    }
    return std::nullopt;
}
