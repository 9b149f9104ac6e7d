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

    // A design point is one device-independent pixel, whatever the screen's DPI.
    void fontSizesAreInDevicePixels()
    {
        const QFont font = DesignTokens::instance().systemFont(15, QFont::DemiBold);
        const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
        QVERIFY(qAbs(font.pointSizeF() * dpi / 72.0 - 15) < 1e-6);
    }
};

QTEST_MAIN(DesignTokensTest)
#include "tst_designtokens.moc"
