#include "tools/GreekAccents.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar acute(0x0301);
constexpr QChar dialytika(0x0308);
// Polytonic Greek's own marks: breathings, grave and circumflex accents,
// the iota subscript.
const QString breathings = u"\u0313\u0314\u0343"_s;
const QString polytonicAccents = u"\u0300\u0342"_s;
const QString polytonicMarks = breathings + polytonicAccents + u"\u0345"_s;
const QString diphthongs[] {u"αι"_s, u"ει"_s, u"οι"_s, u"υι"_s, u"ου"_s, u"αυ"_s, u"ευ"_s, u"ηυ"_s};

// A letter with the marks written over or under it, decomposed.
struct Letter {
    QChar base;
    QString marks;

    bool isVowel() const { return u"αεηιουω"_s.contains(base.toLower()); }
    bool has(const QString &kinds) const
    {
        return std::any_of(marks.begin(), marks.end(), [&](QChar mark) { return kinds.contains(mark); });
    }
    bool accented() const { return marks.contains(acute) || has(polytonicAccents); }
};

struct Word {
    QList<Letter> letters;
    bool greek = false;

    bool allCapitals() const
    {
        return letters.size() > 1
            && std::none_of(letters.begin(), letters.end(), [](const Letter &l) { return l.base.isLower(); });
    }
    bool polytonic() const
    {
        return std::any_of(
            letters.begin(), letters.end(), [](const Letter &l) { return l.has(polytonicMarks); });
    }
    // Whether the vowels at i - 1 and i are one syllable.
    bool diphthongAt(qsizetype i) const
    {
        if (i < 1 || !letters[i - 1].isVowel() || !letters[i].isVowel() || letters[i - 1].accented()
            || letters[i].marks.contains(dialytika))
            return false;
        const QString pair = QString(letters[i - 1].base.toLower()) + letters[i].base.toLower();
        return std::find(std::begin(diphthongs), std::end(diphthongs), pair) != std::end(diphthongs);
    }
    int syllables() const
    {
        int count = 0;
        for (qsizetype i = 0; i < letters.size(); ++i)
            count += letters[i].isVowel() && !diphthongAt(i);
        return count;
    }
    // Where polytonic Greek puts a breathing: on a first vowel or rho, or
    // on the second vowel of a first diphthong.
    bool mayBreathe(qsizetype i) const
    {
        if (i == 0)
            return letters[0].isVowel() || letters[0].base.toLower() == u'ρ';
        return i == 1 && diphthongAt(1);
    }
    bool spelledPolytonic() const
    {
        if (allCapitals())
            return !std::any_of(
                letters.begin(), letters.end(), [](const Letter &l) { return !l.marks.isEmpty(); });
        bool breathed = false;
        bool accented = false;
        for (qsizetype i = 0; i < letters.size(); ++i) {
            if (letters[i].has(breathings)) {
                if (!mayBreathe(i))
                    return false;
                breathed = true;
            }
            accented = accented || letters[i].accented();
        }
        return (breathed || !letters.first().isVowel()) && (accented || syllables() < 2);
    }
};

// The letters of text, its punctuation left out.
Word wordOf(const QString &text)
{
    Word word;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.isMark()) {
            if (!word.letters.isEmpty())
                word.letters.last().marks.append(c);
        } else if (c.isLetter()) {
            word.letters.append({c, {}});
            word.greek = word.greek || c.script() == QChar::Script_Greek;
        }
    }
    return word;
}

QString modernWord(const QString &text)
{
    const Word word = wordOf(text);
    const bool capitals = word.allCapitals();
    qsizetype accentAt = -1;
    qsizetype breathingAt = -1;
    bool toned = false;
    for (qsizetype i = 0; i < word.letters.size(); ++i) {
        const Letter &letter = word.letters[i];
        toned = toned || letter.marks.contains(acute);
        if (accentAt < 0 && letter.has(polytonicAccents))
            accentAt = i;
        if (breathingAt < 0 && letter.has(breathings))
            breathingAt = i;
    }
    // Modern Greek writes no accent in capitals nor on one syllable.
    const qsizetype toneAt = capitals || toned || word.syllables() < 2 ? -1
        : accentAt >= 0                                                ? accentAt
                                                                       : breathingAt;
    QString modern;
    qsizetype letterIndex = -1;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.isMark() && (polytonicMarks.contains(c) || (capitals && c == acute)))
            continue;
        modern.append(c);
        if (c.isLetter() && ++letterIndex == toneAt && word.letters[toneAt].isVowel())
            modern.append(acute);
    }
    return modern.normalized(QString::NormalizationForm_C);
}

} // namespace

namespace GreekAccents {

QString modernized(const QString &line)
{
    static const QRegularExpression wordPattern(u"\\S+"_s);
    QList<std::pair<QRegularExpressionMatch, Word>> words;
    int polytonicWords = 0;
    bool spelledPolytonic = true;
    for (const QRegularExpressionMatch &match : wordPattern.globalMatch(line)) {
        Word word = wordOf(match.captured());
        if (!word.greek)
            continue;
        polytonicWords += word.polytonic();
        spelledPolytonic = spelledPolytonic && word.spelledPolytonic();
        words.append({match, std::move(word)});
    }
    if (polytonicWords == 0 || (polytonicWords > 1 && spelledPolytonic))
        return line;
    QString modern = line;
    for (auto it = words.crbegin(); it != words.crend(); ++it) {
        if (it->second.polytonic())
            modern.replace(
                it->first.capturedStart(), it->first.capturedLength(), modernWord(it->first.captured()));
    }
    return modern;
}

} // namespace GreekAccents
