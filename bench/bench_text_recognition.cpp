// Text recognition of a 1920x1080 screenshot-like image: the first call
// (which starts the thread's engine) and warm calls on the same thread.
// Run offscreen; for a one-core figure: OMP_THREAD_LIMIT=1 taskset -c 0.
#include "tools/TextRecognition.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QByteArray screenshot()
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
    const QStringList body {
        u"The meeting moved to Thursday at 10:30 in room 4B."_s,
        u"Please send the revised budget before the end of the week."_s,
        u"Shipping costs rose by 12 percent compared with last year."_s,
        u"Contact support@example.com with any questions."_s,
    };
    for (int i = 0; i < body.size(); ++i)
        painter.drawText(360, 230 + 34 * i, body[i]);
    painter.end();

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

double secondsFor(const QByteArray &png, std::optional<QString> *text)
{
    QElapsedTimer timer;
    timer.start();
    *text = TextRecognition::recognizeText(png);
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QByteArray png = screenshot();
    std::optional<QString> text;
    const double first = secondsFor(png, &text);
    QList<double> warm;
    for (int i = 0; i < 7; ++i)
        warm.append(secondsFor(png, &text));
    std::sort(warm.begin(), warm.end());
    std::printf("image: 1920x1080 PNG, %lld bytes\n", static_cast<long long>(png.size()));
    std::printf("first call: %.3f s\n", first);
    std::printf("warm calls: median %.3f s, min %.3f s, max %.3f s (%lld runs)\n", warm[warm.size() / 2],
        warm.first(), warm.last(), static_cast<long long>(warm.size()));
    std::printf("recognised:\n%s\n", qPrintable(text.value_or(u"<none>"_s)));
    return 0;
}
