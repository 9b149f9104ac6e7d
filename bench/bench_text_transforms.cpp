// Offering transforms runs every probe on the main thread; the worst case is
// a JSON text just under the 256,000-byte offering limit.
#include "tools/TextTransform.h"

#include <QElapsedTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double millisecondsFor(const auto &work)
{
    QElapsedTimer timer;
    timer.start();
    constexpr int runs = 20;
    for (int i = 0; i < runs; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1e6 / runs;
}

} // namespace

int main()
{
    QString json = u"["_s;
    while (json.toUtf8().size() < 250'000)
        json += u"{\"id\": 12345, \"name\": \"entry ü\", \"tags\": [\"a\", \"b\"], \"empty\": {}},\n"_s;
    json += u"{}]"_s;
    const QString lines = QString(json).replace(u",\n"_s, u"\n"_s);

    qsizetype offered = 0;
    std::printf("text: %lld UTF-8 bytes of JSON\n", static_cast<long long>(json.toUtf8().size()));
    std::printf("applicableTransforms (JSON): %.1f ms\n",
        millisecondsFor([&] { offered = TextTransform::applicableTransforms(json).size(); }));
    std::printf("applicableTransforms (lines): %.1f ms\n",
        millisecondsFor([&] { offered = TextTransform::applicableTransforms(lines).size(); }));
    std::printf("prettyJSON apply: %.1f ms\n",
        millisecondsFor([&] { offered = TextTransform(TextTransform::prettyJSON).apply(json)->size(); }));
    std::printf("sortLines apply: %.1f ms\n",
        millisecondsFor([&] { offered = TextTransform(TextTransform::sortLines).apply(lines)->size(); }));
    return offered > 0 ? 0 : 1;
}
