#include "tools/PromptFill.h"

#include "text/Blanks.h"
#include "tools/BraceRuns.h"

#include <QHash>
#include <QStringMatcher>

#include <algorithm>
#include <vector>

namespace {

constexpr QStringView opening = u"{{prompt:";
// An opening that starts in one text and ends in the next starts this close
// to the first one's end.
constexpr qsizetype reach = 8;

// Text between two "}" (a prompt's label is what follows its opening up to
// the next "}", and the prompt is whole when "}}" comes next), with what is
// known of it.
struct Piece {
    QString text;
    // The first opening; -1 for none.
    qsizetype opening = -1;
    // The blanks at the start, at the end and at the start of the label;
    // -1 while not counted.
    qsizetype leading = -1;
    qsizetype trailing = -1;
    qsizetype labelLead = -1;
    // The label waited for that its prompt has; -1 for none, -2 while not
    // looked up.
    int label = -2;
};

qsizetype blanksFrom(QStringView text, qsizetype at)
{
    qsizetype end = at;
    while (end < text.size() && Blanks::isBlank(text[end]))
        ++end;
    return end - at;
}

qsizetype blanksBefore(QStringView text, qsizetype at)
{
    qsizetype start = at;
    while (start > 0 && Blanks::isBlank(text[start - 1]))
        --start;
    return at - start;
}

qsizetype leadingOf(Piece &piece)
{
    if (piece.leading < 0)
        piece.leading = blanksFrom(piece.text, 0);
    return piece.leading;
}

Piece pieceOf(QStringView text)
{
    Piece piece;
    piece.text = text.toString();
    piece.opening = piece.text.indexOf(opening);
    return piece;
}

// The longer text takes the shorter one in, so that however texts join, a
// character is copied some log n times.
Piece joined(Piece first, Piece second)
{
    if (first.text.isEmpty())
        return second;
    if (second.text.isEmpty())
        return first;
    const qsizetype firstSize = first.text.size();
    const qsizetype secondSize = second.text.size();
    Piece joined;
    bool secondsLabel = false;
    if (first.opening >= 0) {
        joined.opening = first.opening;
    } else {
        const qsizetype tail = std::min(reach, firstSize);
        QString joint = first.text.right(tail);
        joint += QStringView(second.text).first(std::min(reach, secondSize));
        if (const qsizetype at = joint.indexOf(opening); at >= 0) {
            joined.opening = firstSize - tail + at;
        } else if (second.opening >= 0) {
            joined.opening = firstSize + second.opening;
            secondsLabel = true;
        }
    }
    if (first.leading >= 0 && first.leading < firstSize)
        joined.leading = first.leading;
    else if (first.leading == firstSize && second.leading >= 0)
        joined.leading = firstSize + second.leading;
    if (second.trailing >= 0 && second.trailing < secondSize)
        joined.trailing = second.trailing;
    else if (second.trailing == secondSize && first.trailing >= 0)
        joined.trailing = secondSize + first.trailing;
    if (secondsLabel) {
        joined.labelLead = second.labelLead;
        joined.label = second.label;
    } else if (joined.opening >= 0) {
        const qsizetype labelStart = joined.opening + opening.size();
        if (labelStart < firstSize) {
            qsizetype blanks = first.opening == joined.opening && first.labelLead >= 0
                ? first.labelLead
                : blanksFrom(first.text, labelStart);
            if (labelStart + blanks == firstSize)
                blanks += leadingOf(second);
            joined.labelLead = blanks;
        } else {
            const qsizetype from = labelStart - firstSize;
            const qsizetype blanks = leadingOf(second);
            joined.labelLead = blanks >= from ? blanks - from : blanksFrom(second.text, from);
        }
    }
    if (firstSize >= secondSize) {
        joined.text = std::move(first.text);
        joined.text += second.text;
    } else {
        joined.text = std::move(second.text);
        joined.text.prepend(first.text);
    }
    return joined;
}

class Filler {
public:
    Filler(QStringView text, const PromptValues &values) : m_text(text), m_values(values) { }

    QString fill()
    {
        std::vector<int> ids;
        ids.reserve(size_t(m_values.size()));
        m_labels.reserve(m_values.size());
        for (const auto &[label, value] : m_values) {
            auto found = m_labels.constFind(label);
            if (found == m_labels.cend()) {
                found = m_labels.insert(label, int(m_remaining.size()));
                m_remaining.push_back(0);
            }
            ids.push_back(*found);
            ++m_remaining[size_t(*found)];
            ++m_lengths[label.size()];
        }
        m_waiting.resize(m_remaining.size());
        splitRuns();
        for (qsizetype entry = 0; entry < m_values.size(); ++entry) {
            const QString &label = m_values[entry].first;
            const int id = ids[size_t(entry)];
            --m_remaining[size_t(id)];
            if (--m_lengths[label.size()] == 0)
                m_lengths.remove(label.size());
            // The prompts of the text as it stands get the value; those its
            // values make wait for the next label.
            std::vector<std::pair<int, int>> waiting;
            waiting.swap(m_waiting[size_t(id)]);
            std::vector<int> batch;
            for (const auto &[index, version] : waiting) {
                Run &run = m_runs[index];
                if (run.alive && run.version == version && run.batch != entry) {
                    run.batch = entry;
                    batch.push_back(index);
                }
            }
            for (const int index : batch)
                replaceFrom(index, entry);
            std::vector<int> touched;
            touched.swap(m_touched);
            for (const int index : touched)
                wait(index);
        }
        return text();
    }

private:
    // A run or a gap (those hold no opening); where it lies in the first
    // text until its text is its own.
    struct Run : BraceRunNode {
        Piece piece;
        bool own = false;
        // Counts the changes of its text; the one it waits with.
        int version = 0;
        int waits = -1;
        // The value whose prompts it is among, and the last value it took.
        qsizetype batch = -1;
        qsizetype replaced = -1;
    };

    QStringView textOf(const Run &run) const
    {
        return run.own ? QStringView(run.piece.text) : m_text.sliced(run.start, run.size);
    }

    Piece &take(int index)
    {
        Run &run = m_runs[index];
        if (!run.own) {
            run.piece.text = textOf(run).toString();
            run.own = true;
        }
        return run.piece;
    }

    void splitRuns()
    {
        std::vector<qsizetype> openings;
        const QStringMatcher matcher(opening);
        for (qsizetype at = matcher.indexIn(m_text); at >= 0; at = matcher.indexIn(m_text, at + 1))
            openings.push_back(at);
        m_runs.split(m_text, openings);
        auto first = openings.cbegin();
        for (int index = 0; index < m_runs.size(); ++index) {
            Run &run = m_runs[index];
            if (run.gap)
                continue;
            run.piece.opening = *first - run.start;
            while (first != openings.cend() && *first < run.start + run.size)
                ++first;
        }
        for (int index = 0; index < m_runs.size(); ++index)
            wait(index);
    }

    // The waited label of the run's prompt, when it has a whole one.
    int labelOf(Run &run)
    {
        Piece &piece = run.piece;
        if (piece.label != -2)
            return piece.label;
        piece.label = -1;
        const QStringView text = textOf(run);
        const qsizetype labelStart = piece.opening + opening.size();
        if (piece.opening < 0 || labelStart >= text.size())
            return -1;
        if (piece.labelLead < 0)
            piece.labelLead = blanksFrom(text, labelStart);
        if (piece.trailing < 0)
            piece.trailing = blanksBefore(text, text.size());
        const qsizetype length
            = std::max<qsizetype>(0, text.size() - labelStart - piece.labelLead - piece.trailing);
        if (m_lengths.contains(length))
            piece.label
                = m_labels.value(text.sliced(length > 0 ? labelStart + piece.labelLead : 0, length), -1);
        return piece.label;
    }

    void wait(int index)
    {
        Run &run = m_runs[index];
        if (!run.alive || run.closing < 2 || run.waits == run.version)
            return;
        const int label = labelOf(run);
        if (label < 0 || m_remaining[size_t(label)] == 0)
            return;
        run.waits = run.version;
        m_waiting[size_t(label)].push_back({index, run.version});
    }

    // A prompt whose "}}" runs into the next prompt of the same label waits
    // for that one.
    void replaceFrom(int start, qsizetype entry)
    {
        if (m_runs[start].replaced == entry)
            return;
        std::vector<int> chain {start};
        for (int index = start; m_runs[index].closing == 2;) {
            index = m_runs[index].next;
            if (index < 0 || m_runs[index].batch != entry || m_runs[index].replaced == entry)
                break;
            chain.push_back(index);
        }
        for (auto index = chain.crbegin(); index != chain.crend(); ++index) {
            m_runs[*index].replaced = entry;
            replace(*index, m_values[entry].second);
        }
    }

    void replace(int index, QStringView value)
    {
        Piece &piece = take(index);
        const qsizetype start = piece.opening;
        // Nothing before the first opening opens a prompt.
        piece.text.truncate(start);
        Piece head;
        head.text = std::move(piece.text);
        head.leading = piece.leading >= 0 ? std::min(piece.leading, start) : -1;
        const QList<QStringView> parts = value.split(u'}');
        // The "}" left after the prompt's "}}".
        const qsizetype rest = m_runs[index].closing - 2;
        const int after = rest == 0 && m_runs[index].next >= 0 ? m_runs.nextRun(index) : -1;
        Piece first = joined(std::move(head), pieceOf(parts.front()));
        if (parts.size() == 1) {
            if (rest == 0 && after >= 0) {
                first = joined(std::move(first), std::move(take(after)));
                m_runs[index].closing = m_runs[after].closing;
                m_runs.unlink(after);
            } else {
                m_runs[index].closing = rest;
            }
            change(index, std::move(first));
        } else {
            change(index, std::move(first));
            int current = index;
            qsizetype closing = 1;
            for (qsizetype part = 1; part + 1 < parts.size(); ++part) {
                if (parts[part].isEmpty()) {
                    ++closing;
                    continue;
                }
                m_runs[current].closing = closing;
                current = insertAfter(current, pieceOf(parts[part]));
                closing = 1;
            }
            if (parts.back().isEmpty()) {
                m_runs[current].closing = closing + rest;
            } else if (rest == 0 && after >= 0) {
                m_runs[current].closing = closing;
                change(after, joined(pieceOf(parts.back()), std::move(take(after))));
            } else {
                m_runs[current].closing = closing;
                current = insertAfter(current, pieceOf(parts.back()));
                m_runs[current].closing = rest;
            }
        }
        if (m_runs[index].piece.text.isEmpty())
            remove(index);
    }

    void change(int index, Piece piece)
    {
        Run &run = m_runs[index];
        run.piece = std::move(piece);
        run.own = true;
        ++run.version;
        m_touched.push_back(index);
    }

    int insertAfter(int index, Piece piece)
    {
        const int added = m_runs.insertAfter(index);
        Run &run = m_runs[added];
        run.piece = std::move(piece);
        run.own = true;
        m_touched.push_back(added);
        return added;
    }

    // A run left empty: the "}" around it meet.
    void remove(int index)
    {
        m_runs.remove(index);
        if (m_runs[index].previous >= 0)
            m_touched.push_back(m_runs[index].previous);
    }

    QString text() const
    {
        return m_runs.text([&](const Run &run) { return textOf(run); });
    }

    QStringView m_text;
    const PromptValues &m_values;
    // Each label by its first place among the values, how many of the
    // values still to come have it, and how many of them have each length.
    QHash<QStringView, int> m_labels;
    std::vector<int> m_remaining;
    QHash<qsizetype, int> m_lengths;
    // By label, the runs whose prompt has it, with their version then.
    std::vector<std::vector<std::pair<int, int>>> m_waiting;
    std::vector<int> m_touched;

    BraceRunList<Run> m_runs;
};

} // namespace

QString fillPrompts(QStringView text, const PromptValues &values)
{
    if (values.isEmpty() || !text.contains(opening))
        return text.toString();
    return Filler(text, values).fill();
}
