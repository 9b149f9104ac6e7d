// Expanding a 10 KiB snippet with 100 placeholders, 10 of them counters,
// beside the one write of its counters to the settings file that it cannot
// avoid: what the expansion itself adds is the difference of the two
// medians. The write waits for the disk and varies by milliseconds, so the
// expansion with counters in memory is timed as well. Then snippets with
// placeholders, prompts and counters by the thousand, as a backup can bring
// them, plain and in the shapes where a value or a "}" of the text's own can
// make a placeholder's text anew: the aim is 100 ms of the main thread for
// each. Release build, one core. Arguments: the number of placeholders of
// those snippets (100000 by default), and a text that picks the snippets
// whose description holds it.
#include "base/Clock.h"
#include "records/Snippet.h"
#include "settings/SettingsManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/FakeSnippetCounters.h"
#include "tools/PastePreparation.h"
#include "tools/SettingsSnippetCounters.h"
#include "tools/TemplateExpander.h"

#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Steady = std::chrono::steady_clock;

constexpr int runs = 21;
constexpr int counterCount = 10;

double medianOf(int count, const auto &work)
{
    std::vector<double> times;
    for (int run = 0; run < count; ++run) {
        const Steady::time_point start = Steady::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Steady::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + count / 2, times.end());
    return times[size_t(count / 2)];
}

double medianMilliseconds(const auto &work)
{
    return medianOf(runs, work);
}

QString snippetContent()
{
    const QStringList others {u"{{date}}"_s, u"{{time}}"_s, u"{{datetime}}"_s, u"{{uuid}}"_s,
        u"{{date:yyyy-MM-dd}}"_s, u"{{time:HH:mm}}"_s, u"{{date+3d}}"_s, u"{{date-1m:dd.MM.yyyy}}"_s,
        u"{{name}}"_s, u"{{clipboard}}"_s};
    QString content;
    for (int placeholder = 0; placeholder < 100; ++placeholder) {
        content += u"Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "_s;
        content
            += placeholder % 10 == 0 ? u"{{counter:c%1}}"_s.arg(placeholder / 10) : others[placeholder % 10];
        content += u" "_s;
    }
    while (content.toUtf8().size() < 10 * 1024)
        content += u"filler "_s;
    return content;
}

QString numbered(const QString &pattern, int count)
{
    QString text;
    for (int number = 0; number < count; ++number)
        text += pattern.arg(number);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const int many = argc > 1 ? std::atoi(argv[1]) : 100'000;
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QTemporaryDir folder;
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings(folder.filePath(u"Vantorell.conf"_s), loginItem, dock);
    SettingsSnippetCounters counters(settings);
    TemplateExpander expander(Clock::system(), counters, u"en_US"_s, u"Europe/Berlin"_s);
    FakeSnippetCounters memoryCounters;
    TemplateExpander inMemory(Clock::system(), memoryCounters, u"en_US"_s, u"Europe/Berlin"_s);
    const Snippet snippet {.content = snippetContent()};
    const std::optional<QString> clipboard = u"clipboard text"_s;

    qsizetype written = 0;
    const double writes = medianMilliseconds([&] {
        QList<std::pair<QString, qint64>> values;
        for (int counter = 0; counter < counterCount; ++counter)
            values.append({u"w%1"_s.arg(counter), settings.snippetCounter(u"w%1"_s.arg(counter)) + 1});
        settings.setSnippetCounters(values);
    });
    const double expansion
        = medianMilliseconds([&] { written += expander.expandTemplate(snippet, clipboard).size(); });
    const double alone
        = medianMilliseconds([&] { written += inMemory.expandTemplate(snippet, clipboard).size(); });
    std::printf("snippet: %lld UTF-8 bytes, 100 placeholders, %d counters\n",
        static_cast<long long>(snippet.content.toUtf8().size()), counterCount);
    std::printf("one write of 10 counters: %.2f ms (median of %d)\n", writes, runs);
    std::printf("expansion: %.2f ms (median of %d)\n", expansion, runs);
    std::printf("expansion with counters in memory: %.2f ms (median of %d)\n", alone, runs);
    std::printf("expansion beyond the writes: %.2f ms (aim: at most 5 ms)\n", expansion - writes);

    const auto report = [&](const QString &what, const QString &content, double time) {
        std::printf("%s (%lld characters): %.1f ms (median of 3; aim <= 100)\n", qPrintable(what),
            static_cast<long long>(content.size()), time);
    };
    const auto expand = [&](const QString &what, const QString &content, TemplateExpander &with) {
        if (!what.contains(only))
            return;
        const Snippet large {.content = content};
        report(what, content, medianOf(3, [&] { written += with.expandTemplate(large, clipboard).size(); }));
    };
    const auto prepare = [&](const QString &what, const QString &content, const PromptValues &values) {
        if (!what.contains(only))
            return;
        const Snippet large {.content = content};
        report(what, content, medianOf(3, [&] {
            written += expandPastePlaceholders(inMemory, large, clipboard, values).text.size();
        }));
    };
    const QString count = QString::number(many);

    std::printf("\nexpansion, placeholders filled in one pass:\n");
    for (const int times : {many, 2 * many})
        expand(u"%1 times {{date+1d}}"_s.arg(times), u"{{date+1d}} "_s.repeated(times), inMemory);
    QString shifts;
    for (int day = 0; day < many; ++day)
        shifts += u"{{date+%1d}} "_s.arg(day % 3650);
    expand(count + u" shifted dates, 3650 of them different"_s, shifts, inMemory);
    expand(count + u" times {{date}} {{uuid}} {{clipboard}}"_s,
        u"{{date}} {{uuid}} {{clipboard}} "_s.repeated(many / 3), inMemory);
    QString counted;
    for (int counter = 0; counter < 5'000; ++counter)
        counted += u"{{counter:n%1}} "_s.arg(counter);
    expand(u"5000 counters, stored in the settings file"_s, counted, expander);

    // Where values or a "}" of the text's own could make a placeholder's
    // text anew, each value goes to the first occurrence of its text.
    std::printf("\nexpansion, each value to the first occurrence of its text:\n");
    expand(count + u" times {{date+1d}} after a \"}}\""_s, u"x}}"_s + u"{{date+1d}} "_s.repeated(many),
        inMemory);
    expand(count + u" times {{counter}} after a \"}}\""_s, u"x}}"_s + u"{{counter}} "_s.repeated(many),
        inMemory);
    expand(count + u" times {{date:{{x}}"_s, u"{{date:{{x}} "_s.repeated(many), inMemory);
    // Each empty value joins a "}" to the one after it: "{{counter}}" anew.
    expand(
        count + u" times {{counter}{{date:'}}}"_s, u"{{counter}{{date:'}}} "_s.repeated(many / 2), inMemory);
    expand(count + u" different placeholders, each the tail of another"_s,
        numbered(u"{{date:a{{date:%1}} "_s, many / 2) + numbered(u"{{date:%1}} "_s, many / 2), inMemory);
    // One run of nested placeholders holds the first occurrence every time.
    expand(count + u" times {{date:'}} after 1000 nested"_s,
        u"{{date:"_s.repeated(1000) + u"{{date:'}}"_s.repeated(many), inMemory);
    expand(count + u" times {{date:1}} after two runs of a million digits"_s,
        u"{{date:"_s + u"1"_s.repeated(1'000'000) + u"{{date:1}}"_s + u"1"_s.repeated(1'000'000)
            + u"{{date:1}}"_s.repeated(many),
        inMemory);

    std::printf("\npaste preparation:\n");
    QString labels;
    PromptValues values;
    for (int label = 0; label < many; ++label) {
        labels += u"{{prompt:L%1}} "_s.arg(label);
        values.append({u"L%1"_s.arg(label), u"v"_s});
    }
    if (const QString what = count + u" different prompt labels found"_s; what.contains(only))
        report(what, labels, medianOf(3, [&] { written += promptLabels(labels).size(); }));
    prepare(count + u" prompts of one label"_s, u"{{prompt:Name}} "_s.repeated(many), {{u"Name"_s, u"Jo"_s}});
    prepare(count + u" prompts of different labels"_s, labels, values);
    prepare(count + u" prompts without a value"_s, labels, {});
    prepare(count + u" prompts whose value makes a prompt anew"_s, u"{{prompt:A}}"_s.repeated(many),
        {{u"A"_s, u"{{prompt:"_s}});
    prepare(count + u" cursor markers"_s, u"a{{cursor}}"_s.repeated(many), {});

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak resident: %ld MiB\n", usage.ru_maxrss / 1024);
    return written > 0 ? 0 : 1;
}
