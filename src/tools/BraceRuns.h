#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <deque>
#include <optional>
#include <vector>

// A placeholder or prompt ends at the first "}" after its start and needs a
// second right after, so a text is seen as runs: what lies between two "}",
// or before the first or after the last. A BraceRun is a run and the "}"
// after it, or a gap: runs and the "}" between them, up to the last run's
// "}", that hold nothing of interest. Never empty.
struct BraceRun {
    qsizetype start = 0;
    qsizetype size = 0;
    qsizetype closing = 0;
    bool gap = false;
};

// The runs that hold the places (in order), each alone, and the text between
// them as gaps; leading becomes the number of "}" the text starts with.
QList<BraceRun> splitAtBraces(QStringView text, const std::vector<qsizetype> &places, qsizetype &leading);

// The first run of a gap, which then starts after it; none when the gap is
// one run.
std::optional<BraceRun> takeFirstRun(QStringView text, BraceRun &gap);

// A run or gap in a BraceRunList: its neighbours, -1 at the ends, and
// whether it is still in the list.
struct BraceRunNode : BraceRun {
    int previous = -1;
    int next = -1;
    bool alive = true;
};

// The runs and gaps of a text in a list, in the order of the text, whose
// runs change as they fill. Node derives from BraceRunNode and adds its own.
template<typename Node> class BraceRunList {
public:
    // The runs of the text that hold the places, and gaps between them.
    void split(QStringView text, const std::vector<qsizetype> &places)
    {
        m_text = text;
        for (const BraceRun &run : splitAtBraces(text, places, m_leading)) {
            Node &node = m_nodes.emplace_back();
            static_cast<BraceRun &>(node) = run;
            node.previous = int(m_nodes.size()) - 2;
            if (node.previous >= 0)
                m_nodes[size_t(node.previous)].next = int(m_nodes.size()) - 1;
            else
                m_first = 0;
        }
    }

    // Nodes stay where they are as nodes come.
    Node &operator[](int index) { return m_nodes[size_t(index)]; }
    const Node &operator[](int index) const { return m_nodes[size_t(index)]; }
    int size() const { return int(m_nodes.size()); }

    // The node after this one as a run: a gap gives up its first run.
    int nextRun(int index)
    {
        const int next = m_nodes[size_t(index)].next;
        Node &gap = m_nodes[size_t(next)];
        if (!gap.gap)
            return next;
        const std::optional<BraceRun> first = takeFirstRun(m_text, gap);
        if (!first) {
            gap.gap = false;
            return next;
        }
        const int added = insertAfter(index);
        static_cast<BraceRun &>(m_nodes[size_t(added)]) = *first;
        return added;
    }

    int insertAfter(int index)
    {
        const int added = int(m_nodes.size());
        Node &node = m_nodes.emplace_back();
        node.previous = index;
        node.next = m_nodes[size_t(index)].next;
        if (node.next >= 0)
            m_nodes[size_t(node.next)].previous = added;
        m_nodes[size_t(index)].next = added;
        return added;
    }

    // Takes the node out of the list: it joined the one before it.
    void unlink(int index)
    {
        Node &node = m_nodes[size_t(index)];
        node.alive = false;
        if (node.previous >= 0)
            m_nodes[size_t(node.previous)].next = node.next;
        else
            m_first = node.next;
        if (node.next >= 0)
            m_nodes[size_t(node.next)].previous = node.previous;
    }

    // A node left empty: the "}" after it join those before it.
    void remove(int index)
    {
        const Node &node = m_nodes[size_t(index)];
        if (node.previous >= 0)
            m_nodes[size_t(node.previous)].closing += node.closing;
        else
            m_leading += node.closing;
        unlink(index);
    }

    // The text as it stands, each node's text by textOf(node).
    template<typename TextOf> QString text(const TextOf &textOf) const
    {
        QString text;
        text.resize(m_leading, u'}');
        for (int index = m_first; index >= 0; index = m_nodes[size_t(index)].next) {
            const Node &node = m_nodes[size_t(index)];
            text += textOf(node);
            text.resize(text.size() + node.closing, u'}');
        }
        return text;
    }

private:
    QStringView m_text;
    std::deque<Node> m_nodes;
    qsizetype m_leading = 0;
    int m_first = -1;
};
