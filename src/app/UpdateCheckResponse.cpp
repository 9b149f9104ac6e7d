#include "app/UpdateCheckResponse.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

// Reads the optional members of one object; the first member of the wrong
// type spoils the whole reply.
class MemberReader final {
public:
    explicit MemberReader(QJsonObject object) : m_object(std::move(object)) { }

    std::optional<QString> text(const QString &key)
    {
        const QJsonValue value = m_object.value(key);
        if (isAbsent(value))
            return std::nullopt;
        m_valid = m_valid && value.isString();
        return value.toString();
    }

    std::optional<bool> boolean(const QString &key)
    {
        const QJsonValue value = m_object.value(key);
        if (isAbsent(value))
            return std::nullopt;
        m_valid = m_valid && value.isBool();
        return value.toBool();
    }

    bool isValid() const { return m_valid; }

private:
    static bool isAbsent(const QJsonValue &value) { return value.isUndefined() || value.isNull(); }

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
        .updateAvailable = reader.boolean(u"update_available"_s),
        .latestVersion = reader.text(u"latest_version"_s),
        .yourVersion = reader.text(u"your_version"_s),
        .downloadURL = reader.text(u"download_url"_s),
        .changelog = reader.text(u"changelog"_s),
    };
    if (!reader.isValid())
        return std::nullopt;
    return response;
}
