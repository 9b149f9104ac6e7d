#include "tools/FirstOccurrenceFill.h"

#include "tools/BraceRuns.h"

#include <QRandomGenerator>
#include <QStringMatcher>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <climits>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Value = std::function<QString(qsizetype match)>;

constexpr quint64 modulus = (quint64(1) << 61) - 1;

quint64 multiplied(quint64 a, quint64 b)
{
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    const quint64 sum = (quint64(product) & modulus) + quint64(product >> 61);
    return sum >= modulus ? sum - modulus : sum;
}

quint64 added(quint64 a, quint64 b)
{
    const quint64 sum = a + b;
    return sum >= modulus ? sum - modulus : sum;
}

// A text's polynomial hash modulo 2^61 - 1 for each of two bases.
struct Hash {
    quint64 first = 0;
    quint64 second = 0;

    friend bool operator==(const Hash &, const Hash &) = default;
    friend Hash operator+(Hash x, Hash y) { return {added(x.first, y.first), added(x.second, y.second)}; }
    friend Hash operator-(Hash x, Hash y)
    {
        return {added(x.first, modulus - y.first), added(x.second, modulus - y.second)};
    }
    friend Hash operator*(Hash x, Hash y)
    {
        return {multiplied(x.first, y.first), multiplied(x.second, y.second)};
    }
};

constexpr Hash one {1, 1};

Hash raised(Hash base, quint64 exponent)
{
    Hash result = one;
    for (; exponent > 0; exponent >>= 1) {
        if (exponent & 1)
            result = result * base;
        base = base * base;
    }
    return result;
}

// Drawn once, so that no text can be made to collide on purpose.
struct Bases {
    static constexpr qsizetype tabled = 64;
    Hash base;
    std::array<Hash, tabled + 1> powers;
    std::array<Hash, tabled + 1> inversePowers;
};

const Bases &bases()
{
    static const Bases made = [] {
        Bases bases;
        QRandomGenerator *random = QRandomGenerator::system();
        bases.base
            = {random->generate64() % (modulus - 512) + 256, random->generate64() % (modulus - 512) + 256};
        const Hash inverse = raised(bases.base, modulus - 2);
        bases.powers[0] = bases.inversePowers[0] = one;
        for (qsizetype n = 1; n <= Bases::tabled; ++n) {
            bases.powers[n] = bases.powers[n - 1] * bases.base;
            bases.inversePowers[n] = bases.inversePowers[n - 1] * inverse;
        }
        return bases;
    }();
    return made;
}

Hash power(qsizetype n)
{
    return n <= Bases::tabled ? bases().powers[n] : raised(bases().base, quint64(n));
}

Hash inversePower(qsizetype n)
{
    return n <= Bases::tabled ? bases().inversePowers[n] : raised(bases().inversePowers[1], quint64(n));
}

Hash ofCharacter(QChar character)
{
    return {character.unicode(), character.unicode()};
}

// Read from the start: each character multiplies what came before by the base.
Hash hashOf(QStringView text)
{
    const Hash base = bases().base;
    Hash hash;
    for (const QChar character : text)
        hash = hash * base + ofCharacter(character);
    return hash;
}

// tails[i] becomes the hash of the text from starts[i] (in order, each
// within the text) to its end; returns the hash of the whole text, and power
// becomes the base to the power of its length.
Hash hashTails(QStringView text, const std::vector<qsizetype> &starts, std::vector<Hash> &tails, Hash &power)
{
    const Hash base = bases().base;
    tails.resize(starts.size());
    Hash hash;
    size_t start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (start < starts.size() && starts[start] == at)
            tails[start++] = hash;
        hash = hash * base + ofCharacter(text[at]);
    }
    for (start = 0; start < starts.size(); ++start)
        tails[start] = hash - tails[start] * ::power(text.size() - starts[start]);
    power = ::power(text.size());
    return hash;
}

struct Key {
    qsizetype length = 0;
    Hash hash;

    friend bool operator==(const Key &, const Key &) = default;
};

// Open addressing: a lookup costs about one cache miss, where a node per
// entry costs several.
class KeyTable {
public:
    void reserve(size_t count)
    {
        size_t size = 64;
        while (size * 3 < count * 4)
            size *= 2;
        if (size > m_slots.size())
            rehash(size);
    }

    // The value under the key, or nullptr. Keys are never empty texts.
    const int *find(const Key &key) const
    {
        if (m_slots.empty())
            return nullptr;
        for (size_t at = slotOf(key);; at = (at + 1) & m_mask) {
            const Slot &slot = m_slots[at];
            if (slot.length == 0)
                return nullptr;
            if (slot.holds(key))
                return &slot.value;
        }
    }

    // The value under the key, and whether it was put there now.
    std::pair<int *, bool> insert(const Key &key, int value)
    {
        if ((m_count + 1) * 4 > m_slots.size() * 3)
            rehash(std::max<size_t>(64, m_slots.size() * 2));
        for (size_t at = slotOf(key);; at = (at + 1) & m_mask) {
            Slot &slot = m_slots[at];
            if (slot.length == 0) {
                slot = {key.hash.first, key.hash.second, qint32(key.length), value};
                ++m_count;
                return {&slot.value, true};
            }
            if (slot.holds(key))
                return {&slot.value, false};
        }
    }

private:
    struct Slot {
        quint64 first = 0;
        quint64 second = 0;
        qint32 length = 0;
        int value = 0;

        bool holds(const Key &key) const
        {
            return first == key.hash.first && second == key.hash.second && length == key.length;
        }
    };

    size_t slotOf(const Key &key) const { return size_t(key.hash.first ^ quint64(key.length)) & m_mask; }

    void rehash(size_t size)
    {
        std::vector<Slot> old(size);
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        m_count = 0;
        for (const Slot &slot : old) {
            if (slot.length != 0)
                insert({slot.length, {slot.first, slot.second}}, slot.value);
        }
    }

    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    size_t m_count = 0;
};

// The values as the search from the beginning puts them, from the match at
// last down to the first; made is the value of the match at last when it was
// made already.
QString searchingEachTime(QString text, QStringView original, const QList<IcuRegex::Spans> &matches,
    qsizetype last, std::optional<QString> made, const Value &value)
{
    for (qsizetype match = last; match >= 0; --match) {
        const QStringView whole = matches[match].front().in(original);
        const qsizetype at = text.indexOf(whole);
        if (at < 0)
            continue;
        text.replace(at, whole.size(), made && match == last ? *made : value(match));
    }
    return text;
}

class Filler {
public:
    Filler(QStringView text, const QList<IcuRegex::Spans> &matches, QStringView prefix, bool pure)
        : m_text(text), m_matches(matches), m_prefix(prefix), m_prefixMatcher(prefix),
          m_reach(prefix.size() - 1), m_pure(pure)
    {
        m_ready = text.size() < INT_MAX / 2 && collectMembers() && relateMembers();
        if (m_ready)
            splitRuns();
    }

    QString fill(const Value &value)
    {
        if (!m_ready)
            return searchingEachTime(m_text.toString(), m_text, m_matches, m_matches.size() - 1, {}, value);
        for (qsizetype match = m_matches.size() - 1; match >= 0; --match) {
            const int member = m_memberOf[size_t(match)];
            const int run = firstRunEndingWith(member);
            if (run < 0)
                continue;
            // Only a hash collision could name a run that does not end with it.
            if (!endsWith(run, m_members[size_t(member)].text))
                return searchingEachTime(text(), m_text, m_matches, match, {}, value);
            QString made = valueOf(match, member, value);
            if (made.contains(u'}') || !replace(run, member, made))
                return searchingEachTime(text(), m_text, m_matches, match, std::move(made), value);
        }
        return text();
    }

private:
    // A distinct match text, without its closing "}}".
    struct Member {
        QStringView text;
        Hash hash;
        // Made once when values are pure.
        std::optional<QString> value;
        // The longest other member it ends with.
        int parent = -1;
        // Its place in the order of the tree of parents, and the last place
        // of the members that end with it.
        int first = 0;
        int last = 0;
    };

    // Where a prefix starts; the hash of the text from there to the end of
    // its run is scale * stored + shift, so that a change at the end changes
    // the run's scale and shift only.
    struct Point {
        qsizetype at = 0;
        Hash stored;
    };

    // A run's text once changed; positions go below zero when text comes in
    // at its front.
    struct Content {
        QString text;
        qsizetype low = 0;
        QList<Point> points;
        Hash scale = one;
        Hash scaleInverse = one;
        Hash shift;
        Hash whole;
        Hash power = one;
        Hash powerInverse = one;

        qsizetype end() const { return low + text.size(); }
        Hash hashFrom(const Point &point) const { return scale * point.stored + shift; }
        Hash stored(Hash hash) const { return (hash - shift) * scaleInverse; }
    };

    // A run or a gap (those hold no prefix); the nodes form a list in the
    // order of the text, and where a node started in the first text orders
    // them.
    struct Run : BraceRunNode {
        // The longest member it ends with.
        int top = -1;
        int leaf = -1;
        std::unique_ptr<Content> content;
    };

    // A text about to join a run's end: where its prefixes start (from its
    // start) with the hashes of the text from there on, and its own hashes.
    struct Joining {
        QStringView text;
        std::vector<qsizetype> starts;
        std::vector<Hash> tails;
        Hash whole;
        Hash power;
        Hash powerInverse;
    };

    QString valueOf(qsizetype match, int member, const Value &value)
    {
        if (!m_pure)
            return value(match);
        std::optional<QString> &made = m_members[size_t(member)].value;
        if (!made)
            made = value(match);
        return *made;
    }

    bool prefixAt(QStringView text, qsizetype at) const { return text.sliced(at).startsWith(m_prefix); }

    void findPrefixes(QStringView text, std::vector<qsizetype> &starts) const
    {
        starts.clear();
        for (qsizetype at = m_prefixMatcher.indexIn(text); at >= 0;
             at = m_prefixMatcher.indexIn(text, at + 1))
            starts.push_back(at);
    }

    bool collectMembers()
    {
        m_members.reserve(size_t(m_matches.size()));
        m_memberOf.reserve(size_t(m_matches.size()));
        m_tails.reserve(size_t(m_matches.size()));
        for (const IcuRegex::Spans &match : m_matches) {
            const QStringView whole = match.front().in(m_text);
            if (!whole.endsWith(u"}}"))
                return false;
            const QStringView text = whole.chopped(2);
            const Key key {text.size(), hashOf(text)};
            const auto [member, added] = m_tails.insert(key, int(m_members.size()));
            if (added) {
                if (text.contains(u'}') || !prefixAt(text, 0))
                    return false;
                m_members.push_back({text, key.hash, {}});
                m_longest = std::max(m_longest, text.size());
            } else if (m_members[size_t(*member)].text != text) {
                return false;
            }
            m_memberOf.push_back(*member);
        }
        return true;
    }

    // Each member's parent, and for every tail of a member that starts with a
    // prefix, the longest member that tail ends with (each member is its own
    // already): a run ends with a member exactly when it ends with such a
    // tail, and the tails a run ends with are the tails of the longest one.
    bool relateMembers()
    {
        std::vector<qsizetype> starts;
        std::vector<Hash> tails;
        for (size_t member = 0; member < m_members.size(); ++member) {
            const QStringView text = m_members[member].text;
            findPrefixes(text, starts);
            if (starts.size() < 2)
                continue;
            Hash power;
            hashTails(text, starts, tails, power);
            int longest = -1;
            for (size_t start = starts.size(); start-- > 1;) {
                const Key key {text.size() - starts[start], tails[start]};
                const int *found = m_tails.find(key);
                if (found && *found >= 0 && keyOf(*found) == key)
                    longest = *found;
                else if (!found)
                    m_tails.insert(key, longest);
                else if (*found != longest)
                    return false;
            }
            m_members[member].parent = longest;
        }
        placeMembers();
        return true;
    }

    Key keyOf(int member) const
    {
        return {m_members[size_t(member)].text.size(), m_members[size_t(member)].hash};
    }

    void placeMembers()
    {
        const int count = int(m_members.size());
        std::vector<int> childStart(size_t(count) + 1, 0);
        for (const Member &member : m_members) {
            if (member.parent >= 0)
                ++childStart[size_t(member.parent) + 1];
        }
        for (int member = 0; member < count; ++member)
            childStart[size_t(member) + 1] += childStart[size_t(member)];
        std::vector<int> children(size_t(childStart.back()));
        std::vector<int> filled(childStart.begin(), childStart.end() - 1);
        for (int member = 0; member < count; ++member) {
            if (const int parent = m_members[size_t(member)].parent; parent >= 0)
                children[size_t(filled[size_t(parent)]++)] = member;
        }
        int place = 0;
        std::vector<std::pair<int, int>> stack;
        for (int root = 0; root < count; ++root) {
            if (m_members[size_t(root)].parent >= 0)
                continue;
            stack.push_back({root, childStart[size_t(root)]});
            m_members[size_t(root)].first = place++;
            while (!stack.empty()) {
                auto &[member, child] = stack.back();
                if (child < childStart[size_t(member) + 1]) {
                    const int next = children[size_t(child++)];
                    m_members[size_t(next)].first = place++;
                    stack.push_back({next, childStart[size_t(next)]});
                } else {
                    m_members[size_t(member)].last = place - 1;
                    stack.pop_back();
                }
            }
        }
        while (m_leafCount < count)
            m_leafCount *= 2;
        m_least.assign(size_t(m_leafCount) * 2, none);
        m_leaves.resize(size_t(count));
    }

    void splitRuns()
    {
        std::vector<qsizetype> starts;
        findPrefixes(m_text, starts);
        m_runs.split(m_text, starts);
        auto start = starts.cbegin();
        qsizetype match = 0;
        for (int index = 0; index < m_runs.size(); ++index) {
            Run &run = m_runs[index];
            if (run.gap)
                continue;
            const qsizetype end = run.start + run.size;
            const auto first = start;
            while (start != starts.cend() && *start < end)
                ++start;
            // A member that a run followed by "}}" ends with matches there,
            // so the run's match is the longest.
            if (match < m_matches.size() && m_matches[match].front().start < end)
                run.top = m_memberOf[size_t(match++)];
            else
                run.top = topOfFirstText(end, first, start);
        }
        for (int index = 0; index < m_runs.size(); ++index)
            this->index(index);
    }

    // The longest member that the text up to end ends with, by the starts of
    // prefixes before it.
    int topOfFirstText(qsizetype end, std::vector<qsizetype>::const_iterator first,
        std::vector<qsizetype>::const_iterator last) const
    {
        const Bases &bases = ::bases();
        Hash hash;
        Hash weight = one;
        qsizetype reached = end;
        int top = -1;
        while (last != first) {
            --last;
            if (end - *last > m_longest)
                break;
            for (; reached > *last; --reached) {
                hash = hash + weight * ofCharacter(m_text[reached - 1]);
                const qsizetype read = end - reached + 1;
                weight = read <= Bases::tabled ? bases.powers[size_t(read)] : weight * bases.base;
            }
            const int *found = m_tails.find({end - *last, hash});
            if (!found)
                break;
            top = *found;
        }
        return top;
    }

    // Reads a text that is to join a run.
    void prepare(Joining &joining, QStringView text) const
    {
        joining.text = text;
        findPrefixes(text, joining.starts);
        joining.whole = hashTails(text, joining.starts, joining.tails, joining.power);
        joining.powerInverse = inversePower(text.size());
    }

    Content &touch(int index)
    {
        Run &run = m_runs[index];
        if (run.content)
            return *run.content;
        run.content = std::make_unique<Content>();
        Content &content = *run.content;
        content.text = m_text.sliced(run.start, run.size).toString();
        prepare(m_joining, content.text);
        content.points.reserve(qsizetype(m_joining.starts.size()));
        for (size_t start = 0; start < m_joining.starts.size(); ++start)
            content.points.append({m_joining.starts[start], m_joining.tails[start]});
        content.whole = m_joining.whole;
        content.power = m_joining.power;
        content.powerInverse = m_joining.powerInverse;
        return content;
    }

    bool endsWith(int index, QStringView text) const
    {
        const Run &run = m_runs[index];
        return run.content ? QStringView(run.content->text).endsWith(text)
                           : m_text.sliced(run.start, run.size).endsWith(text);
    }

    // The member's occurrence at the end of the run, with the "}}" after it,
    // becomes the value.
    bool replace(int index, int member, QStringView value)
    {
        Content &content = touch(index);
        const Member &replaced = m_members[size_t(member)];
        const qsizetype at = content.end() - replaced.text.size();
        const auto point = std::lower_bound(content.points.cbegin(), content.points.cend(), at,
            [](const Point &point, qsizetype at) { return point.at < at; });
        if (point == content.points.cend() || point->at != at)
            return false;
        const Hash atHash = content.hashFrom(*point);
        const Hash forward = power(replaced.text.size());
        const Hash inverse = inversePower(replaced.text.size());
        content.whole = (content.whole - atHash) * inverse;
        content.scale = content.scale * inverse;
        content.shift = (content.shift - atHash) * inverse;
        content.scaleInverse = content.scaleInverse * forward;
        content.power = content.power * inverse;
        content.powerInverse = content.powerInverse * forward;
        content.points.resize(point - content.points.cbegin());
        content.text.chop(replaced.text.size());
        if (!value.isEmpty()) {
            prepare(m_joining, value);
            joinBack(content, m_joining);
        }

        Run &run = m_runs[index];
        run.closing -= 2;
        if (run.closing == 0 && run.next >= 0)
            absorbNext(index);
        if (run.content->text.isEmpty()) {
            remove(index);
        } else {
            run.top = topOf(*run.content);
            this->index(index);
        }
        return true;
    }

    // The prefixes that start in the last few characters of left and end in
    // joining's text: where they start, and the hashes from there.
    void findAcross(const Content &left, const Joining &joining)
    {
        m_across.clear();
        const qsizetype leftPart = std::min(m_reach, left.text.size());
        const qsizetype rightPart = std::min(m_reach, joining.text.size());
        std::array<char16_t, 32> joint {};
        std::copy_n(left.text.utf16() + left.text.size() - leftPart, leftPart, joint.begin());
        std::copy_n(joining.text.utf16(), rightPart, joint.begin() + leftPart);
        const QStringView window(joint.data(), leftPart + rightPart);
        for (qsizetype at = 0; at < leftPart; ++at) {
            if (window[at] == u'{' && prefixAt(window, at)) {
                const Hash head = hashOf(window.sliced(at, leftPart - at));
                m_across.push_back({left.end() - (leftPart - at), head * joining.power + joining.whole});
            }
        }
    }

    void joinBack(Content &left, const Joining &joining)
    {
        findAcross(left, joining);
        const qsizetype joint = left.end();
        left.scale = left.scale * joining.power;
        left.shift = left.shift * joining.power + joining.whole;
        left.scaleInverse = left.scaleInverse * joining.powerInverse;
        left.whole = left.whole * joining.power + joining.whole;
        left.power = left.power * joining.power;
        left.powerInverse = left.powerInverse * joining.powerInverse;
        for (const auto &[at, hash] : m_across)
            left.points.append({at, left.stored(hash)});
        for (size_t start = 0; start < joining.starts.size(); ++start)
            left.points.append({joint + joining.starts[start], left.stored(joining.tails[start])});
        left.text += joining.text;
    }

    // The run after this one joins it; the smaller of the two moves.
    void absorbNext(int index)
    {
        Run &run = m_runs[index];
        const int nextIndex = m_runs.nextRun(index);
        Run &next = m_runs[nextIndex];
        Content &left = *run.content;
        if (!next.content && left.text.size() >= next.size) {
            prepare(m_joining, m_text.sliced(next.start, next.size));
            joinBack(left, m_joining);
        } else {
            Content &right = touch(nextIndex);
            if (left.text.size() + left.points.size() >= right.text.size() + right.points.size()) {
                m_joining.text = right.text;
                m_joining.starts.clear();
                m_joining.tails.clear();
                for (const Point &point : right.points) {
                    m_joining.starts.push_back(point.at - right.low);
                    m_joining.tails.push_back(right.hashFrom(point));
                }
                m_joining.whole = right.whole;
                m_joining.power = right.power;
                m_joining.powerInverse = right.powerInverse;
                joinBack(left, m_joining);
            } else {
                joinFront(left, right);
                run.content = std::move(next.content);
            }
            next.content.reset();
        }
        run.closing = next.closing;
        m_runs.unlink(nextIndex);
        this->index(nextIndex);
    }

    // left comes in at the front of right, whose hashes stay as they are.
    void joinFront(const Content &left, Content &right)
    {
        Joining &joining = m_joining;
        joining.text = right.text;
        joining.whole = right.whole;
        joining.power = right.power;
        findAcross(left, joining);
        const qsizetype shift = right.low - left.end();
        for (auto point = m_across.crbegin(); point != m_across.crend(); ++point)
            right.points.prepend({point->first + shift, right.stored(point->second)});
        for (auto point = left.points.crbegin(); point != left.points.crend(); ++point) {
            const Hash hash = left.hashFrom(*point) * right.power + right.whole;
            right.points.prepend({point->at + shift, right.stored(hash)});
        }
        right.whole = left.whole * right.power + right.whole;
        right.power = left.power * right.power;
        right.powerInverse = left.powerInverse * right.powerInverse;
        right.text.prepend(left.text);
        right.low -= left.text.size();
    }

    // A run left empty: the "}" around it meet.
    void remove(int index)
    {
        m_runs.remove(index);
        Run &run = m_runs[index];
        run.content.reset();
        this->index(index);
        if (run.previous >= 0)
            this->index(run.previous);
    }

    int topOf(const Content &content) const
    {
        const qsizetype end = content.end();
        qsizetype low = std::lower_bound(content.points.cbegin(), content.points.cend(), end - m_longest,
                            [](const Point &point, qsizetype at) { return point.at < at; })
            - content.points.cbegin();
        qsizetype high = content.points.size();
        int top = -1;
        // The tails that are tails of members are the shortest ones.
        while (low < high) {
            const qsizetype middle = low + (high - low) / 2;
            const Point &point = content.points[middle];
            if (const int *found = m_tails.find({end - point.at, content.hashFrom(point)})) {
                high = middle;
                top = *found;
            } else {
                low = middle + 1;
            }
        }
        return top;
    }

    // A run where a member can be found: one that ends with it and is
    // followed by "}}".
    void index(int index)
    {
        Run &run = m_runs[index];
        const int leaf
            = run.alive && run.top >= 0 && run.closing >= 2 ? m_members[size_t(run.top)].first : -1;
        if (leaf == run.leaf)
            return;
        const int left = run.leaf;
        run.leaf = leaf;
        if (left >= 0)
            refresh(left);
        if (leaf >= 0) {
            Leaf &runs = m_leaves[size_t(leaf)];
            runs.push_back(qint64(run.start) << 32 | index);
            std::push_heap(runs.begin(), runs.end(), std::greater<>());
            refresh(leaf);
        }
    }

    // A leaf's runs are a heap that keeps those that left it until they come
    // to the top.
    void refresh(int leaf)
    {
        Leaf &runs = m_leaves[size_t(leaf)];
        while (!runs.empty() && m_runs[int(runs.front() & INT_MAX)].leaf != leaf) {
            std::pop_heap(runs.begin(), runs.end(), std::greater<>());
            runs.pop_back();
        }
        size_t at = size_t(leaf + m_leafCount);
        const qint64 least = runs.empty() ? none : runs.front();
        if (m_least[at] == least)
            return;
        m_least[at] = least;
        for (at /= 2; at > 0; at /= 2) {
            const qint64 below = std::min(m_least[2 * at], m_least[2 * at + 1]);
            if (m_least[at] == below)
                break;
            m_least[at] = below;
        }
    }

    int firstRunEndingWith(int member) const
    {
        size_t low = size_t(m_members[size_t(member)].first + m_leafCount);
        size_t high = size_t(m_members[size_t(member)].last + m_leafCount) + 1;
        qint64 least = none;
        for (; low < high; low /= 2, high /= 2) {
            if (low & 1)
                least = std::min(least, m_least[low++]);
            if (high & 1)
                least = std::min(least, m_least[--high]);
        }
        return least == none ? -1 : int(least & INT_MAX);
    }

    QString text() const
    {
        return m_runs.text([&](const Run &run) {
            return run.content ? QStringView(run.content->text) : m_text.sliced(run.start, run.size);
        });
    }

    QStringView m_text;
    const QList<IcuRegex::Spans> &m_matches;
    QStringView m_prefix;
    QStringMatcher m_prefixMatcher;
    // How far before a joint a prefix across it starts.
    qsizetype m_reach = 0;
    bool m_pure = false;
    bool m_ready = false;

    std::vector<Member> m_members;
    std::vector<int> m_memberOf;
    qsizetype m_longest = 0;
    KeyTable m_tails;

    BraceRunList<Run> m_runs;

    // The runs where a member can be found, under their top member's place,
    // and the first run under each range of places: where a run started in
    // the first text, then its index.
    static constexpr qint64 none = std::numeric_limits<qint64>::max();
    int m_leafCount = 1;
    std::vector<qint64> m_least;
    using Leaf = QVarLengthArray<qint64, 1>;
    std::vector<Leaf> m_leaves;

    // Kept from one join to the next.
    Joining m_joining;
    std::vector<std::pair<qsizetype, Hash>> m_across;
};

} // namespace

QString fillFirstOccurrences(QStringView text, Placeholder placeholder, const QList<IcuRegex::Spans> &matches,
    bool pure, const std::function<QString(qsizetype match)> &value)
{
    if (matches.isEmpty())
        return text.toString();
    return Filler(text, matches, placeholderStem(placeholder), pure).fill(value);
}
