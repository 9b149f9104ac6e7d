#include "tools/BraceRuns.h"

#include <algorithm>

QList<BraceRun> splitAtBraces(QStringView text, const std::vector<qsizetype> &places, qsizetype &leading)
{
    QList<BraceRun> runs;
    const auto add = [&](qsizetype begin, qsizetype end, bool gap) {
        BraceRun run {begin, end - begin, 0, gap};
        while (end + run.closing < text.size() && text[end + run.closing] == u'}')
            ++run.closing;
        runs.append(run);
        return run;
    };
    const auto addGap = [&](qsizetype begin, qsizetype end) {
        while (text[end - 1] == u'}')
            --end;
        add(begin, end, true);
    };
    qsizetype at = 0;
    while (at < text.size() && text[at] == u'}')
        ++at;
    leading = at;
    for (size_t place = 0; place < places.size();) {
        const qsizetype begin = std::max(at, text.lastIndexOf(u'}', places[place]) + 1);
        qsizetype end = text.indexOf(u'}', places[place]);
        if (end < 0)
            end = text.size();
        if (begin > at)
            addGap(at, begin);
        at = end + add(begin, end, false).closing;
        while (place < places.size() && places[place] < end)
            ++place;
    }
    if (at < text.size())
        addGap(at, text.size());
    return runs;
}

std::optional<BraceRun> takeFirstRun(QStringView text, BraceRun &gap)
{
    const qsizetype first = text.sliced(gap.start, gap.size).indexOf(u'}');
    if (first < 0)
        return std::nullopt;
    BraceRun run {gap.start, first, 0, false};
    while (text[gap.start + first + run.closing] == u'}')
        ++run.closing;
    gap.start += first + run.closing;
    gap.size -= first + run.closing;
    return run;
}
