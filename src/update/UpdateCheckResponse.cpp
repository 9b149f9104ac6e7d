#include "update/UpdateCheckResponse.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

// Reads the optional members of one object; the first member of the wrong
// type spoils the whole reply.
class MemberReader final {
public:
    explicit MemberReader(QJsonObject object) : m_object(std::move(object)) { }

    template<typename T> std::optional<T> member(const QString &key, bool (QJsonValue::*hasType)() const)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        m_valid = m_valid && (value.*hasType)();
        return value.toVariant().value<T>();
    }

    bool isValid() const { return m_valid; }

private:
    QJsonObject m_object;
    bool m_valid = true;
};

} // namespace

std::optional<UpdateCheckResponse> UpdateCheckResponse::decode(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;

    MemberReader reader(document.object());
    UpdateCheckResponse response {
        .updateAvailable = reader.member<bool>(u"update_available"_s, &QJsonValue::isBool),
        .latestVersion = reader.member<QString>(u"latest_version"_s, &QJsonValue::isString),
        .yourVersion = reader.member<QString>(u"your_version"_s, &QJsonValue::isString),
        .downloadURL = reader.member<QString>(u"download_url"_s, &QJsonValue::isString),
        .changelog = reader.member<QString>(u"changelog"_s, &QJsonValue::isString),
    };
    if (!reader.isValid())
        return std::nullopt;
    return response;
}
