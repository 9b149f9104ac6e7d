#include "records/ExcludedApp.h"

#include "records/JsonReader.h"
#include "records/JsonWriter.h"

using namespace Qt::StringLiterals;

QJsonObject ExcludedApp::toJson() const
{
    return {
        {u"id"_s, JsonWriter::uuid(id)},
        {u"bundleIdentifier"_s, bundleIdentifier},
        {u"name"_s, name},
    };
}

std::expected<ExcludedApp, DecodingError> ExcludedApp::fromJson(const QJsonValue &json)
{
    JsonReader reader(json);
    ExcludedApp app {
        .id = reader.uuid(u"id"_s),
        .bundleIdentifier = reader.string(u"bundleIdentifier"_s),
        .name = reader.string(u"name"_s),
    };
    if (reader.error())
        return std::unexpected(*reader.error());
    return app;
}
