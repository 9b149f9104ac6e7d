#include "platform/linux/DesktopEntryIndex.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

// Path below the temporary folder ("first/..." or "second/...") to content.
using Files = QMap<QString, QByteArray>;

namespace {

QByteArray application(const QByteArray &lines)
{
    return "[Desktop Entry]\nType=Application\n" + lines;
}

bool writeFiles(const QTemporaryDir &dir, const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!writeFile(dir.filePath(it.key()), it.value()))
            return false;
    }
    return true;
}

} // namespace

class DesktopEntryIndexTest : public QObject {
    Q_OBJECT

private slots:
    void windowClass_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");

        QTest::newRow("startup class beats a file named as the class")
            << Files {{u"first/tool.desktop"_s, application("Name=Plain\n")},
                   {u"first/org.example.Real.desktop"_s, application("Name=Real\nStartupWMClass=Tool\n")}}
            << u"C"_s << u"tool"_s << u"Tool"_s << u"org.example.Real"_s << u"Real"_s;
        QTest::newRow("file named as the class, any case")
            << Files {{u"first/gimp.desktop"_s, application("Name=GIMP\n")}} << u"C"_s << u"gimp"_s
            << u"Gimp"_s << u"gimp"_s << u"GIMP"_s;
        QTest::newRow("last part of a reverse-DNS id")
            << Files {{u"first/org.keepassxc.KeePassXC.desktop"_s, application("Name=KeePassXC\n")}} << u"C"_s
            << u"keepassxc"_s << u"KeePassXC"_s << u"org.keepassxc.KeePassXC"_s << u"KeePassXC"_s;
        QTest::newRow("subfolder joins the id with a dash")
            << Files {{u"first/kde/editor.desktop"_s, application("Name=Editor\n")}} << u"C"_s
            << u"kde-editor"_s << u"Kde-editor"_s << u"kde-editor"_s << u"Editor"_s;
        QTest::newRow("hidden in the first folder hides the second")
            << Files {{u"first/app.desktop"_s, application("Hidden=true\n")},
                   {u"second/app.desktop"_s, application("Name=System\n")}}
            << u"C"_s << u"app"_s << u"App"_s << QString() << QString();
        QTest::newRow("only applications")
            << Files {{u"first/site.desktop"_s, "[Desktop Entry]\nType=Link\nName=Site\n"_ba}} << u"C"_s
            << u"site"_s << u"Site"_s << QString() << QString();
        QTest::newRow("name for language")
            << Files {{u"first/app.desktop"_s, application("Name=Editor\nName[de]=Bearbeiter\n")}}
            << u"de_DE"_s << u"app"_s << u"App"_s << u"app"_s << u"Bearbeiter"_s;
        QTest::newRow("escapes, other groups, comments")
            << Files {{u"first/app.desktop"_s,
                   "# comment\n[Desktop Entry]\nType=Application\nName = Two\\sWords\\\\\n"
                   "[Desktop Action new]\nName=Action\n"_ba}}
            << u"C"_s << u"app"_s << u"App"_s << u"app"_s << u"Two Words\\"_s;
    }

    void windowClass()
    {
        QFETCH(Files, files);
        QFETCH(QString, locale);
        QFETCH(QString, instance);
        QFETCH(QString, className);
        QFETCH(QString, id);
        QFETCH(QString, name);

        QTemporaryDir dir;
        QVERIFY(writeFiles(dir, files));
        DesktopEntryIndex index({dir.filePath(u"first"_s), dir.filePath(u"second"_s)}, locale);
        const std::optional<DesktopEntryIndex::Entry> entry = index.entryForWindowClass(instance, className);
        QCOMPARE(entry ? entry->id : QString(), id);
        QCOMPARE(entry ? entry->name : QString(), name);
        if (entry)
            QCOMPARE(index.entryForId(id).value_or(DesktopEntryIndex::Entry {}).name, name);
    }

    void rescansAfterAChange()
    {
        QTemporaryDir dir;
        DesktopEntryIndex index({dir.filePath(u"applications"_s)}, u"C"_s);
        QVERIFY(!index.entryForId(u"late"_s));

        QVERIFY(writeFiles(dir, {{u"applications/late.desktop"_s, application("Name=Late\n")}}));
        // Folder times are coarse: make the change visible however quick the test.
        const QByteArray folder = QFile::encodeName(dir.filePath(u"applications"_s));
        const struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, folder.constData(), times, 0), 0);

        const std::optional<DesktopEntryIndex::Entry> entry = index.entryForId(u"late"_s);
        QVERIFY(entry);
        QCOMPARE(entry->name, u"Late"_s);
    }
};

QTEST_MAIN(DesktopEntryIndexTest)
#include "tst_desktopentryindex.moc"
