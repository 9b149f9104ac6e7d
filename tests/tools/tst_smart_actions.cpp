#include "tools/QrCodeImage.h"
#include "tools/SmartActions.h"

#include <QTest>

#include <zbar.h>

using namespace Qt::StringLiterals;

namespace {

const QString coder = u"\U0001F469\u200D\U0001F4BB"_s;

QString kinds(const QList<SmartActionKind> &actions)
{
    QStringList raw;
    for (const SmartActionKind kind : actions)
        raw.append(rawValue(kind));
    return raw.join(u' ');
}

// What an independent decoder reads in the image, if anything.
QByteArray decoded(const QImage &image)
{
    QByteArray pixels;
    for (int y = 0; y < image.height(); ++y)
        pixels.append(reinterpret_cast<const char *>(image.constScanLine(y)), image.width());
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::Image zbarImage(
        unsigned(image.width()), unsigned(image.height()), "Y800", pixels.constData(), pixels.size());
    if (scanner.scan(zbarImage) <= 0)
        return {};
    return QByteArray::fromStdString(zbarImage.symbol_begin()->get_data());
}

} // namespace

class SmartActionsTest final : public QObject {
    Q_OBJECT

private slots:
    void detection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("actions");

        const QString caseActions = u"uppercase lowercase titlecase qrCode"_s;
        QTest::newRow("blanks only") << u" \t\n\u00a0"_s << QString();
        QTest::newRow("capital scheme, trimmed") << u"\n HTTPS://A.COM\t"_s << u"openURL qrCode"_s;
        QTest::newRow("link with a space") << u"https://a.com/x y"_s << caseActions;
        QTest::newRow("link with <") << u"https://a.com/<x>"_s << caseActions;
        QTest::newRow("200 characters") << QString(199, u'a') + coder << caseActions;
        QTest::newRow("201 characters") << QString(200, u'a') + coder << u"qrCode"_s;
        QTest::newRow("digits only") << u"12345"_s << u"qrCode"_s;
        QTest::newRow("1200 characters") << u"e\u0301"_s.repeated(1200) << u"qrCode"_s;
        QTest::newRow("1201 characters") << u"e\u0301"_s.repeated(1201) << QString();
        QTest::newRow("address with subdomain")
            << u"first.last@mail.example.co"_s << u"composeEmail "_s + caseActions;
        QTest::newRow("address with display name") << u"Jo <jo@example.com>"_s << caseActions;
    }

    void detection()
    {
        QFETCH(QString, text);
        QFETCH(QString, actions);
        QCOMPARE(kinds(SmartActions::smartActions(text)), actions);
    }

    void changeCase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("upper, full mapping") << u"uppercase"_s << u"straße"_s << u"STRASSE"_s;
        QTest::newRow("title keeps capitals") << u"titlecase"_s << u"hello WORLD"_s << u"Hello WORLD"_s;
        QTest::newRow("title keeps spaces") << u"titlecase"_s << u" a  b"_s << u" A  B"_s;
        QTest::newRow("title, full mapping") << u"titlecase"_s << u"ßa"_s << u"SSa"_s;
        QTest::newRow("title splits at spaces only") << u"titlecase"_s << u"a\tb\nc d"_s << u"A\tb\nc D"_s;
    }

    void changeCase()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(SmartActions::changeCase(*fromRawValue<SmartActionKind>(kind), text), expected);
    }

    void qrCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("version");

        // Digits would fit a smaller code in numeric mode; the bytes must not.
        QTest::newRow("14 bytes") << QString(14, u'7') << 3 << 1;
        QTest::newRow("15 bytes") << QString(15, u'7') << 3 << 2;
        QTest::newRow("15 bytes of UTF-8") << QString(7, u'é') + u'7' << 1 << 2;
        QTest::newRow("2331 bytes") << QString(2331, u'7') << 1 << 40;
        QTest::newRow("2332 bytes") << QString(2332, u'7') << 1 << 0;
        QTest::newRow("empty") << QString() << 1 << 0;
        QTest::newRow("scale 0") << u"a"_s << 0 << 0;
    }

    void qrCode()
    {
        QFETCH(QString, text);
        QFETCH(int, scale);
        QFETCH(int, version);
        const std::optional<QImage> image = qrCodeImage(text, scale);
        QCOMPARE(image.has_value(), version > 0);
        if (image)
            QCOMPARE(image->size(), QSize(25 + 4 * version, 25 + 4 * version) * scale);
    }

    void qrCodeReadsBack()
    {
        const QString text = u"Vantorell é ✓ https://example.com/?a=1&b=2"_s;
        QCOMPARE(QString::fromUtf8(decoded(*qrCodeImage(text, 4))), text);
    }
};

QTEST_GUILESS_MAIN(SmartActionsTest)
#include "tst_smart_actions.moc"
