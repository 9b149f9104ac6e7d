// Expanding a 10 KiB snippet with 100 placeholders, 10 of them counters,
// beside the one write of its counters to the settings file that it cannot
// avoid: what the expansion itself adds is the difference of the two
// medians. The write waits for the disk and varies by milliseconds, so the
// expansion with counters in memory is timed as well. Then snippets with
// placeholders and counters by the thousand, as a backup can bring them:
// the aim is 100 ms of the main thread for each. Release build, one core.
#include "base/Clock.h"
#include "records/Snippet.h"
#include "settings/SettingsManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/FakeSnippetCounters.h"
#include "tools/SettingsSnippetCounters.h"
#include "tools/TemplateExpander.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

} // namespace

int main()
{
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

    const auto many = [&](const char *what, const QString &content, TemplateExpander &with) {
        const Snippet large {.content = content};
        const double time = medianOf(3, [&] { written += with.expandTemplate(large, clipboard).size(); });
        std::printf("%s (%lld characters): %.1f ms (median of 3; aim <= 100)\n", what,
            static_cast<long long>(content.size()), time);
    };
    for (const int count : {100'000, 200'000})
        many(qPrintable(u"%1 times {{date+1d}}"_s.arg(count)), u"{{date+1d}} "_s.repeated(count), inMemory);
    QString shifts;
    for (int day = 0; day < 100'000; ++day)
        shifts += u"{{date+%1d}} "_s.arg(day % 3650);
    many("100000 shifted dates, 3650 of them different", shifts, inMemory);
    QString counted;
    for (int counter = 0; counter < 5'000; ++counter)
        counted += u"{{counter:n%1}} "_s.arg(counter);
    many("5000 counters, stored in the settings file", counted, expander);
    // A "}}" of the text's own, where values could make a placeholder's text
    // anew: each placeholder is put in after a search from the beginning.
    many("10000 times {{date+1d}} after a \"}}\"", u"x}}"_s + u"{{date+1d}} "_s.repeated(10'000), inMemory);
    return written > 0 ? 0 : 1;
}
