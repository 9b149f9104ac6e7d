#include "records/AuditEvent.h"
#include "records/ClipboardEntry.h"
#include "records/DateCoding.h"
#include "records/ExcludedApp.h"
#include "records/SecretHandling.h"
#include "records/Snippet.h"
#include "records/UuidText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QUuid entryId = QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
const QDateTime created = QDateTime::fromMSecsSinceEpoch(1'700'000'000'250, Qt::UTC);

Snippet sampleSnippet()
{
    return Snippet {
        .id = entryId,
        .title = u"Greeting"_s,
        .content = u"Hello {{name}}"_s,
        .tags = {u"mail"_s, u"work"_s},
        .group = std::nullopt,
        .isFavorite = true,
        .createdAt = created,
        .updatedAt = created.addSecs(60),
        .usageCount = 9'007'199'254'740'993,
    };
}

std::optional<DecodingError> decodeError(const QString &record, const QJsonValue &json)
{
    auto errorOf = [](const auto &result) {
        return result ? std::nullopt : std::optional<DecodingError>(result.error());
    };
    if (record == u"entry")
        return errorOf(ClipboardEntry::fromJson(json));
    if (record == u"snippet")
        return errorOf(Snippet::fromJson(json));
    if (record == u"app")
        return errorOf(ExcludedApp::fromJson(json));
    return errorOf(AuditEvent::fromJson(json));
}

} // namespace

class RecordsTest final : public QObject {
    Q_OBJECT

private slots:
    void uuidParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("upper") << u"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s << true;
        QTest::newRow("lower") << u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"_s << true;
        QTest::newRow("braces") << u"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}"_s << false;
        QTest::newRow("dash moved") << u"E621E1F-8C36C-495A-93FC-0C247A3E6E5F"_s << false;
        QTest::newRow("not hex") << u"G621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s << false;
        QTest::newRow("not hex, last") << u"E621E1F8-C36C-495A-93FC-0C247A3E6E5G"_s << false;
        QTest::newRow("accented") << u"E621E1F8-C36C-495A-93FC-0C247A3E6E5É"_s << false;
        QTest::newRow("short") << u"E621E1F8-C36C-495A-93FC-0C247A3E6E5"_s << false;
    }

    // From text and from its stored UTF-8 bytes alike.
    void uuidParse()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto parsed = UuidText::parse(text);
        QCOMPARE(parsed.has_value(), valid);
        QCOMPARE(UuidText::parse(QByteArrayView(text.toUtf8())), parsed);
        if (valid)
            QCOMPARE(UuidText::toText(*parsed), text.toUpper());
    }

    void datesKeepMillisecondsOrAreInvalid()
    {
        QCOMPARE(DateCoding::toSeconds(created), 1'700'000'000.25);
        QCOMPARE(DateCoding::fromSeconds(1'700'000'000.25), created);
        QCOMPARE(DateCoding::fromSeconds(-1.5).toMSecsSinceEpoch(), -1500);
        QVERIFY(!DateCoding::fromSeconds(std::numeric_limits<double>::quiet_NaN()).isValid());
    }

    void rawValuesRoundTripAndRejectNearMisses()
    {
        for (int i = 0; i <= int(ContentType::fileURL); ++i)
            QCOMPARE(fromRawValue<ContentType>(rawValue(ContentType(i))), ContentType(i));
        for (int i = 0; i <= int(AuditEventType::databaseOpened); ++i)
            QCOMPARE(fromRawValue<AuditEventType>(rawValue(AuditEventType(i))), AuditEventType(i));
        for (int i = 0; i <= int(SecretHandling::store); ++i)
            QCOMPARE(fromRawValue<SecretHandling>(rawValue(SecretHandling(i))), SecretHandling(i));
        QCOMPARE(fromRawValue<ContentType>(u"rtf "_s), std::nullopt);
        QCOMPARE(fromRawValue<ContentType>(QByteArrayView("rtf")), ContentType::richText);
        QCOMPARE(fromRawValue<ContentType>(QByteArrayView("rtf ")), std::nullopt);
    }

    void entriesAreEqualByIdentityOnly()
    {
        const ClipboardEntry entry {.id = entryId, .createdAt = created, .encryptedContent = "a"};
        ClipboardEntry changed = entry;
        changed.isPinned = true;
        changed.encryptedContent = "b";
        QCOMPARE(changed, entry);
        changed.id = QUuid::createUuid();
        QVERIFY(changed != entry);
    }

    void entryWithoutOptionalsWritesSevenKeys()
    {
        const ClipboardEntry entry {
            .id = entryId,
            .contentType = ContentType::image,
            .createdAt = created,
            .encryptedContent = QByteArray("\x00\xff\x10", 3),
        };
        const QJsonObject json = entry.toJson();
        QStringList keys = json.keys();
        keys.sort();
        QCOMPARE(keys,
            (QStringList {u"contentType"_s, u"createdAt"_s, u"encryptedContent"_s, u"id"_s, u"isFavorite"_s,
                u"isPinned"_s, u"isSensitive"_s}));
        QCOMPARE(json[u"id"_s].toString(), u"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s);
        QCOMPARE(json[u"contentType"_s].toString(), u"image"_s);
        QCOMPARE(json[u"createdAt"_s].toDouble(), 1'700'000'000.25);
        QCOMPARE(json[u"encryptedContent"_s].toString(), u"AP8Q"_s);
    }

    void recordsRoundTripThroughJsonText()
    {
        const ClipboardEntry entry {
            .id = entryId,
            .contentType = ContentType::fileURL,
            .createdAt = created,
            .isFavorite = true,
            .isPinned = true,
            .sourceApp = u"Files"_s,
            .isSensitive = true,
            .expiresAt = created.addSecs(300),
            .encryptedContent = QByteArray(40, '\x01'),
            .encryptedPreview = QByteArray(1, '\x02'),
            .encryptedRich = QByteArray(),
            .encryptedSearchText = QByteArray(2, '\x03'),
        };
        QCOMPARE(entry.toJson().size(), 12);
        const QByteArray text = QJsonDocument(entry.toJson()).toJson();
        const auto decoded = ClipboardEntry::fromJson(QJsonDocument::fromJson(text).object());
        QVERIFY(decoded);
        QCOMPARE(decoded->toJson(), entry.toJson());

        // Snippets compare every field: tag order and an empty folder count.
        Snippet snippet = sampleSnippet();
        QVERIFY(!snippet.toJson().contains(u"group"_s));
        QCOMPARE(Snippet::fromJson(snippet.toJson()), snippet);
        snippet.group = QString();
        QCOMPARE(Snippet::fromJson(snippet.toJson()), snippet);
        QVERIFY(snippet != sampleSnippet());

        const ExcludedApp app {entryId, u"org.keepassxc.KeePassXC"_s, u"KeePassXC"_s};
        QCOMPARE(ExcludedApp::fromJson(app.toJson()), app);

        const AuditEvent event {entryId, created, AuditEventType::secureModeEnabled, u"detail"_s};
        QCOMPARE(event.toJson()[u"eventType"_s].toString(), u"secure_mode_enabled"_s);
        QCOMPARE(AuditEvent::fromJson(event.toJson())->toJson(), event.toJson());
        const AuditEvent bare {entryId, created, AuditEventType::appLocked, {}};
        QVERIFY(!bare.toJson().contains(u"detail"_s));
    }

    void decodingErrors_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("key");

        using Code = DecodingError::Code;
        const int ok = -1;
        // replacement: members set over a valid record; "~key" removes key.
        QTest::newRow("snippet without usageCount")
            << u"snippet"_s << u"{\"~usageCount\":0}"_s << int(Code::keyNotFound) << u"usageCount"_s;
        QTest::newRow("usageCount fraction")
            << u"snippet"_s << u"{\"usageCount\":1.5}"_s << int(Code::dataCorrupted) << u"usageCount"_s;
        QTest::newRow("tags not a list")
            << u"snippet"_s << u"{\"tags\":\"mail\"}"_s << int(Code::typeMismatch) << u"tags"_s;
        QTest::newRow("date out of range")
            << u"snippet"_s << u"{\"updatedAt\":1e300}"_s << int(Code::dataCorrupted) << u"updatedAt"_s;
        QTest::newRow("integral date") << u"snippet"_s << u"{\"updatedAt\":1700000000}"_s << ok << QString();
        QTest::newRow("entry unknown content type")
            << u"entry"_s << u"{\"contentType\":\"RTF\"}"_s << int(Code::dataCorrupted) << u"contentType"_s;
        QTest::newRow("entry flag as number")
            << u"entry"_s << u"{\"isPinned\":1}"_s << int(Code::typeMismatch) << u"isPinned"_s;
        QTest::newRow("base64 alphabet") << u"entry"_s << u"{\"encryptedContent\":\"AP8*\"}"_s
                                         << int(Code::dataCorrupted) << u"encryptedContent"_s;
        QTest::newRow("base64 unpadded") << u"entry"_s << u"{\"encryptedContent\":\"AP8QAA\"}"_s
                                         << int(Code::dataCorrupted) << u"encryptedContent"_s;
        QTest::newRow("optional bytes null")
            << u"entry"_s << u"{\"encryptedPreview\":null}"_s << ok << QString();
        QTest::newRow("id in braces")
            << u"entry"_s << u"{\"id\":\"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}\"}"_s
            << int(Code::dataCorrupted) << u"id"_s;
        QTest::newRow("event unknown type") << u"event"_s << u"{\"eventType\":\"app_opened\"}"_s
                                            << int(Code::dataCorrupted) << u"eventType"_s;
    }

    void decodingErrors()
    {
        QFETCH(QString, record);
        QFETCH(QString, replacement);
        QFETCH(int, code);
        QFETCH(QString, key);

        QJsonObject json;
        if (record == u"entry")
            json = ClipboardEntry {.id = entryId, .createdAt = created, .encryptedContent = "x"}.toJson();
        else if (record == u"snippet")
            json = sampleSnippet().toJson();
        else
            json = AuditEvent {entryId, created, AuditEventType::appLocked, u"d"_s}.toJson();
        const QJsonObject changes = QJsonDocument::fromJson(replacement.toUtf8()).object();
        for (auto it = changes.begin(); it != changes.end(); ++it) {
            if (it.key().startsWith(u'~'))
                json.remove(it.key().mid(1));
            else
                json.insert(it.key(), it.value());
        }

        const auto error = decodeError(record, json);
        QCOMPARE(error ? int(error->code) : -1, code);
        if (error) {
            QCOMPARE(error->detail, key);
            QVERIFY(description(*error).contains(key));
        }
    }

    void nonObjectsAreTypeMismatches()
    {
        for (const QString &record : {u"entry"_s, u"snippet"_s, u"app"_s, u"event"_s}) {
            const auto error = decodeError(record, QJsonArray {1});
            QVERIFY(error);
            QCOMPARE(error->code, DecodingError::Code::typeMismatch);
        }
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
