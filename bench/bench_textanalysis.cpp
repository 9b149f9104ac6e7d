// The text analysis that capture runs on every copy, on ordinary and on
// hostile input: RTF and HTML to text, the password heuristic, secret
// detection and link cleaning.
#include "text/DocumentText.h"
#include "text/HtmlBounds.h"
#include "text/LinkCleaner.h"
#include "text/PasswordHeuristic.h"
#include "text/RtfReader.h"
#include "text/SecretDetector.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Seconds a call of step takes, over at least half a second of calls.
template<typename Step> double secondsPerCall(Step step)
{
    using Clock = std::chrono::steady_clock;
    step();
    qint64 calls = 0;
    const auto start = Clock::now();
    auto now = start;
    while (now - start < std::chrono::milliseconds(500)) {
        step();
        ++calls;
        now = Clock::now();
    }
    return std::chrono::duration<double>(now - start).count() / double(calls);
}

void reportBytes(const char *what, const QByteArray &data, auto step)
{
    const double seconds = secondsPerCall(step);
    std::printf("%-52s %8.2f MB  %9.2f ms  %7.1f MB/s\n", what, double(data.size()) / 1e6, seconds * 1e3,
        double(data.size()) / seconds / 1e6);
}

void reportText(const char *what, const QString &text, auto step)
{
    std::printf("%-52s %8lld ch  %9.2f us\n", what, qlonglong(text.size()), secondsPerCall(step) * 1e6);
}

QByteArray filled(
    const QByteArray &head, const QByteArray &unit, qsizetype size, const QByteArray &tail = "}")
{
    QByteArray data = head;
    while (data.size() + unit.size() + tail.size() <= size)
        data += unit;
    return data + tail;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    volatile qsizetype sink = 0;
    const auto rtf = [&](const QByteArray &data) { return [&] { sink = RtfReader::read(data)->size(); }; };

    std::printf("RTF to text (limit %lld MiB)\n", qlonglong(RtfReader::maxInputSize / 1024 / 1024));
    const QByteArray document
        = filled("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Helvetica;}}{\\colortbl;\\red0\\green0\\blue0;}",
            "\\pard\\f0\\fs24 Plain text with {\\b bold} and {\\i caf\\'e9 \\u8364?} words.\\par\n"
            "{\\pict\\pngblip 89504e470d0a1a0a0000000d4948445200000010}\n",
            10'000'000);
    reportBytes("  document, 10 MB", document, rtf(document));
    const QByteArray limit = filled("{\\rtf1 ", "Plain words and more words. ", RtfReader::maxInputSize);
    reportBytes("  plain text at the size limit", limit, rtf(limit));
    const QByteArray deep = filled("{\\rtf1 ", "{", RtfReader::maxInputSize, "");
    reportBytes("  hostile: unclosed groups at the size limit", deep, rtf(deep));
    const QByteArray codePages
        = filled("{\\rtf1 ", "\\ansicpg99999 \\ansicpg1251 x", RtfReader::maxInputSize);
    reportBytes("  hostile: unknown code pages at the size limit", codePages, rtf(codePages));
    const QByteArray switches = filled("{\\rtf1 ", "\\ansicpg1251 x\\ansicpg1252 y", RtfReader::maxInputSize);
    reportBytes("  hostile: code page switches at the size limit", switches, rtf(switches));
    QByteArray cycle = "{\\rtf1 ";
    for (int codePage = 1; cycle.size() < RtfReader::maxInputSize - 20; codePage = codePage % 65535 + 1)
        cycle += "\\ansicpg" + QByteArray::number(codePage) + " x";
    cycle += "}";
    reportBytes("  hostile: every code page in turn at the limit", cycle, rtf(cycle));
    const QByteArray surrogates = filled("{\\rtf1 ", "\\u-10179?", RtfReader::maxInputSize);
    reportBytes("  hostile: lone surrogates at the size limit", surrogates, rtf(surrogates));

    const auto html = [&](const QByteArray &data) {
        return [&] { sink = DocumentText::fromHTML(data).value_or(QString()).size(); };
    };
    std::printf("HTML to text (limits %lld MiB, %d deep, %d list items)\n",
        qlonglong(HtmlBounds::maxBytes / 1024 / 1024), HtmlBounds::maxDepth, HtmlBounds::maxListItems);
    const QByteArray page = "<html><body>"
        + filled("", "<p>Some <b>bold</b> text with <a href=\"https://x.y/\">a link</a>.</p>\n", 100'000, "")
        + "</body></html>";
    reportBytes("  page, 100 kB", page, html(page));
    const QByteArray pageAtLimit = filled("", page, HtmlBounds::maxBytes, "");
    reportBytes("  pages at the size limit", pageAtLimit, html(pageAtLimit));
    const QByteArray nested
        = "<div>"_ba.repeated(HtmlBounds::maxDepth) + "x" + "</div>"_ba.repeated(HtmlBounds::maxDepth);
    const QByteArray nestings = filled("", nested, HtmlBounds::maxBytes, "");
    reportBytes("  hostile: nested to the limit, to the size limit", nestings, html(nestings));
    const QByteArray tables = filled("",
        "<table><tr><td>"_ba.repeated(HtmlBounds::maxDepth / 2) + "x"
            + "</td></tr></table>"_ba.repeated(HtmlBounds::maxDepth / 2),
        HtmlBounds::maxBytes, "");
    reportBytes("  hostile: tables nested to the limit, to the size limit", tables, html(tables));
    const QByteArray list = "<ul>" + "<li>item</li>"_ba.repeated(HtmlBounds::maxListItems) + "</ul>";
    reportBytes("  hostile: one list of the most items", list, html(list));
    const QByteArray tooDeep = "<ul><li>"_ba.repeated(20'000);
    reportBytes("  hostile: 20000 nested lists, refused", tooDeep, html(tooDeep));

    std::printf("Password heuristic\n");
    const QString password = u"Xk9#mQ2$vL7pWz"_s;
    reportText("  password", password, [&] { sink = PasswordHeuristic::looksLikePassword(password); });

    std::printf("Secret detection (limit %lld characters)\n", qlonglong(SecretDetector::maxExaminedLength));
    const QString prose
        = u"Lorem ipsum dolor sit amet, consectetur adipiscing elit. "_s.repeated(70).left(4000);
    reportText("  prose, 4000, no secret", prose, [&] { sink = SecretDetector::isSecret(prose); });
    const QString digits = u"1234 5678 9012 345 "_s.repeated(211).left(4000);
    reportText("  digit groups, 4000, no card", digits, [&] { sink = SecretDetector::isSecret(digits); });
    const QString tokens = u"eyJa"_s.repeated(1000);
    reportText(
        "  hostile: repeated token starts, 4000", tokens, [&] { sink = SecretDetector::isSecret(tokens); });
    const QString huge = prose.repeated(250);
    reportText("  over the limit, 1 M", huge, [&] { sink = SecretDetector::isSecret(huge); });

    std::printf("Link cleaning\n");
    const QString links
        = u"See https://example.com/a?id=1&utm_source=news#top and www.example.org/?q=2 now. "_s.repeated(
            12'000);
    reportText(
        "  24000 links, half tracked, 1 M", links, [&] { sink = LinkCleaner::cleanLinks(links).size(); });
    const QString closers = u"https://a.b/?utm_x=1"_s + u")"_s.repeated(1'000'000);
    reportText("  hostile: a million closing brackets", closers,
        [&] { sink = LinkCleaner::cleanLinks(closers).size(); });
    const QString schemes = u"a://"_s.repeated(250'000);
    reportText("  hostile: a million scheme marks", schemes,
        [&] { sink = LinkCleaner::cleanLinks(schemes).size(); });
    const QString webs = u"www.-"_s.repeated(200'000);
    reportText(
        "  hostile: www. without hosts, 1 M", webs, [&] { sink = LinkCleaner::cleanLinks(webs).size(); });
    return 0;
}
