#include "DarkPalette.h"

#include "ui/design/DesignTokens.h"

#include <QGuiApplication>
#include <QMetaProperty>
#include <QPalette>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QColor token(const char *name)
{
    const QMetaObject *meta = DesignTokens::instance().metaObject();
    const int index = meta->indexOfProperty(name);
    return index < 0 ? QColor() : meta->property(index).read(&DesignTokens::instance()).value<QColor>();
}

const QStringList primaryBased {u"surface"_s, u"hover"_s, u"border"_s, u"surfaceStrong"_s};

} // namespace

class DesignTokensTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void colours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("expected");
        const auto srgb = [](float r, float g, float b, float a = 1) { return QColor::fromRgbF(r, g, b, a); };
        QTest::newRow("accent") << u"accent"_s << srgb(0.36f, 0.40f, 0.96f);
        QTest::newRow("accentAlt") << u"accentAlt"_s << srgb(0.54f, 0.36f, 0.96f);
        QTest::newRow("accentSoft") << u"accentSoft"_s << srgb(0.36f, 0.40f, 0.96f, 0.14f);
        QTest::newRow("selection") << u"selection"_s << srgb(0.36f, 0.40f, 0.96f, 0.16f);
        QTest::newRow("success") << u"success"_s << srgb(0.20f, 0.78f, 0.55f);
        QTest::newRow("warning") << u"warning"_s << srgb(0.98f, 0.66f, 0.20f);
        QTest::newRow("danger") << u"danger"_s << srgb(0.96f, 0.34f, 0.34f);
        QTest::newRow("kindText") << u"kindText"_s << srgb(0.42f, 0.46f, 0.99f);
        QTest::newRow("kindRichText") << u"kindRichText"_s << srgb(0.60f, 0.42f, 0.95f);
        QTest::newRow("kindImage") << u"kindImage"_s << srgb(0.22f, 0.70f, 0.62f);
        QTest::newRow("kindFile") << u"kindFile"_s << srgb(0.55f, 0.58f, 0.64f);
        // The default palette's text is black.
        QTest::newRow("surface") << u"surface"_s << srgb(0, 0, 0, 0.05f);
        QTest::newRow("hover") << u"hover"_s << srgb(0, 0, 0, 0.06f);
        QTest::newRow("border") << u"border"_s << srgb(0, 0, 0, 0.08f);
        QTest::newRow("surfaceStrong") << u"surfaceStrong"_s << srgb(0, 0, 0, 0.09f);
    }

    void colours()
    {
        QFETCH(QString, name);
        QFETCH(QColor, expected);
        QCOMPARE(token(name.toLatin1().constData()), expected);
    }

    void darkAppearanceChangesOnlyThePrimaryBasedColours()
    {
        const QMetaObject *meta = DesignTokens::instance().metaObject();
        QHash<QString, QColor> light;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            if (meta->property(i).metaType() == QMetaType::fromType<QColor>())
                light.insert(QString::fromLatin1(meta->property(i).name()), token(meta->property(i).name()));
        }
        QSignalSpy changed(&DesignTokens::instance(), &DesignTokens::appearanceChanged);

        QGuiApplication::setPalette(darkPalette());

        QCOMPARE(changed.count(), 1);
        for (auto it = light.cbegin(); it != light.cend(); ++it) {
            const QColor dark = token(it.key().toLatin1().constData());
            if (primaryBased.contains(it.key())) {
                QCOMPARE(dark.rgb(), QColor(Qt::white).rgb());
                QCOMPARE(dark.alphaF(), it.value().alphaF());
            } else if (it.key() != u"primary" && it.key() != u"secondary" && it.key() != u"panel"
                && it.key() != u"material") {
                QCOMPARE(dark, it.value());
            }
        }
        QCOMPARE(DesignTokens::instance().panel(), QColor(30, 30, 30));
    }

    void fonts_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<int>("weight");
        const DesignTokens &tokens = DesignTokens::instance();
        QTest::newRow("headline") << tokens.headline() << 15.0 << int(QFont::DemiBold);
        QTest::newRow("bodyEmphasis") << tokens.bodyEmphasis() << 13.0 << int(QFont::DemiBold);
        QTest::newRow("body") << tokens.body() << 13.0 << int(QFont::Normal);
        QTest::newRow("caption") << tokens.caption() << 11.0 << int(QFont::Normal);
        QTest::newRow("micro") << tokens.micro() << 10.0 << int(QFont::Medium);
    }

    // A design point is one device-independent pixel, whatever the screen's DPI.
    void fonts()
    {
        QFETCH(QFont, font);
        QFETCH(qreal, points);
        QFETCH(int, weight);
        const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
        QVERIFY(qAbs(font.pointSizeF() * dpi / 72.0 - points) < 1e-6);
        QCOMPARE(int(font.weight()), weight);
    }
};

QTEST_MAIN(DesignTokensTest)
#include "tst_designtokens.moc"
