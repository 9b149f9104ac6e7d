#include "tools/TextTransform.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString none = u"<none>"_s;

const QString jwtHeader = u"eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9"_s;
const QString jwt = jwtHeader
    + u".eyJzdWIiOiIxMjM0NTY3ODkwIiwibmFtZSI6IkpvaG4gRG9lIiwiaWF0IjoxNTE2MjM5MDIyfQ"
      ".SflKxwRJSMeKKF2QT4fwpMeJf36POk6yJV_adQssw5c"_s;

QStringList rawValues(const QList<TextTransform> &transforms)
{
    QStringList raw;
    for (const TextTransform transform : transforms)
        raw.append(transform.rawValue());
    return raw;
}

TextTransform transformNamed(const QString &rawValue)
{
    const auto transform = TextTransform::fromRawValue(rawValue);
    if (!transform)
        qFatal("unknown transform in test table");
    return *transform;
}

} // namespace

class TextTransformsTest final : public QObject {
    Q_OBJECT

private slots:
    void apply_data()
    {
        QTest::addColumn<QString>("transform");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");

        QTest::newRow("pretty: nested empties")
            << u"prettyJSON"_s << u"{\"a\": { }, \"b\":[\n], \"c\": [{\"d\": 1}]}"_s
            << u"{\n  \"a\": {},\n  \"b\": [],\n  \"c\": [\n    {\n      \"d\": 1\n    }\n  ]\n}"_s;
        QTest::newRow("pretty: key order kept")
            << u"prettyJSON"_s << u"{\"z\":1,\"a\":2}"_s << u"{\n  \"z\": 1,\n  \"a\": 2\n}"_s;
        QTest::newRow("pretty: structure inside strings")
            << u"prettyJSON"_s << u"{\"s\":\"{,:\\\" }[\",\"t\":[1,2]}"_s
            << u"{\n  \"s\": \"{,:\\\" }[\",\n  \"t\": [\n    1,\n    2\n  ]\n}"_s;
        QTest::newRow("pretty: blank object") << u"prettyJSON"_s << u"{  \n }"_s << u"{}"_s;
        QTest::newRow("pretty: outer blanks") << u"prettyJSON"_s << u" \n[1]\u00a0\n"_s << u"[\n  1\n]"_s;
        QTest::newRow("pretty: big number as written")
            << u"prettyJSON"_s << u"[12345678901234567890123, 1.50E+3]"_s
            << u"[\n  12345678901234567890123,\n  1.50E+3\n]"_s;
        QTest::newRow("pretty: string opening with a combining mark")
            << u"prettyJSON"_s << u"{\"k\":\"\u0301a b\"}"_s << u"{\n  \"k\": \"\u0301a b\"\n}"_s;
        QTest::newRow("pretty: top-level string") << u"prettyJSON"_s << u"\"s\""_s << none;
        QTest::newRow("pretty: trailing comma") << u"prettyJSON"_s << u"{\"a\":1,}"_s << none;
        QTest::newRow("pretty: bare fraction") << u"prettyJSON"_s << u"[1.]"_s << none;
        QTest::newRow("pretty: leading dot") << u"prettyJSON"_s << u"[.5]"_s << none;
        QTest::newRow("pretty: leading zero") << u"prettyJSON"_s << u"[01]"_s << none;
        QTest::newRow("pretty: raw tab in string") << u"prettyJSON"_s << u"[\"a\tb\"]"_s << none;
        QTest::newRow("pretty: unknown escape") << u"prettyJSON"_s << u"[\"\\x\"]"_s << none;
        QTest::newRow("pretty: unpaired surrogate") << u"prettyJSON"_s << u"[\"\\ud800\"]"_s << none;
        QTest::newRow("pretty: garbage after") << u"prettyJSON"_s << u"[1] x"_s << none;
        QTest::newRow("pretty: key without value") << u"prettyJSON"_s << u"{\"a\"}"_s << none;
        const QString deepest = QString(512, u'[') + QString(512, u']');
        QTest::newRow("minify: 512 levels") << u"minifyJSON"_s << deepest << deepest;
        QTest::newRow("minify: 513 levels") << u"minifyJSON"_s << u'[' + deepest + u']' << none;
        QTest::newRow("minify: layout removed")
            << u"minifyJSON"_s << u"{\n  \"a\" : [ 1 , { } ],\n  \"b\": \"x y\\\"\"\n}"_s
            << u"{\"a\":[1,{}],\"b\":\"x y\\\"\"}"_s;
        QTest::newRow("minify: string opening with a combining mark")
            << u"minifyJSON"_s << u"{ \"k\" : \"\u0301a b\" }"_s << u"{\"k\":\"\u0301a b\"}"_s;
        QTest::newRow("minify: paired surrogate escape")
            << u"minifyJSON"_s << u"[ \"\\ud83d\\ude00\" ]"_s << u"[\"\\ud83d\\ude00\"]"_s;

        QTest::newRow("jwt: standard token")
            << u"jwtDecode"_s << u"  "_s + jwt + u"\n"_s
            << u"{\n  \"header\": {\n    \"alg\": \"HS256\",\n    \"typ\": \"JWT\"\n  },\n  \"payload\": {\n"
               "    \"sub\": \"1234567890\",\n    \"name\": \"John Doe\",\n    \"iat\": 1516239022\n  }\n}"_s;
        QTest::newRow("jwt: order, big integer and slashes kept")
            << u"jwtDecode"_s
            << jwtHeader
                + u".eyJ6ZXRhIjoxLCJpZCI6MTIzNDU2Nzg5MDEyMzQ1Njc4OTAxMjM0NTY3ODkwLCJ1cmwiOiJodHRwczovL2EuZXhh"
                  "bXBsZS94IiwiYWxwaGEiOltdfQ.x"_s
            << u"{\n  \"header\": {\n    \"alg\": \"HS256\",\n    \"typ\": \"JWT\"\n  },\n  \"payload\": {\n"
               "    \"zeta\": 1,\n    \"id\": 123456789012345678901234567890,\n"
               "    \"url\": \"https://a.example/x\",\n    \"alpha\": []\n  }\n}"_s;
        QTest::newRow("jwt: two segments") << u"jwtDecode"_s << jwtHeader + u"."_s + jwtHeader << none;
        QTest::newRow("jwt: not eyJ") << u"jwtDecode"_s << u"InMi.InMi.x"_s << none;
        QTest::newRow("jwt: payload a string") << u"jwtDecode"_s << jwtHeader + u".InMi.x"_s << none;
        QTest::newRow("jwt: payload lenient JSON") << u"jwtDecode"_s << jwtHeader + u".WzEsXQ.x"_s << none;
        QTest::newRow("jwt: payload not Base64") << u"jwtDecode"_s << jwtHeader + u".e!J9.x"_s << none;

        QTest::newRow("base64 encode: UTF-8") << u"base64Encode"_s << u"héllo"_s << u"aMOpbGxv"_s;
        QTest::newRow("base64 decode: padded")
            << u"base64Decode"_s << u"SGVsbG8gV29ybGQ="_s << u"Hello World"_s;
        QTest::newRow("base64 decode: padding missing")
            << u"base64Decode"_s << u"SGVsbG8gV29ybGQ"_s << u"Hello World"_s;
        QTest::newRow("base64 decode: blanks inside")
            << u"base64Decode"_s << u" SGVs bG8g\r\nV29y\tbGQ= "_s << u"Hello World"_s;
        QTest::newRow("base64 decode: URL-safe letters")
            << u"base64Decode"_s << u"c3ViamVjdHM_Pj4-"_s << u"subjects?>>>"_s;
        QTest::newRow("base64 decode: short word") << u"base64Decode"_s << u"QUJD"_s << none;
        QTest::newRow("base64 decode: three pads") << u"base64Decode"_s << u"abcde==="_s << none;
        QTest::newRow("base64 decode: one letter over") << u"base64Decode"_s << u"abcdefghi"_s << none;
        QTest::newRow("base64 decode: pad inside") << u"base64Decode"_s << u"SGVsbG8=gV29ybGQ"_s << none;
        QTest::newRow("base64 decode: tab and newline allowed")
            << u"base64Decode"_s << u"YQliCmMgZA=="_s << u"a\tb\nc d"_s;
        QTest::newRow("base64 decode: control character") << u"base64Decode"_s << u"YQFiY2RlZg=="_s << none;
        QTest::newRow("base64 decode: not UTF-8") << u"base64Decode"_s << u"//79/v39"_s << none;

        QTest::newRow("url encode: reserved and UTF-8")
            << u"urlEncode"_s << u"a b-._~/é+"_s << u"a%20b-._~%2F%C3%A9%2B"_s;
        QTest::newRow("url decode: UTF-8 and plus") << u"urlDecode"_s << u" a%20b%C3%A9+c\n"_s << u"a bé+c"_s;
        QTest::newRow("url decode: lower-case hex") << u"urlDecode"_s << u"%c3%a9"_s << u"é"_s;
        QTest::newRow("url decode: not hex") << u"urlDecode"_s << u"a%zz"_s << none;
        QTest::newRow("url decode: bare percent") << u"urlDecode"_s << u"100% %41"_s << none;
        QTest::newRow("url decode: signed digit") << u"urlDecode"_s << u"%+1"_s << none;
        QTest::newRow("url decode: invalid byte") << u"urlDecode"_s << u"%FF"_s << none;
        QTest::newRow("url decode: byte-order mark kept")
            << u"urlDecode"_s << u"%EF%BB%BFa"_s << u"\uFEFFa"_s;
        QTest::newRow("url decode: encoded surrogate") << u"urlDecode"_s << u"%ED%A0%80"_s << none;

        QTest::newRow("sha256: abc") << u"sha256"_s << u"abc"_s
                                     << u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_s;

        QTest::newRow("trim: lines and ends")
            << u"trim"_s << u"\n  first  \n\tsecond\t \r\n\n third \n\n"_s << u"first\n\tsecond\n\n third"_s;
        QTest::newRow("trim: space carrying a mark stays")
            << u"trim"_s << u"  \u0301x \u0301\n"_s << u" \u0301x \u0301"_s;
        QTest::newRow("join: blank line between words")
            << u"joinLines"_s << u"one\n\n  two  "_s << u"one two"_s;
        QTest::newRow("join: every break kind")
            << u"joinLines"_s << u"a\r\nb\rc\u2028d\u2029e\u0085f\u000bg\u000ch\n"_s << u"a b c d e f g h"_s;
        QTest::newRow("sort: numbers by value")
            << u"sortLines"_s << u"line 10\nline 9\nline 1"_s << u"line 1\nline 9\nline 10"_s;
        QTest::newRow("sort: case ignored, ties stable")
            << u"sortLines"_s << u"b\nB\na\nA"_s << u"a\nA\nb\nB"_s;
        QTest::newRow("sort: inner empty line sorted, trailing dropped")
            << u"sortLines"_s << u"b\n\na\n\n"_s << u"\na\nb"_s;
        QTest::newRow("unique: first occurrence kept")
            << u"uniqueLines"_s << u"a\nb\na\nc\nb"_s << u"a\nb\nc"_s;
        QTest::newRow("unique: canonical equivalence")
            << u"uniqueLines"_s << u"e\u0301\n\u00e9\nx"_s << u"e\u0301\nx"_s;
        QTest::newRow("unique: case kept apart, CR LF normalised")
            << u"uniqueLines"_s << u"a\r\nA\r\na\r\n"_s << u"a\nA"_s;
    }

    void apply()
    {
        QFETCH(QString, transform);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(transformNamed(transform).apply(input).value_or(none), expected);
    }

    void applyRefusesAboveTwoMillionBytes()
    {
        // Two-byte characters: the limit counts UTF-8 bytes, not characters.
        const QString atLimit(1'000'000, u'é');
        QVERIFY(TextTransform(TextTransform::sha256).apply(atLimit));
        QVERIFY(!TextTransform(TextTransform::sha256).apply(atLimit + u'a'));
    }

    void offers_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("offered");
        const QStringList always {u"base64Encode"_s, u"urlEncode"_s, u"sha256"_s};

        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("word") << u"word"_s << always;
        QTest::newRow("minified JSON")
            << u"{\"a\":1}"_s
            << QStringList {u"prettyJSON"_s, u"base64Encode"_s, u"urlEncode"_s, u"sha256"_s};
        QTest::newRow("pretty JSON") << u"{\n  \"a\": 1\n}"_s
                                     << QStringList {u"minifyJSON"_s, u"base64Encode"_s, u"urlEncode"_s,
                                            u"sha256"_s, u"joinLines"_s, u"sortLines"_s};
        QTest::newRow("JWT") << jwt
                             << QStringList {u"jwtDecode"_s, u"base64Encode"_s, u"urlEncode"_s, u"sha256"_s};
        QTest::newRow("Base64") << u"SGVsbG8gV29ybGQ="_s
                                << QStringList {
                                       u"base64Encode"_s, u"base64Decode"_s, u"urlEncode"_s, u"sha256"_s};
        QTest::newRow("percent escape")
            << u"a%20b"_s << QStringList {u"base64Encode"_s, u"urlEncode"_s, u"urlDecode"_s, u"sha256"_s};
        QTest::newRow("bad percent escape") << u"%zz %4"_s << always;
        QTest::newRow("outer blanks")
            << u" x "_s << QStringList {u"base64Encode"_s, u"urlEncode"_s, u"sha256"_s, u"trim"_s};
        QTest::newRow("repeated line") << u"b\na\nb\n"_s
                                       << QStringList {u"base64Encode"_s, u"urlEncode"_s, u"sha256"_s,
                                              u"trim"_s, u"joinLines"_s, u"sortLines"_s, u"uniqueLines"_s};
        QTest::newRow("canonically equal lines")
            << u"e\u0301\n\u00e9"_s
            << QStringList {u"base64Encode"_s, u"urlEncode"_s, u"sha256"_s, u"joinLines"_s, u"sortLines"_s,
                   u"uniqueLines"_s};
        QTest::newRow("256,000 bytes") << QString(128'000, u'é') << always;
        QTest::newRow("256,001 bytes") << QString(128'000, u'é') + u'a' << QStringList();
    }

    void offers()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, offered);
        QCOMPARE(rawValues(TextTransform::applicableTransforms(input)), offered);
    }

    void groupSeenAgainStartsANewRun()
    {
        QList<TextTransform> list;
        for (const QString &rawValue : {u"sha256"_s, u"trim"_s, u"urlEncode"_s, u"base64Encode"_s})
            list.append(transformNamed(rawValue));
        QList<QStringList> grouped;
        for (const QList<TextTransform> &run : TextTransform::groupTransforms(list))
            grouped.append(rawValues(run));
        QCOMPARE(
            grouped, (QList<QStringList> {{u"sha256"_s}, {u"trim"_s}, {u"urlEncode"_s, u"base64Encode"_s}}));
    }
};

QTEST_GUILESS_MAIN(TextTransformsTest)
#include "tst_text_transforms.moc"
