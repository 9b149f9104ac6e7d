#include "tools/ScriptChoice.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Cyrillic and Greek letters drawn as a Latin letter is, or nearly (г as r,
// п as n); a word of these alone, among Latin words, is a Latin word.
const QString latinTwins = u"АВЕКМНОРСТХУЅІЈЇЁҮагеопрсхуѕіјїёһԁԛԝү"
                           u"ΑΒΕΖΗΙΚΜΝΟΡΤΥΧΪΫαικνορυχόίϊ"_s;
// Below this a word read in another script among Latin words is taken for a
// misread Latin word: real ones are read with 88 and more, most look-alikes
// with less.
constexpr float confidentReading = 85;
constexpr QChar microSign(0x00B5);
constexpr QChar greekMu(0x03BC);

struct LetterCounts {
    int latin = 0;
    int cyrillic = 0;
    int greek = 0;
    bool allOthersLookLatin = true;

    int others() const { return cyrillic + greek; }
};

LetterCounts lettersOf(QStringView text)
{
    LetterCounts counts;
    for (const QChar c : text) {
        switch (c.script()) {
        case QChar::Script_Latin:
            ++counts.latin;
            continue;
        case QChar::Script_Cyrillic:
            ++counts.cyrillic;
            break;
        case QChar::Script_Greek:
            ++counts.greek;
            break;
        default:
            continue;
        }
        if (!latinTwins.contains(c))
            counts.allOthersLookLatin = false;
    }
    return counts;
}

// The one word of words under the same place as word.
const RecognizedWord *wordAt(const RecognizedWord &word, const QList<RecognizedWord> &words)
{
    const RecognizedWord *found = nullptr;
    for (const RecognizedWord &candidate : words) {
        const int overlap = std::min(word.right, candidate.right) - std::max(word.left, candidate.left);
        const int narrower = std::min(word.right - word.left, candidate.right - candidate.left);
        if (2 * overlap <= narrower)
            continue;
        if (found)
            return nullptr;
        found = &candidate;
    }
    return found;
}

} // namespace

namespace ScriptChoice {

std::optional<Script> rereadingScript(const RecognizedLine &line)
{
    const LetterCounts counts = lettersOf(line.text);
    if (counts.others() == 0)
        return std::nullopt;
    if (counts.latin >= counts.others() || counts.allOthersLookLatin)
        return Script::Latin;
    if (counts.greek > counts.cyrillic)
        return Script::Greek;
    return std::nullopt;
}

bool mixesScripts(const RecognizedLine &line)
{
    const LetterCounts counts = lettersOf(line.text);
    return (counts.latin > 0) + (counts.cyrillic > 0) + (counts.greek > 0) > 1;
}

QString withLatinWords(const RecognizedLine &allScripts, const RecognizedLine &latin)
{
    QStringList words;
    for (const RecognizedWord &word : allScripts.words) {
        const LetterCounts counts = lettersOf(word.text);
        const RecognizedWord *latinWord = counts.others() > 0 ? wordAt(word, latin.words) : nullptr;
        const bool keep = !latinWord
            || (!counts.allOthersLookLatin && word.confidence >= confidentReading
                && word.confidence > latinWord->confidence);
        words.append(keep ? word.text : latinWord->text);
    }
    return words.join(u' ');
}

QString withGreekMu(QString text)
{
    qsizetype wordStart = 0;
    bool greekWord = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text[i].isSpace()) {
            greekWord = greekWord || text[i].script() == QChar::Script_Greek;
            continue;
        }
        if (greekWord) {
            for (qsizetype j = wordStart; j < i; ++j) {
                if (text[j] == microSign)
                    text[j] = greekMu;
            }
        }
        wordStart = i + 1;
        greekWord = false;
    }
    return text;
}

} // namespace ScriptChoice
