#include "PanelFixture.h"

#include "crypto/MasterKeyHolder.h"
#include "paste/AutoPaste.h"
#include "support/FakeAlerts.h"
#include "support/FakePasteboard.h"
#include "support/FakeWorkspace.h"
#include "ui/menubar/ClipboardListModel.h"
#include "ui/menubar/FilteredEntries.h"
#include "ui/menubar/PanelWindow.h"

#include <QAbstractItemModelTester>
#include <QKeyEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The panel's history list over the real application state and store: which
// entries show under each chip and query, the keys, the empty states and
// footer, and rows that follow their entry.
class HistoryListTest final : public QObject {
    Q_OBJECT

    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    FakeClock m_clock;
    FakeKeySender m_keySender;
    FakeWorkspace m_workspace;
    FakeAlerts m_alerts;
    FakeDeviceAuth m_deviceAuth;
    FakeMainQueue m_queue;
    std::unique_ptr<FakePasteboard> m_pasteboard;
    std::unique_ptr<StoreFixture> m_store;
    std::unique_ptr<AutoPaste> m_autoPaste;
    std::unique_ptr<AppStateController> m_state;
    std::unique_ptr<MainPopoverModel> m_panel;
    std::unique_ptr<ClipboardListModel> m_list;
    bool m_panelKey = true;
    int m_dismissals = 0;

    // Entries named by one letter, which is also their content.
    QHash<QUuid, QChar> m_names;
    QHash<QChar, ClipboardEntry> m_byName;

    ClipboardEntry named(QChar name, ContentType type = ContentType::plainText, int flags = 0,
        std::optional<QByteArray> search = {}, bool sensitive = false)
    {
        ClipboardEntry entry {.id = QUuid::createUuid(),
            .contentType = type,
            .createdAt = m_clock.now(),
            .isFavorite = (flags & 1) != 0,
            .isPinned = (flags & 2) != 0,
            .isSensitive = sensitive,
            .encryptedContent = m_encryption.encrypt(QByteArray(1, char(name.unicode()))).value()};
        if (search)
            entry.encryptedSearchText = m_encryption.encrypt(*search).value();
        m_names.insert(entry.id, name);
        m_byName.insert(name, entry);
        return entry;
    }

    QString namesOf(const QList<QUuid> &ids) const
    {
        QString names;
        for (const QUuid &id : ids)
            names += m_names.value(id);
        return names;
    }

    // The history in this order; a letter named before is the same entry.
    void show(const QString &names)
    {
        QList<ClipboardEntry> entries;
        for (const QChar name : names)
            entries.append(m_byName.contains(name) ? m_byName.value(name) : named(name));
        m_state->setClipboardEntries(entries);
    }

    // The position whose entry was last written to the pasteboard; -1 for none.
    int pastedPosition(const ClipboardListModel &list) const
    {
        if (m_pasteboard->writes().isEmpty())
            return -1;
        const QByteArray text = m_pasteboard->writes().constLast().data(u"text/plain"_s).value_or("");
        for (int at = 0; at < list.count(); ++at) {
            if (m_names.value(list.entryIds().at(at)) == QLatin1StringView(text))
                return at;
        }
        return -2;
    }

    bool press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        return m_list->handleKey(QKeyEvent(QEvent::KeyPress, key, modifiers));
    }

private slots:
    void initTestCase() { m_key.set(SecureBytes(QByteArray(32, 'k'))); }

    void init()
    {
        m_store = std::make_unique<StoreFixture>(m_encryption, m_clock);
        m_pasteboard = std::make_unique<FakePasteboard>();
        m_autoPaste = std::make_unique<AutoPaste>(m_keySender, m_workspace, m_alerts, m_queue);
        m_state = std::make_unique<AppStateController>(m_clock, m_queue);
        m_state->configure(nullptr, m_store->store, m_store->snippets, nullptr, m_store->settings);
        m_state->paste().configure({*m_pasteboard, m_workspace, m_deviceAuth, *m_autoPaste, {}});
        m_state->setPanelKeyQuery(this, [this] { return m_panelKey; });
        m_state->setUnlocked(true);
        connect(m_state.get(), &AppStateController::dismissPanel, this, [this] { ++m_dismissals; });
        m_panel = std::make_unique<MainPopoverModel>(*m_state, m_keySender, m_queue);
        m_list = std::make_unique<ClipboardListModel>();
        m_list->setPanel(m_panel.get());
        m_names.clear();
        m_byName.clear();
        m_panelKey = true;
        m_dismissals = 0;
    }

    void cleanup()
    {
        m_list.reset();
        m_panel.reset();
        m_state.reset();
        m_autoPaste.reset();
        m_store.reset();
    }

    void filterAndSearch_data()
    {
        QTest::addColumn<HistoryFilter>("filter");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("shown");
        const QString composed = u"\u00e9"_s;
        const QList<std::tuple<const char *, HistoryFilter, QStringList>> table {
            {"all", HistoryFilter::all, {u"PSTRIFXDNCE"_s, u"PST"_s, u"T"_s, u"SCE"_s}},
            {"pinned", HistoryFilter::pinned, {u"PS"_s, u"PS"_s, QString(), u"S"_s}},
            {"text", HistoryFilter::text, {u"PSTRXDNCE"_s, u"PST"_s, u"T"_s, u"SCE"_s}},
            {"images", HistoryFilter::images, {u"I"_s, QString(), QString(), QString()}},
        };
        const QStringList queries {QString(), u" "_s, u"HELLO"_s, composed};
        for (const auto &[name, filter, shown] : table) {
            for (qsizetype q = 0; q < queries.size(); ++q)
                QTest::addRow("%s, \"%s\"", name, qPrintable(queries[q])) << filter << queries[q] << shown[q];
        }
    }

    // A chip hides before anything is opened; the query matches whatever the
    // case on either side and however an accent is spelled; a search text
    // that is missing, damaged or not UTF-8 never matches.
    void filterAndSearch()
    {
        QFETCH(HistoryFilter, filter);
        QFETCH(QString, query);
        QFETCH(QString, shown);
        const QList<ClipboardEntry> ordered {
            named(u'P', ContentType::plainText, 2, "git push origin main"),
            named(u'S', ContentType::richText, 1, "notes caf\xc3\xa9"),
            named(u'T', ContentType::plainText, 0, "Hello World"),
            named(u'R', ContentType::richText, 0, "quarterly-report"),
            named(u'I', ContentType::image),
            named(u'F', ContentType::fileURL, 0, "/home/sam/report.pdf"),
            named(u'X', ContentType::plainText, 0, {}, true),
            named(u'D'),
            named(u'N', ContentType::plainText, 0, "caf\xc3\xa9 \xff"),
            named(u'C', ContentType::plainText, 0, "r\xc3\xa9sum\xc3\xa9"),
            named(u'E', ContentType::plainText, 0, "re\xcc\x81sume\xcc\x81"),
        };
        ClipboardEntry damaged = ordered[7];
        damaged.encryptedSearchText = QByteArray(40, 'x');
        QList<ClipboardEntry> entries = ordered;
        entries[7] = damaged;

        QString opened;
        const SearchTextOpener open = [&](QByteArrayView sealed) -> std::optional<QByteArray> {
            for (const ClipboardEntry &entry : std::as_const(entries)) {
                if (entry.encryptedSearchText == sealed)
                    opened += m_names.value(entry.id);
            }
            const auto plain = m_encryption.decrypt(sealed);
            return plain ? std::optional(*plain) : std::nullopt;
        };
        QList<QUuid> ids;
        for (const ClipboardEntry &entry : filteredEntries(entries, filter, query, open))
            ids.append(entry.id);
        QCOMPARE(namesOf(ids), shown);
        for (const QChar name : std::as_const(opened)) {
            const auto entry = std::ranges::find(entries, name, [&](const auto &e) { return m_names[e.id]; });
            QVERIFY(keeps(filter, *entry));
        }
        if (query.isEmpty())
            QVERIFY(opened.isEmpty());
    }

    void keys_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("selection");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<int>("selectionAfter");
        QTest::addColumn<int>("pasted");
        QTest::addColumn<bool>("consumed");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::newRow("return without selection")
            << 3 << -1 << int(Qt::Key_Return) << none << "" << -1 << 0 << true;
        QTest::newRow("enter") << 3 << 1 << int(Qt::Key_Enter) << none << "" << 1 << 1 << true;
        QTest::newRow("return past the end") << 3 << 5 << int(Qt::Key_Return) << none << "" << 5 << 2 << true;
        QTest::newRow("return, empty list")
            << 0 << -1 << int(Qt::Key_Return) << none << "" << -1 << -1 << false;
        QTest::newRow("down without selection")
            << 3 << -1 << int(Qt::Key_Down) << none << "" << 0 << -1 << true;
        QTest::newRow("down at the end") << 3 << 2 << int(Qt::Key_Down) << none << "" << 2 << -1 << true;
        QTest::newRow("down past the end") << 3 << 5 << int(Qt::Key_Down) << none << "" << 2 << -1 << true;
        QTest::newRow("up without selection") << 3 << -1 << int(Qt::Key_Up) << none << "" << 0 << -1 << true;
        QTest::newRow("up at the top") << 3 << 0 << int(Qt::Key_Up) << none << "" << 0 << -1 << true;
        QTest::newRow("up past the end") << 3 << 5 << int(Qt::Key_Up) << none << "" << 4 << -1 << true;
        QTest::newRow("down, empty list") << 0 << -1 << int(Qt::Key_Down) << none << "" << -1 << -1 << false;
        QTest::newRow("shift down") << 3 << -1 << int(Qt::Key_Down)
                                    << Qt::KeyboardModifiers(Qt::ShiftModifier) << "" << 0 << -1 << true;
        QTest::newRow("ctrl down") << 3 << -1 << int(Qt::Key_Down)
                                   << Qt::KeyboardModifiers(Qt::ControlModifier) << "" << -1 << -1 << false;
        QTest::newRow("alt up") << 3 << 1 << int(Qt::Key_Up) << Qt::KeyboardModifiers(Qt::AltModifier) << ""
                                << 1 << -1 << false;
        QTest::newRow("a letter") << 3 << -1 << int(Qt::Key_A) << none << "" << -1 << -1 << false;
        for (const char *blocker : {"qr", "modal", "not key", "composing"}) {
            QTest::addRow("return, %s", blocker)
                << 3 << -1 << int(Qt::Key_Return) << none << blocker << -1 << -1 << false;
        }
        QTest::newRow("escape, not key")
            << 3 << -1 << int(Qt::Key_Escape) << none << "not key" << -1 << -1 << false;
    }

    void keys()
    {
        QFETCH(int, n);
        QFETCH(int, selection);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, blocker);
        QFETCH(int, selectionAfter);
        QFETCH(int, pasted);
        QFETCH(bool, consumed);
        const QString names = u"ABCDEF"_s;
        show(names.left(std::max(n, selection + 1)));
        for (int at = 0; at <= selection; ++at)
            QVERIFY(press(Qt::Key_Down));
        show(names.left(n));

        QQmlEngine engine;
        QQuickWindow window;
        QQmlComponent field(&engine);
        field.setData("import QtQuick\nTextInput {}", {});
        std::unique_ptr<QQuickItem> input(qobject_cast<QQuickItem *>(field.create()));
        input->setParentItem(window.contentItem());
        input->forceActiveFocus();
        m_list->setWindow(&window);
        QWindow modal;
        if (blocker == u"qr")
            m_list->showQrCode(u"text"_s);
        if (blocker == u"modal") {
            modal.setModality(Qt::ApplicationModal);
            modal.show();
        }
        m_panelKey = blocker != u"not key";
        if (blocker == u"composing") {
            QInputMethodEvent composing(u"ka"_s, {});
            QCoreApplication::sendEvent(input.get(), &composing);
        }

        QCOMPARE(press(key, modifiers), consumed);
        QCOMPARE(m_list->selectedIndexOrNone(), selectionAfter);
        QCOMPARE(pastedPosition(*m_list), pasted);
        QCOMPARE(m_dismissals, pasted >= 0 ? 1 : 0);
        m_list->setWindow(nullptr);
    }

    // A new query or chip starts without a selection; a new entry keeps it.
    void selectionClears()
    {
        show(u"ABC"_s);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        show(u"NABC"_s);
        QCOMPARE(m_list->selectedIndexOrNone(), 1);
        m_state->setSearchQuery(u" "_s);
        QCOMPARE(m_list->selectedIndexOrNone(), -1);
        m_state->setSearchQuery({});
        press(Qt::Key_Down);
        m_list->setFilter(HistoryFilter::images);
        QCOMPARE(m_list->selectedIndexOrNone(), -1);
        QVERIFY(!press(Qt::Key_Down));
        QVERIFY(press(Qt::Key_Escape));
        QCOMPARE(m_dismissals, 1);
    }

    void rowsFollowTheirEntry_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("new on top") << u"ABC"_s << u"NABC"_s;
        QTest::newRow("deleted") << u"ABCD"_s << u"AD"_s;
        QTest::newRow("pinned moves up") << u"ABCD"_s << u"CABD"_s;
        QTest::newRow("unpinned moves down") << u"ABCD"_s << u"BCAD"_s;
        QTest::newRow("reversed") << u"ABCDE"_s << u"EDCBA"_s;
        QTest::newRow("mixed") << u"ABCDE"_s << u"XDBYE"_s;
        QTest::newRow("cleared") << u"ABC"_s << QString();
    }

    // Rows are inserted, removed and moved, never reset, so the view keeps
    // the row of an entry that stays.
    void rowsFollowTheirEntry()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        show(before);
        QAbstractItemModelTester tester(m_list.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QList<QPersistentModelIndex> rows;
        for (int at = 0; at < m_list->rowCount(); ++at)
            rows.append(m_list->index(at));
        QSignalSpy resets(m_list.get(), &QAbstractItemModel::modelReset);
        show(after);
        QCOMPARE(namesOf(m_list->entryIds()), after);
        QCOMPARE(resets.count(), 0);
        for (qsizetype at = 0; at < before.size(); ++at)
            QCOMPARE(rows[at].row(), int(after.indexOf(before[at])));
    }

    void emptyStateAndFooter_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<HistoryFilter>("filter");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("footer");
        QTest::newRow("nothing copied")
            << QString() << HistoryFilter::all << QString() << "Nothing copied yet"
            << "0 items";
        QTest::newRow("one item") << u"A"_s << HistoryFilter::all << QString() << ""
                                  << "1 item";
        QTest::newRow("two items") << u"AB"_s << HistoryFilter::text << QString() << ""
                                   << "2 items";
        QTest::newRow("no pinned") << u"A"_s << HistoryFilter::pinned << QString() << "No pinned items"
                                   << "0 items";
        QTest::newRow("no images") << u"A"_s << HistoryFilter::images << QString() << "No images"
                                   << "0 items";
        QTest::newRow("a query wins") << u"A"_s << HistoryFilter::images << u" "_s << "No matches"
                                      << "0 items";
    }

    void emptyStateAndFooter()
    {
        QFETCH(QString, history);
        QFETCH(HistoryFilter, filter);
        QFETCH(QString, query);
        QFETCH(QString, title);
        QFETCH(QString, footer);
        show(history);
        m_list->setFilter(filter);
        m_state->setSearchQuery(query);
        QCOMPARE(m_list->count() == 0 ? m_list->emptyTitle() : QString(), title);
        QCOMPARE(m_list->footerText(), footer);
        QCOMPARE(m_list->historyEmpty(), history.isEmpty());
    }

    // In the panel: Ctrl+digit pastes a shown position, Escape closes the QR
    // overlay and then the panel, and a row that stays is the same row.
    void panelView()
    {
        QQmlEngine engine;
        PanelWindow window(engine,
            QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
            {{u"panel"_s, QVariant::fromValue(m_panel.get())}});
        show(u"ABCD"_s);
        window.showAt({0, 0});
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *list = window.rootItem()->findChild<ClipboardListModel *>();
        QVERIFY(list);

        QTest::keyClick(&window, Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(pastedPosition(*list), 2);
        QTest::keyClick(&window, Qt::Key_5, Qt::ControlModifier);
        QCOMPARE(m_pasteboard->writes().size(), 1);
        m_dismissals = 0;

        list->showQrCode(QString(3000, u'x'));
        QTRY_VERIFY(findItem(window.rootItem(), u"qrTooLong"_s)->isVisible());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!list->qrShown());
        QCOMPARE(m_dismissals, 0);
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(m_dismissals, 1);

        const auto rowOf = [&](QChar name) -> QQuickItem * {
            const auto *rows = findItem(window.rootItem(), u"rows"_s);
            for (QQuickItem *row : rows->property("contentItem").value<QQuickItem *>()->childItems()) {
                if (row->property("entryId").toUuid() == m_names.key(name))
                    return row;
            }
            return nullptr;
        };
        QPointer<QQuickItem> row = rowOf(u'B');
        QVERIFY(row);
        show(u"NABCD"_s);
        QTRY_COMPARE(row->property("position").toInt(), 2);
        QCOMPARE(rowOf(u'B'), row.data());
    }
};

QTEST_MAIN(HistoryListTest)
#include "tst_historylist.moc"
