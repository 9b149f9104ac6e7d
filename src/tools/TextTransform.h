#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>

#include <optional>

// One of the twelve one-step rewrites offered for a text. A value type;
// its raw value is what menu items carry.
class TextTransform final {
public:
    // In the order in which transforms are offered.
    enum Kind : quint8 {
        prettyJSON,
        minifyJSON,
        jwtDecode,
        base64Encode,
        base64Decode,
        urlEncode,
        urlDecode,
        sha256,
        trim,
        joinLines,
        sortLines,
        uniqueLines,
    };

    // Implicit, so that a Kind reads as a transform.
    constexpr TextTransform(Kind kind) : m_kind(kind) { }

    static QList<TextTransform> allCases();
    static std::optional<TextTransform> fromRawValue(QStringView rawValue);

    Kind kind() const { return m_kind; }
    QString rawValue() const;
    QString title() const;
    // 0 JSON and JWT, 1 encoders, decoders and the hash, 2 line tools; menus
    // put separators between runs of different groups.
    int group() const;

    // The rewritten text, or none when the transform cannot apply (text
    // above 2,000,000 UTF-8 bytes, invalid input).
    std::optional<QString> apply(const QString &text) const;

    // Whether offering the transform for the text makes sense.
    bool isApplicable(const QString &text) const;

    // The transforms worth offering for the text, in declaration order;
    // none for an empty text or one above 256,000 UTF-8 bytes.
    static QList<TextTransform> applicableTransforms(const QString &text);

    // Splits the list into runs of consecutive members of one group.
    static QList<QList<TextTransform>> groupTransforms(const QList<TextTransform> &transforms);

    friend constexpr bool operator==(TextTransform a, TextTransform b) = default;
    friend size_t qHash(TextTransform transform, size_t seed = 0)
    {
        return qHash(transform.rawValue(), seed);
    }

private:
    Kind m_kind;
};
