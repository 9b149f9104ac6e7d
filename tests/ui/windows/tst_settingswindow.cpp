#include "SettingsWindowFixture.h"

#include "../design/DarkPalette.h"
#include "platform/ShortcutNames.h"
#include "support/QuickScene.h"
#include "support/TestEntries.h"
#include "ui/design/Symbols.h"
#include "ui/menubar/SettingsSection.h"
#include "ui/windows/settings/AboutTab.h"
#include "ui/windows/settings/HotkeyKeys.h"
#include "ui/windows/settings/HotkeyRecorder.h"
#include "ui/windows/settings/SecuritySettingsTab.h"
#include "ui/windows/settings/SettingsViewModel.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

using HotkeyKeys::Outcome;
using HotkeyKeys::Press;
using HotkeyKeys::Result;

namespace {

const QString folder = u":/qt-project.org/imports/Vantorell/Windows/settings"_s;

QUrl fileUrl(const QString &type)
{
    return QUrl(u"qrc"_s + folder + u"/"_s + type + u".qml"_s);
}

} // namespace

class SettingsWindowTest final : public QObject {
    Q_OBJECT

    SettingsWindowFixture m_f {false};

    // A section's page, made as the window makes it.
    std::unique_ptr<QObject> loadPage(QQmlEngine &engine, const QString &type)
    {
        QQmlComponent component(&engine, fileUrl(type));
        std::unique_ptr<QObject> page(component.createWithInitialProperties(
            {{u"settings"_s, QVariant::fromValue<QObject *>(&m_f.settings())},
                {u"context"_s, QVariant::fromValue<QObject *>(&m_f.context)}}));
        if (!page)
            qWarning() << component.errorString();
        return page;
    }

    QVariantMap windowProperties(const QString &section)
    {
        return {{u"appState"_s, QVariant::fromValue<QObject *>(&m_f.appState)},
            {u"settings"_s, QVariant::fromValue<QObject *>(&m_f.settings())}, {u"section"_s, section},
            {u"context"_s, QVariant::fromValue<QObject *>(&m_f.context)}};
    }

    // A section's page, made as the window makes it, in an active window of
    // its own.
    static std::unique_ptr<QObject> showPage(
        QQmlEngine &engine, QQuickWindow &window, SettingsWindowFixture &f, const QString &type)
    {
        QQmlComponent component(&engine, fileUrl(type));
        std::unique_ptr<QObject> page(component.createWithInitialProperties(
            {{u"settings"_s, QVariant::fromValue<QObject *>(&f.settings())},
                {u"context"_s, QVariant::fromValue<QObject *>(&f.context)}}));
        auto *item = qobject_cast<QQuickItem *>(page.get());
        if (!item)
            return nullptr;
        item->setParentItem(window.contentItem());
        item->setSize({540, 500});
        window.resize(540, 500);
        window.show();
        window.requestActivate();
        if (!QTest::qWaitForWindowActive(&window))
            return nullptr;
        return page;
    }

private slots:
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void sectionLookup_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<bool>("found");
        for (const auto &[section, raw] : RawValueTable<SettingsSection>::entries)
            QTest::addRow("%s", qPrintable(raw.toString())) << raw.toString() << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("a title") << u"General"_s << false;
        QTest::newRow("a space first") << u" general"_s << false;
    }

    void sectionLookup()
    {
        QFETCH(QString, raw);
        QFETCH(bool, found);
        const std::optional<SettingsSection> section = fromRawValue<SettingsSection>(raw);
        QCOMPARE(section.has_value(), found);
        if (found)
            QCOMPARE(rawValue(*section), raw);
    }

    void keyHandler_data()
    {
        QTest::addColumn<Press>("press");
        QTest::addColumn<Result>("result");
        // The display under the desktop's key names.
        QTest::addColumn<QString>("shown");
        const Qt::KeyboardModifiers command = Qt::MetaModifier;
        const Qt::KeyboardModifiers all
            = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;
        const Result refuse {Outcome::refuse};
        QTest::newRow("⌥K") << Press {Qt::Key_K, 40, Qt::AltModifier} << refuse << QString();
        QTest::newRow("⇧K") << Press {Qt::Key_K, 40, Qt::ShiftModifier} << refuse << QString();
        QTest::newRow("⌃K") << Press {Qt::Key_K, 40, Qt::ControlModifier}
                            << Result {Outcome::capture, 40, 0x40000, u"⌃K"_s} << u"Ctrl+K"_s;
        QTest::newRow("⌘C") << Press {Qt::Key_C, 8, command} << refuse << QString();
        QTest::newRow("⇧⌘C") << Press {Qt::Key_C, 8, command | Qt::ShiftModifier}
                             << Result {Outcome::capture, 8, 0x120000, u"⇧⌘C"_s} << u"Super+Shift+C"_s;
        QTest::newRow("⌃C, the desktop's copy")
            << Press {Qt::Key_C, 8, Qt::ControlModifier} << refuse << QString();
        QTest::newRow("⌃⇧C") << Press {Qt::Key_C, 8, Qt::ControlModifier | Qt::ShiftModifier}
                             << Result {Outcome::capture, 8, 0x60000, u"⌃⇧C"_s} << u"Ctrl+Shift+C"_s;
        QTest::newRow("⌘Space") << Press {Qt::Key_Space, 49, command} << refuse << QString();
        QTest::newRow("⌘↩") << Press {Qt::Key_Return, 36, command}
                            << Result {Outcome::capture, 36, 0x100000, u"⌘↩"_s} << u"Super+Return"_s;
        QTest::newRow("⌃⌥⇧⌘F1") << Press {Qt::Key_F1, 122, all}
                                << Result {Outcome::capture, 122, 0x1e0000, u"⌃⌥⇧⌘F1"_s}
                                << u"Super+Ctrl+Alt+Shift+F1"_s;
        QTest::newRow("Home has no name")
            << Press {Qt::Key_Home, 115, Qt::ControlModifier}
            << Result {Outcome::capture, 115, 0x40000, u"⌃Key115"_s} << u"Ctrl+Key115"_s;
        QTest::newRow("code 10 has no name")
            << Press {Qt::Key_section, 10, command} << Result {Outcome::capture, 10, 0x100000, u"⌘Key10"_s}
            << u"Super+Key10"_s;
        QTest::newRow("a key the table lacks")
            << Press {Qt::Key_Print, std::nullopt, Qt::ControlModifier} << refuse << QString();
        QTest::newRow("a modifier alone") << Press {Qt::Key_Control, std::nullopt, Qt::ControlModifier}
                                          << Result {Outcome::ignore} << QString();
        QTest::newRow("Caps Lock") << Press {Qt::Key_CapsLock, std::nullopt, {}} << Result {Outcome::ignore}
                                   << QString();
        QTest::newRow("Esc, also with modifiers")
            << Press {Qt::Key_Escape, 53, Qt::ControlModifier} << Result {Outcome::cancel} << QString();
    }

    void keyHandler()
    {
        QFETCH(Press, press);
        QFETCH(Result, result);
        QFETCH(QString, shown);
        QCOMPARE(HotkeyKeys::handle(press), result);
        QCOMPARE(ShortcutNames::shown(result.display), shown);
    }

    // A click records; the owner's own changes wait until recording ends;
    // Escape ends it with nothing handed over.
    void recorderStates()
    {
        QuickScene scene;
        auto *recorder = qobject_cast<HotkeyRecorder *>(
            scene.load(u"import Vantorell.Windows\nHotkeyRecorder { display: \"⌘⇧V\" }"_s));
        QVERIFY(recorder && scene.showAndActivate());
        // The stored order is not the desktop's.
        QCOMPARE(recorder->shownText(), u"Super+Shift+V"_s);
        recorder->setKeyCodeMap(&m_f.keyCodeMap);
        m_f.keyCodeMap.keys = {{9, 53}, {45, 40}};
        QSignalSpy captured(recorder, &HotkeyRecorder::captured);
        const auto press = [&](quint32 scanCode, Qt::KeyboardModifiers modifiers) {
            QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, modifiers, scanCode, 0, 0);
            QCoreApplication::sendEvent(recorder, &event);
        };

        press(45, Qt::ControlModifier);
        QVERIFY(captured.isEmpty());

        QTest::mouseClick(&scene.window(), Qt::LeftButton, {}, QPoint(70, 12));
        QVERIFY(recorder->isRecording() && recorder->hasActiveFocus());
        recorder->setDisplay(u"⌃K"_s);
        QCOMPARE(recorder->shownText(), u"Super/Ctrl + key…"_s);
        press(9, {});
        QVERIFY(!recorder->isRecording() && !recorder->hasActiveFocus());
        QVERIFY(captured.isEmpty());
        QCOMPARE(recorder->shownText(), u"Ctrl+K"_s);
    }

    void everyFileLoadsWithoutWarnings_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("section");
        QTest::addColumn<bool>("dark");
        QDirIterator files(folder, {u"*.qml"_s});
        QStringList types;
        while (files.hasNext())
            types << QFileInfo(files.next()).baseName();
        QVERIFY(types.contains(u"SettingsView"_s));
        for (const bool dark : {false, true}) {
            const char *appearance = dark ? "dark" : "light";
            for (const QString &type : std::as_const(types)) {
                if (type != u"SettingsView")
                    QTest::addRow("%s %s", qPrintable(type), appearance) << type << QString() << dark;
            }
            for (const auto &[value, raw] : RawValueTable<SettingsSection>::entries) {
                QTest::addRow("SettingsView on %s %s", qPrintable(raw.toString()), appearance)
                    << u"SettingsView"_s << raw.toString() << dark;
            }
        }
    }

    void everyFileLoadsWithoutWarnings()
    {
        QFETCH(QString, type);
        QFETCH(QString, section);
        QFETCH(bool, dark);
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        if (dark)
            QGuiApplication::setPalette(darkPalette());
        QVariantMap properties;
        if (type == u"SettingsView")
            properties = windowProperties(section);
        else if (type.endsWith(u"Page"))
            properties = {{u"settings"_s, QVariant::fromValue<QObject *>(&m_f.settings())},
                {u"context"_s, QVariant::fromValue<QObject *>(&m_f.context)}};
        QQmlEngine engine;
        QQmlComponent component(&engine, fileUrl(type));
        std::unique_ptr<QObject> object(component.createWithInitialProperties(properties));
        QVERIFY2(object, qPrintable(component.errorString()));
        QQuickWindow window;
        auto *item = qobject_cast<QQuickItem *>(object.get());
        QVERIFY(item);
        item->setParentItem(window.contentItem());
        item->setSize({780, 560});
        window.resize(780, 560);
        window.show();
        QVERIFY(!window.grabWindow().isNull());
    }

    // Cancel is the default: Return keeps everything; only the destructive
    // button erases. Answered by keyboard, the dialog gives the keyboard
    // back to the button that opened it.
    void eraseAllAnswersReturnWithCancel()
    {
        SettingsWindowFixture f;
        QQmlEngine engine;
        QQuickWindow window;
        const std::unique_ptr<QObject> page = showPage(engine, window, f, u"SecuritySettingsPage"_s);
        QVERIFY(page);
        auto *tab = page->findChild<SecuritySettingsTab *>();
        QObject *dialog = page->findChild<QObject *>(u"eraseAll"_s);
        auto *opener = page->findChild<QQuickItem *>(u"eraseAllData"_s);
        QVERIFY(tab && dialog && opener);

        for (const Qt::Key answer : {Qt::Key_Return, Qt::Key_Escape}) {
            opener->forceActiveFocus(Qt::TabFocusReason);
            QTest::keyClick(&window, Qt::Key_Space);
            QTRY_VERIFY(dialog->property("opened").toBool());
            QTest::keyClick(&window, answer);
            QTRY_VERIFY(!tab->showResetConfirm());
            QTRY_COMPARE(window.activeFocusItem(), opener);
        }
        QVERIFY(f.keys.hasMasterKey());

        tab->setShowResetConfirm(true);
        QTRY_VERIFY(dialog->property("opened").toBool());
        auto *erase = dialog->property("footer").value<QObject *>()->findChild<QQuickItem *>(u"erase"_s);
        QVERIFY(erase);
        QTest::mouseClick(&window, Qt::LeftButton, {},
            erase->mapToScene(QPointF(erase->width() / 2, erase->height() / 2)).toPoint());
        QVERIFY(!tab->showResetConfirm());
        QVERIFY(!f.keys.hasMasterKey());
    }

    // A picker writes the value of the label chosen; a stored value that is
    // none of its choices selects nothing and stays as it is.
    void pickers_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("picker");
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<qint64>("stored");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<qint64>("value");
        const QString clipboard = u"ClipboardSettingsPage"_s;
        const QString appearance = u"AppearanceSettingsPage"_s;
        QTest::newRow("1,000 items") << clipboard << u"keepUpTo"_s << "maxHistoryCount"_ba << qint64(500)
                                     << u"1,000 items"_s << qint64(1000);
        QTest::newRow("Never") << clipboard << u"autoDeleteAfter"_s << "retentionHours"_ba << qint64(720)
                               << u"Never"_s << qint64(0);
        QTest::newRow("100 per folder") << appearance << u"itemsPerFolder"_s << "menuItemsPerFolder"_ba
                                        << qint64(50) << u"100"_s << qint64(100);
        QTest::newRow("300 items stored")
            << clipboard << u"keepUpTo"_s << "maxHistoryCount"_ba << qint64(300) << QString() << qint64(300);
        QTest::newRow("2 hours stored") << clipboard << u"autoDeleteAfter"_s << "retentionHours"_ba
                                        << qint64(2) << QString() << qint64(2);
        QTest::newRow("7 per folder stored") << appearance << u"itemsPerFolder"_s << "menuItemsPerFolder"_ba
                                             << qint64(7) << QString() << qint64(7);
    }

    void pickers()
    {
        QFETCH(QString, page);
        QFETCH(QString, picker);
        QFETCH(QByteArray, setting);
        QFETCH(qint64, stored);
        QFETCH(QString, chosen);
        QFETCH(qint64, value);
        m_f.settings().setProperty(setting.constData(), stored);
        QQmlEngine engine;
        const std::unique_ptr<QObject> shown = loadPage(engine, page);
        QVERIFY(shown);
        auto *row = shown->findChild<QObject *>(picker);
        auto *box = row ? row->findChild<QObject *>(u"picker"_s) : nullptr;
        QVERIFY(box);
        const int index = row->property("choices").toStringList().indexOf(chosen);
        if (chosen.isEmpty())
            QCOMPARE(box->property("currentIndex").toInt(), -1);
        else
            QVERIFY(QMetaObject::invokeMethod(box, "activated", Q_ARG(int, index)));
        QCOMPARE(m_f.settings().property(setting.constData()).toLongLong(), value);
        QCOMPARE(box->property("currentIndex").toInt(), index);
    }

    // Some limits delete history the moment they change: a closed picker
    // takes no choice from the keyboard, an arrow opens its list, and only a
    // row chosen there applies.
    void closedPickerChoosesNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("opens");
        QTest::newRow("Up") << int(Qt::Key_Up) << true;
        QTest::newRow("Home") << int(Qt::Key_Home) << false;
        QTest::newRow("typing 1, as in 1,000") << int(Qt::Key_1) << false;
    }

    void closedPickerChoosesNothing()
    {
        QFETCH(int, key);
        QFETCH(bool, opens);
        SettingsWindowFixture f;
        f.settings().setMaxHistoryCount(250);
        QList<ClipboardEntry> history;
        for (int i = 0; i < 120; ++i)
            history.append(entryAt(QDateTime::currentDateTime().addSecs(-i)));
        f.appState.setClipboardEntries(history);
        QQmlEngine engine;
        QQuickWindow window;
        const std::unique_ptr<QObject> page = showPage(engine, window, f, u"ClipboardSettingsPage"_s);
        QVERIFY(page);
        auto *box = page->findChild<QObject *>(u"keepUpTo"_s)->findChild<QQuickItem *>(u"picker"_s);
        auto *list = box->property("popup").value<QObject *>();
        QTest::keyClick(&window, Qt::Key_Tab);
        QVERIFY(box->hasActiveFocus());

        QTest::keyClick(&window, Qt::Key(key));
        f.store.settle();
        QCOMPARE(f.settings().maxHistoryCount(), 250);
        QCOMPARE(f.appState.clipboardEntries().size(), 120);
        QTRY_COMPARE(list->property("opened").toBool(), opens);

        if (!opens)
            QTest::keyClick(&window, Qt::Key_Space);
        QTRY_VERIFY(list->property("opened").toBool());
        QTest::keyClick(&window, Qt::Key_Up);
        QTest::keyClick(&window, Qt::Key_Return);
        f.store.settle();
        QCOMPARE(f.settings().maxHistoryCount(), 100);
        QCOMPARE(f.appState.clipboardEntries().size(), 100);
    }

    // Without images there is nothing to read: the switch is off to the
    // touch but shows what is stored.
    void recognitionFollowsImageCapture()
    {
        m_f.settings().setRecognizeTextInImages(true);
        m_f.settings().setCaptureImages(false);
        QQmlEngine engine;
        const std::unique_ptr<QObject> shown = loadPage(engine, u"ClipboardSettingsPage"_s);
        QVERIFY(shown);
        auto *row = shown->findChild<QQuickItem *>(u"recognizeText"_s);
        QVERIFY(row);
        auto *toggle = row->findChild<QQuickItem *>(u"switch"_s);
        QVERIFY(!row->isEnabled() && toggle->property("checked").toBool());
        m_f.settings().setCaptureImages(true);
        QVERIFY(row->isEnabled() && toggle->property("checked").toBool());
        QVERIFY(m_f.settings().recognizeTextInImages());
    }

    // Every icon the tiles offer can be drawn by the tray; a tap makes its
    // tile the current one, and a stored name outside the list marks none.
    void menuBarIconTiles()
    {
        m_f.settings().setMenubarIconName(u"star"_s);
        QQmlEngine engine;
        const std::unique_ptr<QObject> shown = loadPage(engine, u"AppearanceSettingsPage"_s);
        QVERIFY(shown);
        QList<QQuickItem *> tiles;
        const std::function<void(QQuickItem *)> collect = [&](QQuickItem *item) {
            if (item->objectName() == u"iconTile")
                tiles.append(item);
            for (QQuickItem *child : item->childItems())
                collect(child);
        };
        collect(qobject_cast<QQuickItem *>(shown.get()));
        QCOMPARE(tiles.size(), 10);
        for (QQuickItem *tile : tiles) {
            QVERIFY2(!Symbols::resourcePath(tile->property("symbol").toString()).isEmpty(),
                qPrintable(tile->property("symbol").toString()));
            QVERIFY(!tile->property("current").toBool());
        }
        QVERIFY(QMetaObject::invokeMethod(tiles.at(3), "clicked"));
        QCOMPARE(m_f.settings().menubarIconName(), tiles.at(3)->property("symbol").toString());
        QCOMPARE(
            std::ranges::count_if(tiles, [](QQuickItem *tile) { return tile->property("current").toBool(); }),
            1);
        QVERIFY(tiles.at(3)->property("current").toBool());
    }

    void aboutVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("build");
        QTest::addColumn<QString>("text");
        QTest::newRow("set") << u"2.1.0"_s << u"57"_s << u"Version 2.1.0 (Build 57)"_s;
        QTest::newRow("unset") << QString() << QString() << u"Version 1.2.0 (Build 1)"_s;
    }

    void aboutVersion()
    {
        QFETCH(QString, version);
        QFETCH(QString, build);
        QFETCH(QString, text);
        QCOMPARE(AboutTab::versionText(version, build), text);
    }

    // Each section's tab starts afresh when it is shown again.
    void tabIsMadeAfreshOnEachChange()
    {
        QQmlEngine engine;
        QQmlComponent component(&engine, fileUrl(u"SettingsView"_s));
        std::unique_ptr<QObject> view(component.createWithInitialProperties(windowProperties(u"security"_s)));
        QVERIFY(view);
        auto *model = view->findChild<SettingsViewModel *>();
        auto *tab = view->findChild<QObject *>(u"tab"_s);
        QVERIFY(model && tab);
        const QPointer<QObject> shown = tab->property("item").value<QObject *>();
        QVERIFY(shown);
        model->setSelection(u"security"_s);
        QCOMPARE(tab->property("item").value<QObject *>(), shown.get());
        model->setSelection(u"general"_s);
        model->setSelection(u"security"_s);
        QVERIFY(tab->property("item").value<QObject *>());
        QTRY_VERIFY(!shown);
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "tst_settingswindow.moc"
