// How well text recognition reads each script: one-line pictures of
// sentences and capitals in nine languages, of lines mixing Latin with
// Cyrillic or Greek and of polytonic Greek, drawn in five fonts at three
// sizes. Prints the share of Latin pictures holding a Cyrillic or Greek
// letter and, per script, the share of words read exactly; with --misreads,
// every picture of a script read other than drawn. Run offscreen; fonts that
// are not installed are left out and named.
#include "support/TestImages.h"
#include "tools/TextRecognition.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFuture>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>
#include <map>

using namespace Qt::StringLiterals;

namespace {

struct Language {
    const char *script;
    QStringList lines;
    bool inCapitals = true;
};

const Language languages[] {
    {"Latin",
        {u"The quick brown fox jumps over the lazy dog"_s, u"Meet me at the station at half past nine"_s,
            u"BETA TWO"_s, u"TWO WEEKS"_s, u"Invoice number 4471 is due on Friday"_s,
            u"Please review the attached draft tonight"_s, u"Weekly sales grew by eight percent"_s,
            u"Keep the window open for fresh air"_s, u"Backup finished without errors"_s,
            u"Move the meeting to Tuesday morning"_s}},
    {"Latin",
        {u"Grüße aus München und Köln"_s, u"Die Straße ist wegen Bauarbeiten gesperrt"_s,
            u"Bitte schließen Sie die Tür hinter sich"_s,
            u"Zwölf Boxkämpfer jagen Viktor quer über den großen Sylter Deich"_s,
            u"Der Bäcker öffnet um sechs Uhr früh"_s, u"Über zwanzig Gäste haben abgesagt"_s,
            u"Möchten Sie die Änderungen speichern"_s, u"Fußgänger müssen hier warten"_s}},
    {"Latin",
        {u"s'il vous plaît"_s, u"Le garçon a déjà mangé son gâteau"_s,
            u"Où est la bibliothèque la plus proche"_s, u"Voilà une idée très intéressante"_s,
            u"Nous irons à la plage cet été"_s, u"Fermez la fenêtre avant de partir"_s,
            u"Le prochain train part à midi"_s, u"Ça coûte quinze euros"_s}},
    {"Latin",
        {u"Zażółć gęślą jaźń"_s, u"Pchnąć w tę łódź jeża lub ośm skrzyń fig"_s,
            u"Dziękuję za szybką odpowiedź"_s, u"Spotkanie przełożono na środę"_s,
            u"Łódź jest dużym miastem w Polsce"_s, u"Proszę zamknąć drzwi"_s,
            u"Źródło światła jest zbyt słabe"_s}},
    {"Latin",
        {u"Příliš žluťoučký kůň úpěl ďábelské ódy"_s, u"Děkuji za rychlou odpověď"_s,
            u"Schůzka se přesouvá na čtvrtek"_s, u"Na nádraží čekáme už hodinu"_s,
            u"Řeka je dnes velmi klidná"_s, u"Máme čerstvé pečivo každý den"_s}},
    {"Latin",
        {u"El pingüino come jamón en el baño"_s, u"¿Dónde está la estación de tren?"_s,
            u"Mañana iremos al médico"_s, u"La reunión empieza a las diez"_s,
            u"Él llegó tarde por el tráfico"_s, u"Año nuevo, vida nueva"_s}},
    {"Cyrillic",
        {u"Привет из Москвы"_s, u"Съешь же ещё этих мягких французских булок да выпей чаю"_s,
            u"Встреча перенесена на четверг"_s, u"Пожалуйста, закройте дверь"_s, u"Отчёт готов к отправке"_s,
            u"Сегодня тёплая и солнечная погода"_s, u"Мы вернёмся через неделю"_s,
            u"Спасибо за быстрый ответ"_s}},
    {"Cyrillic",
        {u"Привіт з Києва"_s, u"Дякую за швидку відповідь"_s, u"Їжак з'їв усі яблука"_s,
            u"Зустріч перенесено на п'ятницю"_s, u"Гарного дня і вдалої подорожі"_s,
            u"Ґанок біля хати був пофарбований"_s, u"Ця книжка дуже цікава"_s}},
    {"Greek",
        {u"Γειά σου κόσμε"_s, u"Καλημέρα σε όλους"_s, u"Η συνάντηση μεταφέρθηκε την Πέμπτη"_s,
            u"Ευχαριστώ για τη γρήγορη απάντηση"_s, u"Ο καιρός σήμερα είναι ζεστός"_s,
            u"Θα επιστρέψουμε σε μια εβδομάδα"_s, u"Ξεσκεπάζω την ψυχοφθόρα βδελυγμία"_s,
            u"Το τρένο φεύγει στις δέκα"_s}},
    {"mixed",
        {u"Report Отчёт 2024"_s, u"Version 2 Версия 2"_s, u"Moscow Москва"_s, u"Email почта"_s,
            u"Athens Αθήνα"_s, u"Meeting Встреча Friday"_s, u"Kyiv Київ"_s, u"Alpha Альфа Beta"_s}},
    // Ancient and church Greek, which keeps its breathings and accents.
    {"polytonic",
        {u"Ἐν ἀρχῇ ἦν ὁ λόγος, καὶ ὁ λόγος ἦν πρὸς τὸν θεόν"_s, u"Ἄνδρα μοι ἔννεπε, Μοῦσα, πολύτροπον"_s,
            u"Μῆνιν ἄειδε θεὰ Πηληϊάδεω Ἀχιλῆος"_s, u"Πάτερ ἡμῶν ὁ ἐν τοῖς οὐρανοῖς"_s},
        false},
};

const QStringList fonts {
    u"DejaVu Sans"_s, u"DejaVu Serif"_s, u"DejaVu Sans Mono"_s, u"Nimbus Sans"_s, u"Nimbus Roman"_s};
const int pixelSizes[] {15, 22, 32};

struct Picture {
    const char *script;
    QString text;
    QString font;
    int pixelSize;
    QFuture<std::optional<QString>> reading;
};

// Greek capitals are written without accents.
QString capitals(const QString &text)
{
    QString upper = text.toUpper().normalized(QString::NormalizationForm_D);
    for (qsizetype i = upper.size() - 1; i > 0; --i) {
        if (upper[i] == QChar(0x0301) && upper[i - 1].script() == QChar::Script_Greek)
            upper.remove(i, 1);
    }
    return upper.normalized(QString::NormalizationForm_C);
}

bool hasCyrillicOrGreek(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
        [](QChar c) { return c.script() == QChar::Script_Cyrillic || c.script() == QChar::Script_Greek; });
}

// Words of expected found in order in read.
qsizetype wordsReadExactly(const QStringList &expected, const QStringList &read)
{
    QList<qsizetype> previous(read.size() + 1, 0);
    QList<qsizetype> current(read.size() + 1, 0);
    for (const QString &word : expected) {
        for (qsizetype j = 0; j < read.size(); ++j)
            current[j + 1] = word == read[j] ? previous[j] + 1 : std::max(previous[j + 1], current[j]);
        std::swap(previous, current);
    }
    return previous.last();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const bool listMisreads = app.arguments().contains(u"--misreads"_s);
    // An engine per thread, some 200 MB each.
    QThreadPool::globalInstance()->setMaxThreadCount(4);
    QStringList installed;
    for (const QString &font : fonts) {
        if (QFontDatabase::hasFamily(font))
            installed.append(font);
        else
            std::printf("not installed, left out: %s\n", qPrintable(font));
    }
    QElapsedTimer timer;
    timer.start();
    std::vector<Picture> pictures;
    int variant = 0;
    for (const Language &language : languages) {
        for (const QString &line : language.lines) {
            QStringList texts {line};
            if (language.inCapitals)
                texts.append(capitals(line));
            for (const QString &text : texts) {
                for (const QString &font : std::as_const(installed)) {
                    const int pixelSize = pixelSizes[variant++ % std::size(pixelSizes)];
                    pictures.push_back({language.script, text, font, pixelSize,
                        TextRecognition::recognizeTextAsync(
                            encodedImage(textLinePicture(text, font, pixelSize)))});
                }
            }
        }
    }
    std::map<QString, std::pair<qsizetype, qsizetype>> words;
    std::map<QString, QStringList> misreads;
    int latinPictures = 0;
    QStringList strayLetters;
    for (Picture &picture : pictures) {
        const QString read = picture.reading.result().value_or(QString());
        const QStringList expected = picture.text.split(u' ');
        auto &[exact, total] = words[QString::fromLatin1(picture.script)];
        exact += wordsReadExactly(expected, read.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts));
        total += expected.size();
        if (read != picture.text)
            misreads[QString::fromLatin1(picture.script)].append(
                u"  %1 (%2, %3 px) read as %4"_s.arg(picture.text, picture.font)
                    .arg(picture.pixelSize)
                    .arg(read));
        if (qstrcmp(picture.script, "Latin") != 0)
            continue;
        ++latinPictures;
        if (hasCyrillicOrGreek(read))
            strayLetters.append(u"  %1 (%2, %3 px) read as %4"_s.arg(picture.text, picture.font)
                                    .arg(picture.pixelSize)
                                    .arg(read));
    }
    std::printf("%lld pictures read in %.1f s\n", static_cast<long long>(pictures.size()),
        double(timer.elapsed()) / 1000);
    std::printf("Latin pictures with a Cyrillic or Greek letter: %lld of %d (%.1f %%)\n",
        static_cast<long long>(strayLetters.size()), latinPictures,
        100.0 * strayLetters.size() / latinPictures);
    for (const QString &line : std::as_const(strayLetters))
        std::printf("%s\n", qPrintable(line));
    std::printf("words read exactly:\n");
    for (const auto &[script, counts] : words)
        std::printf("  %-8s %5.1f %% (%lld of %lld)\n", qPrintable(script),
            100.0 * counts.first / counts.second, static_cast<long long>(counts.first),
            static_cast<long long>(counts.second));
    if (!listMisreads)
        return 0;
    for (const auto &[script, lines] : misreads) {
        std::printf(
            "%s pictures read otherwise: %lld\n", qPrintable(script), static_cast<long long>(lines.size()));
        for (const QString &line : lines)
            std::printf("%s\n", qPrintable(line));
    }
    return 0;
}
