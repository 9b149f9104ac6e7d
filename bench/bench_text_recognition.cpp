// Text recognition of 1920x1080 screenshot-like images, one in English and
// one in Russian, on a thread of its own as in the program: the first call
// (which loads the module and starts the thread's engine), warm calls on the
// same thread, and the resident memory added by the first call and left
// once the thread has ended.
// Run offscreen; for a one-core figure: OMP_THREAD_LIMIT=1 taskset -c 0.
#include "tools/TextRecognition.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QStringList englishBody {
    u"The meeting moved to Thursday at 10:30 in room 4B."_s,
    u"Please send the revised budget before the end of the week."_s,
    u"Shipping costs rose by 12 percent compared with last year."_s,
    u"Contact support@example.com with any questions."_s,
};

const QStringList russianBody {
    u"Встреча перенесена на четверг, 10:30, комната 4Б."_s,
    u"Пожалуйста, пришлите исправленный бюджет до пятницы."_s,
    u"Расходы на доставку выросли на 12 процентов."_s,
    u"Вопросы направляйте по адресу support@example.com."_s,
};

QByteArray screenshot(const QStringList &body)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(0, 0, 1920, 32, QColor(40, 40, 48));
    painter.fillRect(0, 32, 260, 1048, QColor(222, 224, 228));
    painter.fillRect(320, 90, 1500, 900, Qt::white);

    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(12, 22, u"Terminal - build logs"_s);
    painter.setPen(QColor(30, 30, 30));
    const QStringList sidebar {u"Inbox"_s, u"Drafts"_s, u"Archive"_s, u"Settings"_s};
    for (int i = 0; i < sidebar.size(); ++i)
        painter.drawText(24, 80 + 32 * i, sidebar[i]);

    font.setPixelSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(360, 160, u"Quarterly report for the northern office"_s);
    font.setPixelSize(16);
    font.setBold(false);
    painter.setFont(font);
    for (int i = 0; i < body.size(); ++i)
        painter.drawText(360, 230 + 34 * i, body[i]);
    painter.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

double residentMiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // A file of /proc has no size, so it is read whole rather than to its end.
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

double secondsFor(const QByteArray &png, std::optional<QString> *text)
{
    QElapsedTimer timer;
    timer.start();
    *text = TextRecognition::recognizeText(png);
    return double(timer.nsecsElapsed()) / 1e9;
}

void printWarmCalls(const QByteArray &png, std::optional<QString> *text)
{
    QList<double> warm;
    for (int i = 0; i < 7; ++i)
        warm.append(secondsFor(png, text));
    std::sort(warm.begin(), warm.end());
    std::printf("  warm calls: median %.3f s, min %.3f s, max %.3f s (%lld runs)\n", warm[warm.size() / 2],
        warm.first(), warm.last(), static_cast<long long>(warm.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QByteArray english = screenshot(englishBody);
    const QByteArray russian = screenshot(russianBody);
    const double residentBefore = residentMiB();
    std::thread reading([&] {
        std::optional<QString> text;
        const double first = secondsFor(english, &text);
        const double residentAfter = residentMiB();
        std::printf("first call: %.3f s\n", first);
        std::printf("resident memory: %.1f MiB before the first call, %.1f MiB after (+%.1f MiB)\n",
            residentBefore, residentAfter, residentAfter - residentBefore);
        const std::pair<const char *, QByteArray> images[] {{"English", english}, {"Russian", russian}};
        for (const auto &[language, png] : images) {
            std::printf("%s, 1920x1080 PNG, %lld bytes\n", language, static_cast<long long>(png.size()));
            printWarmCalls(png, &text);
            std::printf("  recognised:\n%s\n", qPrintable(text.value_or(u"<none>"_s)));
        }
    });
    reading.join();
    const double residentLeft = residentMiB();
    std::printf("resident memory once the thread has ended: %.1f MiB (+%.1f MiB)\n", residentLeft,
        residentLeft - residentBefore);
    return 0;
}
