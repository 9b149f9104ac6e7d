#include "Appearance.h"
#include "GalleryWriter.h"

#include "ui/design/SceneGraphBackend.h"

#include <QCommandLineParser>
#include <QDirIterator>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QStringList pageNames()
{
    QStringList pages;
    QDirIterator files(u":/qt-project.org/imports/Vantorell/Gallery"_s, {u"*Page.qml"_s});
    while (files.hasNext())
        pages << QFileInfo(files.next()).baseName();
    pages.sort();
    return pages;
}

} // namespace

int main(int argc, char *argv[])
{
    QQuickStyle::setStyle(u"Basic"_s);
    SceneGraphBackend::choose();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(u"Vantorell Gallery"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Every design component in its states."_s);
    parser.addHelpOption();
    const QCommandLineOption dark(u"dark"_s, u"Show the dark appearance."_s);
    parser.addOption(dark);
    parser.addPositionalArgument(u"folder"_s, u"Write <component>-light.png and -dark.png here and quit."_s);
    parser.process(app);

    const QStringList pages = pageNames();
    QQmlApplicationEngine engine;
    if (!parser.positionalArguments().isEmpty()) {
        const QDir folder(parser.positionalArguments().constFirst());
        if (!folder.mkpath(u"."_s)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
            return 1;
        }
        GalleryWriter writer(engine, folder);
        const bool written = writer.write(pages, u"light"_s, Appearance::light())
            && writer.write(pages, u"dark"_s, Appearance::dark());
        return written ? 0 : 1;
    }

    QGuiApplication::setPalette(parser.isSet(dark) ? Appearance::dark() : Appearance::light());
    engine.setInitialProperties({{u"pages"_s, pages}});
    engine.load(QUrl(u"qrc:/qt-project.org/imports/Vantorell/Gallery/Gallery.qml"_s));
    if (engine.rootObjects().isEmpty())
        return 1;
    return QGuiApplication::exec();
}
