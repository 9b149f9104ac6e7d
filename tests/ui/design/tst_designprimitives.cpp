#include "support/QuickScene.h"

#include "ui/design/ShadowLayer.h"
#include "ui/design/ShapePath.h"
#include "ui/design/SurfaceShape.h"
#include "ui/design/SymbolImage.h"
#include "ui/design/Symbols.h"

#include <QDirIterator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString describe(QColor color)
{
    return u"rgba(%1, %2, %3, %4)"_s.arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha());
}

} // namespace

class DesignPrimitivesTest : public QObject {
    Q_OBJECT

private slots:
    void strokeLiesInsideTheEdge()
    {
        QuickScene scene;
        QVERIFY(
            scene.load(u"SurfaceShape { width: 40; height: 40; strokeColor: 'red'; strokeWidth: 2 }"_s, 4));
        const QImage image = scene.grab();
        QCOMPARE(image.pixelColor(4, 24), QColor(Qt::red));
        QCOMPARE(image.pixelColor(5, 24), QColor(Qt::red));
        QCOMPARE(image.pixelColor(6, 24), QColor(Qt::white));
        QCOMPARE(image.pixelColor(3, 24), QColor(Qt::white));
        QCOMPARE(image.pixelColor(44, 24), QColor(Qt::white));
    }

    // A radius of 999 draws semicircular ends at any height below 1998 points.
    void largeRadiusGivesACapsule_data()
    {
        QTest::addColumn<qreal>("height");
        QTest::newRow("chip") << 24.0;
        QTest::newRow("just below") << 1997.0;
    }

    void largeRadiusGivesACapsule()
    {
        QFETCH(qreal, height);
        const QRectF bounds(0, 0, height * 3, height);
        const QPainterPath path = ShapePath::roundedRectangle(bounds, 999);
        const qreal r = height / 2;
        const QPointF onEnd = QPointF(r, r) + r * 0.999 * QPointF(-std::cos(M_PI / 4), -std::sin(M_PI / 4));
        QVERIFY(path.contains(onEnd));
        QVERIFY(!path.contains(QPointF(r, r) + r * 1.01 * QPointF(-std::cos(M_PI / 4), -std::sin(M_PI / 4))));
        QCOMPARE(path.boundingRect(), bounds);
    }

    void shadowFallsOutsideTheShapeAndIsMadeOnce()
    {
        QuickScene scene;
        auto *shape = qobject_cast<SurfaceShape *>(scene.load(
            u"SurfaceShape { width: 60; height: 60; color: 'white'; cornerRadius: 12;"
            u" shadowColor: Qt.rgba(0, 0, 1, 0.5); shadowRadius: 10; shadowOffset: Qt.point(0, 5) }"_s,
            30));
        QVERIFY(shape);
        QImage image = scene.grab();
        const QColor below = image.pixelColor(60, 30 + 60 + 4);
        QVERIFY2(below.blue() > below.red() + 10, qPrintable(describe(below)));
        const QColor inside = image.pixelColor(60, 60);
        QCOMPARE(inside, QColor(Qt::white));
        QVERIFY(shape->shadowLayer());
        QCOMPARE(shape->shadowLayer()->renders(), 1);

        shape->setColor(Qt::yellow);
        image = scene.grab();
        QCOMPARE(shape->shadowLayer()->renders(), 1);

        shape->setWidth(80);
        image = scene.grab();
        QCOMPARE(shape->shadowLayer()->renders(), 2);

        shape->setShadowColor(Qt::transparent);
        QVERIFY(!shape->shadowLayer());
    }

    void unknownSymbolShowsNothing()
    {
        for (const QString &name : {u"no.such.symbol"_s, u"../symbols/magnifyingglass"_s}) {
            QVERIFY(Symbols::resourcePath(name).isEmpty());
            SymbolImage symbol;
            symbol.setName(name);
            QVERIFY(!symbol.isValid());
            QCOMPARE(symbol.implicitWidth(), 0.0);
        }
    }

    void everySymbolIsATintableImage()
    {
        QDirIterator files(u":/symbols"_s, {u"*.svg"_s});
        int count = 0;
        while (files.hasNext()) {
            const QString file = files.next();
            QCOMPARE(Symbols::resourcePath(QFileInfo(file).completeBaseName()), file);
            const QImage image = SymbolImage::render(file, QSize(32, 32), Qt::green);
            int tinted = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (pixel.alpha() == 255) {
                        QCOMPARE(pixel, QColor(Qt::green));
                        ++tinted;
                    }
                }
            }
            QVERIFY2(tinted > 20, qPrintable(file));
            ++count;
        }
        QVERIFY(count > 10);
    }
};

QTEST_MAIN(DesignPrimitivesTest)
#include "tst_designprimitives.moc"
