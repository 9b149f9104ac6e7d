#pragma once

#include "base/Clock.h"
#include "records/Snippet.h"
#include "store/SnippetManager.h"
#include "ui/windows/snippets/FolderSelection.h"
#include "ui/windows/snippets/SnippetRows.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUuid>
#include <QtQmlIntegration>

#include <functional>
#include <optional>

class AppStateController;
class QuitSaves;
class SettingsManager;

// The snippet editor window's state and behaviour: the folder sidebar, the
// list of the selected folder's snippets and the form that edits one of
// them. The form edits a copy; Save and the moments that save pending edits
// write it back. Store writes that the user started go through to the end
// with the application state, also when the window goes first; only the
// window's own state waits for them. Main thread only.
class SnippetManagerViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(SnippetManagerViewModel)

    // The environment: the shared AppStateController and SettingsManager.
    Q_PROPERTY(QObject *appState READ appStateObject WRITE setAppState NOTIFY environmentChanged)
    Q_PROPERTY(QObject *settings READ settingsObject WRITE setSettings NOTIFY environmentChanged)

    Q_PROPERTY(QStringList allFolderNames READ allFolderNames NOTIFY allFolderNamesChanged)
    // The sidebar's rows: 0 all, 1 ungrouped, then one per folder name; -1
    // while the selected folder is not listed.
    Q_PROPERTY(int selectedSidebarRow READ selectedSidebarRow NOTIFY selectionChanged)
    Q_PROPERTY(QString selectionTitle READ selectionTitle NOTIFY selectionChanged)
    Q_PROPERTY(SnippetRows *snippetRows READ snippetRows CONSTANT)
    // The row of filteredSnippets holding the selected snippet, or -1.
    Q_PROPERTY(int selectedSnippetRow READ selectedSnippetRow NOTIFY selectedSnippetRowChanged)
    Q_PROPERTY(bool hasSelectedSnippet READ hasSelectedSnippet NOTIFY selectedSnippetIDChanged)

    Q_PROPERTY(QString editTitle READ editTitle WRITE setEditTitle NOTIFY editTitleChanged)
    Q_PROPERTY(QString editContent READ editContent WRITE setEditContent NOTIFY editContentChanged)
    Q_PROPERTY(QString editTags READ editTags WRITE setEditTags NOTIFY editTagsChanged)
    Q_PROPERTY(QString editFolder READ editFolder WRITE setEditFolder NOTIFY editFolderChanged)
    Q_PROPERTY(bool editFavorite READ editFavorite WRITE setEditFavorite NOTIFY editFavoriteChanged)
    // Null when the last save did not fail.
    Q_PROPERTY(QString saveError READ saveError NOTIFY saveErrorChanged)
    Q_PROPERTY(bool isCreating READ isCreating NOTIFY isCreatingChanged)
    // Unsaved changes under a title: what enables Save.
    Q_PROPERTY(bool canSave READ canSave NOTIFY canSaveChanged)

    Q_PROPERTY(bool showNewFolder READ showNewFolder WRITE setShowNewFolder NOTIFY showNewFolderChanged)
    Q_PROPERTY(QString newFolderName READ newFolderName WRITE setNewFolderName NOTIFY newFolderNameChanged)
    Q_PROPERTY(bool canCreateFolder READ canCreateFolder NOTIFY newFolderNameChanged)

public:
    // Given the current name; the typed text, or nothing when cancelled.
    using RenamePrompt = std::function<std::optional<QString>(const QString &name)>;

    explicit SnippetManagerViewModel(QObject *parent = nullptr);
    ~SnippetManagerViewModel() override;

    // The view works once both are set.
    void setAppState(QObject *appState);
    void setSettings(QObject *settings);
    // In place of the modal prompt.
    void setRenamePrompt(RenamePrompt prompt) { m_renamePrompt = std::move(prompt); }

    QStringList allFolderNames() const { return m_allFolderNames; }
    QList<Snippet> filteredSnippets() const { return m_rows.snippets(); }
    std::optional<Snippet> selectedSnippet() const;
    std::optional<Snippet> editingSnippet() const;

    FolderSelection selection() const { return m_selection; }
    int selectedSidebarRow() const;
    QString selectionTitle() const { return m_selection.title(); }
    SnippetRows *snippetRows() { return &m_rows; }
    std::optional<QUuid> selectedSnippetID() const { return m_selectedSnippetID; }
    int selectedSnippetRow() const;
    bool hasSelectedSnippet() const { return m_selectedSnippetID.has_value(); }
    std::optional<QUuid> editingID() const { return m_editingID; }

    QString editTitle() const { return m_editTitle; }
    QString editContent() const { return m_editContent; }
    QString editTags() const { return m_editTags; }
    QString editFolder() const { return m_editFolder; }
    bool editFavorite() const { return m_editFavorite; }
    QString saveError() const { return m_saveError; }
    bool isCreating() const { return m_isCreating; }
    bool canSave() const { return m_canSave; }
    bool showNewFolder() const { return m_showNewFolder; }
    QString newFolderName() const { return m_newFolderName; }
    bool canCreateFolder() const;

    void setEditTitle(const QString &title);
    void setEditContent(const QString &content);
    void setEditTags(const QString &tags);
    void setEditFolder(const QString &folder);
    void setEditFavorite(bool favorite);
    void setShowNewFolder(bool show);
    void setNewFolderName(const QString &name);

    // The change of the list's selection: pending edits are saved, then the
    // form shows the new selection.
    void setSelectedSnippetID(std::optional<QUuid> id);
    // The sidebar's selection binding: saves pending edits and clears the
    // list's selection.
    void changeSelection(const FolderSelection &selection);

    // The view came on screen: the published snippets are reloaded.
    Q_INVOKABLE void appear();
    // The window closes: pending edits are saved, unless a lock closes it
    // (it saved them before the key went). No form shows a failure from
    // then on, so a save that fails is told by an alert.
    Q_INVOKABLE void disappear();
    Q_INVOKABLE void selectSidebarRow(int row);
    Q_INVOKABLE void selectSnippetRow(int row);
    Q_INVOKABLE void deleteSnippetRow(int row);
    // The arrow keys: the next row (step 1) or the previous one (-1), taken
    // as a click on it would be. From no row, down takes the first and up
    // the last; at either end the selection stays.
    Q_INVOKABLE void stepSidebarRow(int step);
    Q_INVOKABLE void stepSnippetRow(int step);

    // Only with unsaved changes under a non-empty title.
    Q_INVOKABLE void saveEditsIfNeeded();
    Q_INVOKABLE void showNewFolderSheet();
    Q_INVOKABLE void createFolder();
    Q_INVOKABLE void promptRenameFolder(const QString &name);
    // Onto an existing name the two folders merge.
    void renameFolder(const QString &oldName, const QString &newName);
    // The members move to Ungrouped; no snippet is deleted.
    Q_INVOKABLE void deleteFolder(const QString &name);

    void loadSnippetIntoEditor();
    bool hasUnsavedChanges() const;
    Q_INVOKABLE void startNewSnippet();
    Q_INVOKABLE void deleteSelectedSnippet();

    Q_INVOKABLE void saveSnippetEdits();
    // The store's answer; none without a snippet manager.
    std::optional<QFuture<SnippetManager::Result>> persistSnippetEdits(const Snippet &snippet);
    void createNewSnippet(const std::optional<QString> &folder);
    void deleteSnippet(const Snippet &snippet);
    void removeSnippetFromStore(const Snippet &snippet);

signals:
    void environmentChanged();
    void allFolderNamesChanged();
    void selectionChanged();
    void selectedSnippetIDChanged();
    void selectedSnippetRowChanged();
    void editTitleChanged();
    void editContentChanged();
    void editTagsChanged();
    void editFolderChanged();
    void editFavoriteChanged();
    void saveErrorChanged();
    void isCreatingChanged();
    void canSaveChanged();
    void showNewFolderChanged();
    void newFolderNameChanged();

private:
    QObject *appStateObject() const;
    QObject *settingsObject() const;
    void observe();
    QList<Snippet> publishedSnippets() const;
    // Recomputes the folders, the list and Save's state from the published
    // snippets, the stored folders and the selection.
    void refresh();
    void setSelection(const FolderSelection &selection);
    // The form written back; none when nothing went to the store.
    std::optional<QFuture<SnippetManager::Result>> storeSnippetEdits();
    // Only while the window is open: a closed one saved its edits as it
    // closed, or gave them up, and said so. The quit waits for the save.
    void saveBeforeLock();
    void saveBeforeQuit(QuitSaves &saves);
    void setSaveError(const QString &error);
    void setCreating(bool creating);
    void updateCanSave();
    // Writes each member with the group, all at once; the store keeps their
    // order. Then reloads the published list and runs afterwards.
    void regroup(
        const QList<Snippet> &members, const std::optional<QString> &group, std::function<void()> afterwards);
    QList<Snippet> membersOf(const QString &folder) const;

    const Clock &m_clock = Clock::system();
    QPointer<AppStateController> m_appState;
    QPointer<SettingsManager> m_settings;
    bool m_observing = false;
    bool m_closed = false;
    RenamePrompt m_renamePrompt;

    QStringList m_allFolderNames;
    FolderSelection m_selection;
    SnippetRows m_rows;
    std::optional<QUuid> m_selectedSnippetID;
    QString m_editTitle;
    QString m_editContent;
    QString m_editTags;
    QString m_editFolder;
    bool m_editFavorite = false;
    std::optional<QUuid> m_editingID;
    QString m_saveError;
    bool m_isCreating = false;
    bool m_canSave = false;
    bool m_showNewFolder = false;
    QString m_newFolderName;
};
