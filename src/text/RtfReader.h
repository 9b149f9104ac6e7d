#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <bitset>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

struct UConverter;

// The text of an RTF document: paragraphs and line breaks become line feeds,
// code-page bytes and Unicode escapes become characters, and destinations
// that hold no document text (font and colour tables, style sheets, document
// information, pictures, headers and the like) are left out.
//
// Copied data is untrusted: one pass over the bytes, no recursion, groups
// nested deeper than maxGroupDepth skipped whole, and whatever was read kept
// when the data breaks off or is malformed.
class RtfReader final {
    Q_DISABLE_COPY(RtfReader)

public:
    // Larger data is refused rather than read.
    static constexpr qsizetype maxInputSize = 32 * 1024 * 1024;
    static constexpr int maxGroupDepth = 256;

    // Nothing when data does not start with "{\rtf" (after white space) or
    // is larger than maxInputSize.
    static std::optional<QString> read(QByteArrayView data);

private:
    struct Group {
        // \ucN: how many fallback characters follow each \uN in this group.
        int unicodeSkip = 1;
    };

    explicit RtfReader(QByteArrayView data);
    ~RtfReader();

    void run();
    void openGroup();
    void closeGroup();
    void readControl();
    void readHexByte();
    void controlWord(std::string_view name, std::optional<int> parameter);
    void controlSymbol(char symbol);
    void textByte(char byte);
    bool consumedAsSkipped();
    void skipGroup();
    void setCodePage(int codePage);
    void appendUnicode(char16_t unit);
    void appendText(QStringView text);
    void flushCodePageBytes();
    void endPendingSurrogate();

    QByteArrayView m_data;
    qsizetype m_position = 0;
    std::vector<Group> m_groups;
    // Above 0 inside a group whose content is not document text.
    int m_skipDepth = 0;
    // Fallback characters of the last \uN still to be passed over.
    int m_fallbackLeft = 0;
    bool m_atGroupStart = false;
    bool m_ignorableDestination = false;
    bool m_finished = false;
    int m_codePage = 1252;
    // Code pages are 16-bit numbers.
    std::bitset<65536> m_refusedCodePages;
    // Every converter opened so far; there are only so many code pages.
    std::unordered_map<int, UConverter *> m_converters;
    UConverter *m_converter = nullptr;
    // Code-page bytes wait here so that double-byte characters convert whole.
    QByteArray m_codePageBytes;
    char16_t m_highSurrogate = 0;
    QString m_text;
};
