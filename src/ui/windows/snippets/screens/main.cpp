// Writes the snippet editor window, over sample snippets in a store sealed
// under a throw-away key, as PNG files in light and dark appearance.

#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "crypto/SecureRandom.h"
#include "platform/DockPresence.h"
#include "platform/LoginItem.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "ui/design/SceneGraphBackend.h"
#include "ui/design/gallery/Appearance.h"
#include "ui/windows/snippets/SnippetManagerViewModel.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class StayingLoginItem final : public LoginItem {
public:
    Status status() const override { return Status::notRegistered; }
    std::expected<void, QString> registerItem() override { return {}; }
    std::expected<void, QString> unregisterItem() override { return {}; }
    void openSystemSettings() override { }
};

class NoDock final : public DockPresence {
public:
    void setShownInDock(bool) override { }
};

void settle(int milliseconds = 300)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QList<Snippet> sampleSnippets()
{
    struct Sample {
        QString title;
        QString content;
        std::optional<QString> group;
        QStringList tags;
    };
    const QList<Sample> samples {
        {u"Signature"_s, u"Best regards,\nSam Taylor"_s, std::nullopt, {}},
        {u"Address"_s, u"12 Harbour Lane, Portsmouth"_s, std::nullopt, {u"home"_s}},
        {u"Thanks & regards"_s, u"Thanks for getting back to me so quickly, {{prompt:Name}}."_s, u"Email"_s,
            {u"reply"_s, u"polite"_s}},
        {u"Follow-up"_s,
            u"Hi {{prompt:Name}},\n\nJust following up on my message from {{date}}.\n{{cursor}}"_s,
            u"Email"_s, {u"reply"_s}},
        {u"Bug report"_s, u"Steps to reproduce:\n1. \nExpected:\nActual:"_s, u"Work"_s, {}},
    };
    QList<Snippet> snippets;
    QDateTime updated = QDateTime::currentDateTimeUtc();
    for (const Sample &sample : samples) {
        updated = updated.addSecs(-60);
        snippets.append({.id = QUuid::createUuid(),
            .title = sample.title,
            .content = sample.content,
            .tags = sample.tags,
            .group = sample.group,
            .createdAt = updated,
            .updatedAt = updated});
    }
    return snippets;
}

void press(QWindow &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(&window, &down);
    QCoreApplication::sendEvent(&window, &up);
}

int rowOf(const SnippetManagerViewModel &model, const QString &title)
{
    const QList<Snippet> rows = model.filteredSnippets();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).title == title)
            return int(i);
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QQuickStyle::setStyle(u"Basic"_s);
    SceneGraphBackend::choose();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"The snippet editor window over sample snippets."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"folder"_s, u"Write <state>-light.png and -dark.png here."_s);
    parser.process(app);
    if (parser.positionalArguments().isEmpty())
        parser.showHelp(2);
    const QDir folder(parser.positionalArguments().constFirst());
    QTemporaryDir home;
    if (!folder.mkpath(u"."_s) || !home.isValid()) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    // The throw-away store lives under the temporary folder.
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication::setApplicationName(u"Vantorell"_s);

    MasterKeyHolder key;
    const SecureBytes keyBytes = SecureRandom::bytes(32).value();
    key.set(keyBytes);
    EncryptionService encryption(key);
    SecureStorageManager store(encryption);
    SnippetManager snippets(store);
    StayingLoginItem loginItem;
    NoDock dockPresence;
    SettingsManager settings(home.filePath(u"Vantorell.conf"_s), loginItem, dockPresence);
    settings.setSnippetFolders({u"Templates"_s});
    AppStateController appState;
    appState.configure(nullptr, store, snippets, nullptr, settings);
    appState.setUnlocked(true);
    store.openDatabase().waitForFinished();
    for (const Snippet &snippet : sampleSnippets())
        store.insertSnippet(snippet).waitForFinished();

    QQmlEngine engine;
    for (const auto &[appearance, palette] :
        {std::pair {u"light"_s, Appearance::light()}, std::pair {u"dark"_s, Appearance::dark()}}) {
        QApplication::setPalette(palette);
        QQuickView view(&engine, nullptr);
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.setInitialProperties({{u"appState"_s, QVariant::fromValue<QObject *>(&appState)},
            {u"settings"_s, QVariant::fromValue<QObject *>(&settings)}});
        view.setSource(snippetWindowRoot());
        if (view.status() != QQuickView::Ready) {
            for (const QQmlError &error : view.errors())
                std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
            return 1;
        }
        view.resize(860, 540);
        view.show();
        auto *model = qobject_cast<SnippetManagerViewModel *>(
            view.rootObject()->property("viewModel").value<QObject *>());
        if (!model)
            return 1;
        settle();

        const auto save = [&](const QString &name) {
            settle();
            const QString file = folder.filePath(u"%1-%2.png"_s.arg(name, appearance));
            if (view.grabWindow().save(file))
                return true;
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return false;
        };

        // The sidebar has the keyboard when the window opens; Tab takes it to
        // the New Folder button, the add button and the list, where no row
        // is selected yet.
        press(view, Qt::Key_Tab);
        if (!save(u"snippets-keyboard-new-folder"_s))
            return 1;
        press(view, Qt::Key_Tab);
        if (!save(u"snippets-keyboard-add"_s))
            return 1;
        press(view, Qt::Key_Tab);
        if (!save(u"snippets-keyboard-list"_s))
            return 1;
        for (int i = 0; i < 3; ++i)
            press(view, Qt::Key_Backtab);

        model->changeSelection(FolderSelection::folder(u"Email"_s));
        model->selectSnippetRow(rowOf(*model, u"Follow-up"_s));
        if (!save(u"snippets-folder"_s))
            return 1;
        // The selected folder's menu, from the keyboard.
        press(view, Qt::Key_Menu);
        if (!save(u"snippets-keyboard-folder-menu"_s))
            return 1;
        press(view, Qt::Key_Escape);

        for (int i = 0; i < 3; ++i)
            press(view, Qt::Key_Tab);
        press(view, Qt::Key_Down);
        if (!save(u"snippets-keyboard"_s))
            return 1;
        press(view, Qt::Key_Tab);
        if (!save(u"snippets-keyboard-form"_s))
            return 1;
        // Through the content (Ctrl+Tab leaves it), the folder, the tags and
        // the favourite switch to Delete.
        press(view, Qt::Key_Tab);
        press(view, Qt::Key_Tab, Qt::ControlModifier);
        for (int i = 0; i < 3; ++i)
            press(view, Qt::Key_Tab);
        if (!save(u"snippets-keyboard-button"_s))
            return 1;

        model->changeSelection(FolderSelection::folder(u"Templates"_s));
        if (!save(u"snippets-empty"_s))
            return 1;

        model->showNewFolderSheet();
        model->setNewFolderName(u"Recipes"_s);
        if (!save(u"snippets-new-folder"_s))
            return 1;
        model->setShowNewFolder(false);

        // A save that fails for want of the key; the key is back before the
        // reload, so the list shows the stored snippet again.
        model->changeSelection({FolderSelection::Kind::ungrouped});
        model->selectSnippetRow(rowOf(*model, u"Signature"_s));
        model->setEditTitle(u"Signature (work)"_s);
        const QMetaObject::Connection restore = QObject::connect(
            model, &SnippetManagerViewModel::saveErrorChanged, [&key, &keyBytes] { key.set(keyBytes); });
        key.drop();
        model->saveSnippetEdits();
        settle();
        QObject::disconnect(restore);
        if (!save(u"snippets-save-error"_s))
            return 1;
        model->loadSnippetIntoEditor();
    }
    return 0;
}
