#include "tools/TextRecognition.h"

#include "base/Log.h"
#include "support/TestImages.h"

#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;

namespace {

QImage renderedLines(const QStringList &lines, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(900, 120 + 110 * int(lines.size()), format);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(64);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(40, 120 + 110 * i, lines[i]);
    return image;
}

// Per word, the scripts of its letters ("Latin", "Cyrillic+Latin", "").
QStringList wordScripts(const QString &text)
{
    QStringList scripts;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        QStringList names;
        for (const QChar c : word) {
            const QString name = c.script() == QChar::Script_Latin ? u"Latin"_s
                : c.script() == QChar::Script_Cyrillic             ? u"Cyrillic"_s
                : c.script() == QChar::Script_Greek                ? u"Greek"_s
                                                                   : QString();
            if (!name.isEmpty() && !names.contains(name))
                names.append(name);
        }
        names.sort();
        scripts.append(names.join(u'+'));
    }
    return scripts;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot encode test image");
    return bytes;
}

std::optional<QString> recognizedInPool(const QByteArray &bytes)
{
    auto future = TextRecognition::recognizeTextAsync(bytes);
    future.waitForFinished();
    return future.result();
}

} // namespace

class TextRecognitionTest final : public QObject {
    Q_OBJECT

private slots:
    void readsRenderedLinesInOrder_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one paragraph")
            << QStringList {u"Hello World"_s, u"Second line 42"_s} << u"Hello World\nSecond line 42"_s;
        QTest::newRow("blocks far apart") << QStringList {u"Hello World"_s, QString(), QString(),
            u"Far Below"_s} << u"Hello World\nFar Below"_s;
        QTest::newRow("German") << QStringList {u"Grüße aus München"_s} << u"Grüße aus München"_s;
        QTest::newRow("Cyrillic") << QStringList {u"Привет из Москвы"_s} << u"Привет из Москвы"_s;
        QTest::newRow("Greek") << QStringList {u"Γειά σου κόσμε"_s} << u"Γειά σου κόσμε"_s;
        QTest::newRow("Latin and Cyrillic in one line")
            << QStringList {u"Report Отчёт 2024"_s} << u"Report Отчёт 2024"_s;
    }

    void readsRenderedLinesInOrder()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, expected);
        const QByteArray png = encoded(renderedLines(lines), "PNG");
        QCOMPARE(recognizedInPool(png).value_or(u"<none>"_s), expected);
    }

    // Read with the three script models together, short capitals and
    // accented Latin words came back in Cyrillic or Greek look-alikes, and
    // Greek words in Latin or Cyrillic ones.
    void readsEachWordInItsScript_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font");
        QTest::addColumn<int>("pixelSize");
        // Whether the line reads exactly as drawn, accents included.
        QTest::addColumn<bool>("asDrawn");
        const QString sans = u"DejaVu Sans"_s;
        const QString serif = u"DejaVu Serif"_s;
        QTest::newRow("English capitals") << u"BETA TWO"_s << sans << 22 << false;
        QTest::newRow("German") << u"Fußgänger müssen hier warten"_s << sans << 32 << false;
        QTest::newRow("French capitals") << u"ÇA COÛTE QUINZE EUROS"_s << sans << 15 << false;
        QTest::newRow("Polish capitals") << u"PROSZĘ ZAMKNĄĆ DRZWI"_s << sans << 15 << false;
        QTest::newRow("Polish, a look-alike word")
            << u"Pchnąć w tę łódź jeża lub ośm skrzyń fig"_s << serif << 22 << false;
        QTest::newRow("Czech") << u"Příliš žluťoučký kůň úpěl ďábelské ódy"_s << sans << 15 << false;
        QTest::newRow("Spanish") << u"Él llegó tarde por el tráfico"_s << sans << 22 << false;
        QTest::newRow("Russian capitals") << u"СПАСИБО ЗА БЫСТРЫЙ ОТВЕТ"_s << sans << 22 << false;
        QTest::newRow("Greek") << u"Η συνάντηση μεταφέρθηκε την Πέμπτη"_s << serif << 15 << false;
        QTest::newRow("Greek capitals") << u"ΕΥΧΑΡΙΣΤΩ ΓΙΑ ΤΗ ΓΡΗΓΟΡΗ ΑΠΑΝΤΗΣΗ"_s << serif << 15 << false;
        // The Greek model put breathings on modern Greek and a full stop
        // after a closely cut line; small capitals came back as look-alikes.
        QTest::newRow("Greek, modern accents") << u"Ο καιρός σήμερα είναι ζεστός"_s << sans << 22 << true;
        QTest::newRow("Greek, article") << u"Η συνάντηση μεταφέρθηκε την Πέμπτη"_s << serif << 15 << true;
        QTest::newRow("Greek, small capitals") << u"ΓΕΙΑ ΣΟΥ ΚΟΣΜΕ"_s << serif << 15 << true;
        QTest::newRow("Greek capitals to the end")
            << u"ΞΕΣΚΕΠΑΖΩ ΤΗΝ ΨΥΧΟΦΘΟΡΑ ΒΔΕΛΥΓΜΙΑ"_s << serif << 15 << true;
    }

    void readsEachWordInItsScript()
    {
        QFETCH(QString, text);
        QFETCH(QString, font);
        QFETCH(int, pixelSize);
        QFETCH(bool, asDrawn);
        const QString read
            = recognizedInPool(encodedImage(textLinePicture(text, font, pixelSize))).value_or(u"<none>"_s);
        QVERIFY2(wordScripts(read) == wordScripts(text), qPrintable(read));
        if (asDrawn)
            QCOMPARE(read, text);
    }

    void readsTextOnTransparentBackground()
    {
        QImage image = renderedLines({u"Clear Glass"_s}, QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qGray(row[x]) > 128 ? qRgba(0, 0, 0, 0) : qRgba(0, 0, 0, 255);
        }
        QCOMPARE(recognizedInPool(encoded(image, "PNG")).value_or(u"<none>"_s), u"Clear Glass"_s);
    }

    void givesNothingWithoutText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QImage blank(800, 600, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QTest::newRow("blank PNG") << encoded(blank, "PNG");
        QTest::newRow("junk") << QByteArray("\x89PNG but not really an image at all", 34);
        QTest::newRow("empty") << QByteArray();
    }

    void givesNothingWithoutText()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!recognizedInPool(bytes));
    }

    void readsWithTheModelsInstalled_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("missing");
        QTest::newRow("no Latin model: English by the English one")
            << QStringList {u"eng"_s, u"Cyrillic"_s} << u"Hello World"_s << u"Latin, Greek"_s;
        QTest::newRow("no model") << QStringList {} << u"<none>"_s << u"Latin, Cyrillic, Greek, eng"_s;
    }

    void readsWithTheModelsInstalled()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        QFETCH(QString, missing);
        QTemporaryDir models;
        for (const QString &model : std::as_const(installed)) {
            const QString file = model + u".traineddata"_s;
            QVERIFY(
                QFile::link(QDir(QStringLiteral(VT_TESSERACT_MODELS)).filePath(file), models.filePath(file)));
        }
        const QByteArray png = encoded(renderedLines({u"Hello World"_s}), "PNG");
        QStringList logged;
        const Log::Sink previousSink = Log::setSink([&logged](const QString &line) { logged.append(line); });
        qputenv("TESSDATA_PREFIX", QFile::encodeName(models.path() + u'/'));
        // Each thread starts its own engine, from the models there.
        std::optional<QString> text;
        std::thread reading([&] { text = TextRecognition::recognizeText(png); });
        reading.join();
        qunsetenv("TESSDATA_PREFIX");
        Log::setSink(previousSink);
        QCOMPARE(text.value_or(u"<none>"_s), expected);
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged.first().contains(missing), qPrintable(logged.first()));
    }

    void runsOnManyThreadsAtOnce()
    {
        const QByteArray png = encoded(renderedLines({u"Parallel"_s}), "PNG");
        QList<QFuture<std::optional<QString>>> futures;
        for (int i = 0; i < 4; ++i)
            futures.append(TextRecognition::recognizeTextAsync(png));
        for (auto &future : futures)
            QCOMPARE(future.result().value_or(u"<none>"_s), u"Parallel"_s);
    }
};

QTEST_MAIN(TextRecognitionTest)
#include "tst_text_recognition.moc"
