#include "ui/windows/snippets/SnippetManagerViewModel.h"

#include "app/AppStateController.h"
#include "base/WhenFinished.h"
#include "records/AuditEvent.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "text/Blanks.h"
#include "text/CanonicalText.h"
#include "ui/windows/snippets/FolderRenamePrompt.h"
#include "ui/windows/snippets/SnippetTags.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool containsName(const QStringList &names, const QString &name)
{
    return std::ranges::any_of(
        names, [&name](const QString &each) { return CanonicalText::equal(each, name); });
}

// Equal titles keep their order: the more recently updated first.
void sortByTitle(QList<Snippet> &snippets)
{
    QList<std::pair<QString, Snippet>> keyed;
    keyed.reserve(snippets.size());
    for (const Snippet &snippet : std::as_const(snippets))
        keyed.append({CanonicalText::composed(snippet.title), snippet});
    std::ranges::stable_sort(
        keyed, [](const auto &a, const auto &b) { return CanonicalText::compare(a.first, b.first) < 0; });
    snippets.clear();
    for (auto &[key, snippet] : keyed)
        snippets.append(std::move(snippet));
}

QString saveFailure(const QString &snippet, const SnippetError &error)
{
    return u"Couldn't save "_s + snippet + u": "_s + description(error);
}

int steppedRow(int current, int step, qsizetype count)
{
    if (count == 0)
        return -1;
    if (current < 0)
        return step > 0 ? 0 : int(count) - 1;
    return int(std::clamp<qsizetype>(current + step, 0, count - 1));
}

std::optional<Snippet> findSnippet(const QList<Snippet> &snippets, const std::optional<QUuid> &id)
{
    if (!id)
        return std::nullopt;
    const auto found = std::ranges::find(snippets, *id, &Snippet::id);
    if (found == snippets.end())
        return std::nullopt;
    return *found;
}

} // namespace

SnippetManagerViewModel::SnippetManagerViewModel(QObject *parent) : QObject(parent)
{
}

SnippetManagerViewModel::~SnippetManagerViewModel() = default;

QObject *SnippetManagerViewModel::appStateObject() const
{
    return m_appState;
}

QObject *SnippetManagerViewModel::settingsObject() const
{
    return m_settings;
}

void SnippetManagerViewModel::setAppState(QObject *appState)
{
    if (m_appState || !qobject_cast<AppStateController *>(appState))
        return;
    m_appState = qobject_cast<AppStateController *>(appState);
    emit environmentChanged();
    observe();
}

void SnippetManagerViewModel::setSettings(QObject *settings)
{
    if (m_settings || !qobject_cast<SettingsManager *>(settings))
        return;
    m_settings = qobject_cast<SettingsManager *>(settings);
    emit environmentChanged();
    observe();
}

void SnippetManagerViewModel::observe()
{
    if (!m_appState || !m_settings || m_observing)
        return;
    m_observing = true;
    connect(m_appState, &AppStateController::snippetsChanged, this, &SnippetManagerViewModel::refresh);
    connect(m_settings, &SettingsManager::snippetFoldersChanged, this, &SnippetManagerViewModel::refresh);
    // Saved before the key goes: the window's own save on closing comes too
    // late to be sealed. The lock drops edits under an empty title, as a
    // selection change does.
    connect(m_appState, &AppStateController::aboutToLock, this, &SnippetManagerViewModel::saveBeforeLock,
        Qt::DirectConnection);
    connect(m_appState, &AppStateController::aboutToQuit, this, &SnippetManagerViewModel::saveBeforeQuit,
        Qt::DirectConnection);
    refresh();
}

QList<Snippet> SnippetManagerViewModel::publishedSnippets() const
{
    return m_appState ? m_appState->snippets() : QList<Snippet>();
}

void SnippetManagerViewModel::refresh()
{
    const QList<Snippet> snippets = publishedSnippets();

    // Each name once, as first met; a snippet's empty folder name counts.
    QStringList names;
    QSet<QString> seen;
    const auto addName = [&names, &seen](const QString &name) {
        const QString key = CanonicalText::composed(name);
        if (!seen.contains(key)) {
            seen.insert(key);
            names.append(name);
        }
    };
    for (const Snippet &snippet : snippets) {
        if (snippet.group)
            addName(*snippet.group);
    }
    if (m_settings) {
        for (const QString &name : m_settings->snippetFolders())
            addName(name);
    }
    std::ranges::stable_sort(
        names, [](const QString &a, const QString &b) { return CanonicalText::compare(a, b) < 0; });
    if (names != m_allFolderNames) {
        m_allFolderNames = names;
        emit allFolderNamesChanged();
        emit selectionChanged();
    }

    QList<Snippet> filtered;
    for (const Snippet &snippet : snippets) {
        if (m_selection.contains(snippet))
            filtered.append(snippet);
    }
    sortByTitle(filtered);
    m_rows.setSnippets(filtered);
    emit selectedSnippetRowChanged();
    updateCanSave();
}

std::optional<Snippet> SnippetManagerViewModel::selectedSnippet() const
{
    return findSnippet(publishedSnippets(), m_selectedSnippetID);
}

std::optional<Snippet> SnippetManagerViewModel::editingSnippet() const
{
    return findSnippet(publishedSnippets(), m_editingID);
}

int SnippetManagerViewModel::selectedSidebarRow() const
{
    switch (m_selection.kind) {
    case FolderSelection::Kind::all:
        return 0;
    case FolderSelection::Kind::ungrouped:
        return 1;
    case FolderSelection::Kind::folder:
        break;
    }
    const auto found = std::ranges::find_if(m_allFolderNames,
        [this](const QString &name) { return CanonicalText::equal(name, m_selection.name); });
    return found == m_allFolderNames.end() ? -1 : 2 + int(found - m_allFolderNames.begin());
}

int SnippetManagerViewModel::selectedSnippetRow() const
{
    if (!m_selectedSnippetID)
        return -1;
    const QList<Snippet> &rows = m_rows.snippets();
    const auto found = std::ranges::find(rows, *m_selectedSnippetID, &Snippet::id);
    return found == rows.end() ? -1 : int(found - rows.begin());
}

bool SnippetManagerViewModel::canCreateFolder() const
{
    return !Blanks::trimmed(m_newFolderName).isEmpty();
}

void SnippetManagerViewModel::setEditTitle(const QString &title)
{
    if (title == m_editTitle)
        return;
    m_editTitle = title;
    emit editTitleChanged();
    updateCanSave();
}

void SnippetManagerViewModel::setEditContent(const QString &content)
{
    if (content == m_editContent)
        return;
    m_editContent = content;
    emit editContentChanged();
    updateCanSave();
}

void SnippetManagerViewModel::setEditTags(const QString &tags)
{
    if (tags == m_editTags)
        return;
    m_editTags = tags;
    emit editTagsChanged();
    updateCanSave();
}

void SnippetManagerViewModel::setEditFolder(const QString &folder)
{
    if (folder == m_editFolder)
        return;
    m_editFolder = folder;
    emit editFolderChanged();
    updateCanSave();
}

void SnippetManagerViewModel::setEditFavorite(bool favorite)
{
    if (favorite == m_editFavorite)
        return;
    m_editFavorite = favorite;
    emit editFavoriteChanged();
    updateCanSave();
}

void SnippetManagerViewModel::setShowNewFolder(bool show)
{
    if (show == m_showNewFolder)
        return;
    m_showNewFolder = show;
    emit showNewFolderChanged();
}

void SnippetManagerViewModel::setNewFolderName(const QString &name)
{
    if (name == m_newFolderName)
        return;
    m_newFolderName = name;
    emit newFolderNameChanged();
}

void SnippetManagerViewModel::setSaveError(const QString &error)
{
    if (error == m_saveError)
        return;
    m_saveError = error;
    emit saveErrorChanged();
}

void SnippetManagerViewModel::setCreating(bool creating)
{
    if (creating == m_isCreating)
        return;
    m_isCreating = creating;
    emit isCreatingChanged();
}

void SnippetManagerViewModel::updateCanSave()
{
    const bool canSave = hasUnsavedChanges() && !m_editTitle.isEmpty();
    if (canSave == m_canSave)
        return;
    m_canSave = canSave;
    emit canSaveChanged();
}

void SnippetManagerViewModel::setSelection(const FolderSelection &selection)
{
    if (selection == m_selection && selection.name == m_selection.name)
        return;
    m_selection = selection;
    emit selectionChanged();
    refresh();
}

void SnippetManagerViewModel::setSelectedSnippetID(std::optional<QUuid> id)
{
    if (id == m_selectedSnippetID)
        return;
    m_selectedSnippetID = id;
    emit selectedSnippetIDChanged();
    emit selectedSnippetRowChanged();
    saveEditsIfNeeded();
    loadSnippetIntoEditor();
}

void SnippetManagerViewModel::changeSelection(const FolderSelection &selection)
{
    saveEditsIfNeeded();
    setSelection(selection);
    setSelectedSnippetID(std::nullopt);
}

void SnippetManagerViewModel::appear()
{
    if (m_appState)
        m_appState->loadSnippets();
}

void SnippetManagerViewModel::disappear()
{
    m_closed = true;
    // A lock closes the window once it has saved what it could: with the
    // key gone, a second save could seal nothing and would only fail.
    if (m_appState && m_appState->isUnlocked())
        saveEditsIfNeeded();
}

void SnippetManagerViewModel::selectSidebarRow(int row)
{
    // A click beside the rows selects nothing: one row stays selected.
    if (row == 0)
        changeSelection({FolderSelection::Kind::all});
    else if (row == 1)
        changeSelection({FolderSelection::Kind::ungrouped});
    else if (row >= 2 && row - 2 < m_allFolderNames.size())
        changeSelection(FolderSelection::folder(m_allFolderNames.at(row - 2)));
}

void SnippetManagerViewModel::selectSnippetRow(int row)
{
    if (row >= 0 && row < m_rows.snippets().size())
        setSelectedSnippetID(m_rows.snippets().at(row).id);
}

void SnippetManagerViewModel::deleteSnippetRow(int row)
{
    if (row >= 0 && row < m_rows.snippets().size())
        deleteSnippet(m_rows.snippets().at(row));
}

void SnippetManagerViewModel::stepSidebarRow(int step)
{
    const int current = selectedSidebarRow();
    const int row = steppedRow(current, step, 2 + m_allFolderNames.size());
    // Taking the selected row again would clear the list's selection.
    if (row != current)
        selectSidebarRow(row);
}

void SnippetManagerViewModel::stepSnippetRow(int step)
{
    selectSnippetRow(steppedRow(selectedSnippetRow(), step, m_rows.snippets().size()));
}

void SnippetManagerViewModel::saveEditsIfNeeded()
{
    if (hasUnsavedChanges() && !m_editTitle.isEmpty())
        saveSnippetEdits();
}

void SnippetManagerViewModel::saveBeforeLock()
{
    if (!m_closed)
        saveEditsIfNeeded();
}

void SnippetManagerViewModel::saveBeforeQuit(QuitSaves &saves)
{
    if (m_closed || !hasUnsavedChanges() || m_editTitle.isEmpty())
        return;
    if (const auto save = storeSnippetEdits())
        saves.add(*save);
}

void SnippetManagerViewModel::showNewFolderSheet()
{
    setNewFolderName({});
    setShowNewFolder(true);
}

void SnippetManagerViewModel::createFolder()
{
    const QString name = Blanks::trimmed(m_newFolderName).toString();
    setShowNewFolder(false);
    if (name.isEmpty() || containsName(m_allFolderNames, name) || !m_settings)
        return;
    QStringList folders = m_settings->snippetFolders();
    folders.append(name);
    m_settings->setSnippetFolders(folders);
    // Straight to the new folder: the list's selection and the form stay.
    setSelection(FolderSelection::folder(name));
}

void SnippetManagerViewModel::promptRenameFolder(const QString &name)
{
    const std::optional<QString> typed
        = m_renamePrompt ? m_renamePrompt(name) : FolderRenamePrompt::ask(name);
    if (!typed)
        return;
    const QString newName = Blanks::trimmed(*typed).toString();
    if (newName.isEmpty() || CanonicalText::equal(newName, name))
        return;
    renameFolder(name, newName);
}

QList<Snippet> SnippetManagerViewModel::membersOf(const QString &folder) const
{
    QList<Snippet> members;
    for (const Snippet &snippet : publishedSnippets()) {
        if (snippet.group && CanonicalText::equal(*snippet.group, folder))
            members.append(snippet);
    }
    return members;
}

void SnippetManagerViewModel::renameFolder(const QString &oldName, const QString &newName)
{
    if (!m_settings)
        return;
    QStringList folders = m_settings->snippetFolders();
    for (QString &folder : folders) {
        if (CanonicalText::equal(folder, oldName))
            folder = newName;
    }
    // A folder that only its snippets carried is stored from now on.
    if (!containsName(folders, newName))
        folders.append(newName);
    const QList<Snippet> members = membersOf(oldName);
    // The open snippet follows its folder; left behind, it would look edited
    // and its next save would put it back under the old name.
    if (CanonicalText::equal(m_editFolder, oldName))
        setEditFolder(newName);
    m_settings->setSnippetFolders(folders);
    regroup(members, newName, [this, oldName, newName] {
        if (m_selection == FolderSelection::folder(oldName))
            setSelection(FolderSelection::folder(newName));
    });
}

void SnippetManagerViewModel::deleteFolder(const QString &name)
{
    if (!m_settings)
        return;
    QStringList folders = m_settings->snippetFolders();
    folders.removeIf([&name](const QString &folder) { return CanonicalText::equal(folder, name); });
    const QList<Snippet> members = membersOf(name);
    if (CanonicalText::equal(m_editFolder, name))
        setEditFolder({});
    m_settings->setSnippetFolders(folders);
    regroup(members, std::nullopt, [this, name] {
        if (m_selection == FolderSelection::folder(name))
            setSelection({FolderSelection::Kind::all});
    });
}

void SnippetManagerViewModel::regroup(
    const QList<Snippet> &members, const std::optional<QString> &group, std::function<void()> afterwards)
{
    AppStateController *appState = m_appState;
    SecureStorageManager *store = appState ? appState->storageManager() : nullptr;
    if (!appState || !appState->snippetManager() || !store) {
        afterwards();
        return;
    }
    if (members.isEmpty()) {
        appState->loadSnippets();
        afterwards();
        return;
    }
    // A failed write leaves that member where it was; the reload shows it.
    QFuture<std::expected<void, SnippetError>> last;
    for (Snippet member : members) {
        member.group = group;
        member.updatedAt = m_clock.now();
        last = store->insertSnippet(member);
    }
    whenFinished(appState, last, [appState](const auto &) {
        if (appState->snippetManager())
            appState->loadSnippets();
    });
    whenFinished(this, last, [afterwards = std::move(afterwards)](const auto &) { afterwards(); });
}

void SnippetManagerViewModel::loadSnippetIntoEditor()
{
    const std::optional<Snippet> snippet = selectedSnippet();
    if (!snippet) {
        m_editingID.reset();
        updateCanSave();
        return;
    }
    // Compared only once every field holds the new snippet.
    m_editingID.reset();
    setEditTitle(snippet->title);
    setEditContent(snippet->content);
    setEditTags(SnippetTags::joined(snippet->tags));
    setEditFolder(snippet->group.value_or(QString()));
    setEditFavorite(snippet->isFavorite);
    setSaveError({});
    m_editingID = snippet->id;
    updateCanSave();
}

bool SnippetManagerViewModel::hasUnsavedChanges() const
{
    const std::optional<Snippet> snippet = editingSnippet();
    if (!snippet)
        return false;
    return !CanonicalText::equal(m_editTitle, snippet->title)
        || !CanonicalText::equal(m_editContent, snippet->content)
        || !CanonicalText::equal(m_editFolder, snippet->group.value_or(QString()))
        || m_editFavorite != snippet->isFavorite
        || !CanonicalText::equal(m_editTags, SnippetTags::joined(snippet->tags));
}

void SnippetManagerViewModel::startNewSnippet()
{
    if (m_isCreating)
        return;
    saveEditsIfNeeded();
    std::optional<QString> folder;
    if (m_selection.kind == FolderSelection::Kind::folder)
        folder = m_selection.name;
    setCreating(true);
    createNewSnippet(folder);
}

void SnippetManagerViewModel::deleteSelectedSnippet()
{
    if (const std::optional<Snippet> snippet = selectedSnippet())
        deleteSnippet(*snippet);
}

void SnippetManagerViewModel::saveSnippetEdits()
{
    // The answer shows under the form, or in an alert.
    (void)storeSnippetEdits();
}

std::optional<QFuture<SnippetManager::Result>> SnippetManagerViewModel::storeSnippetEdits()
{
    const std::optional<Snippet> editing = editingSnippet();
    if (!editing)
        return std::nullopt;
    const QStringList tags = SnippetTags::parsed(m_editTags);
    Snippet updated = *editing;
    updated.title = m_editTitle;
    updated.content = m_editContent;
    updated.tags = tags;
    updated.group = m_editFolder.isEmpty() ? std::nullopt : std::optional(m_editFolder);
    updated.isFavorite = m_editFavorite;
    updated.updatedAt = m_clock.now();

    QList<Snippet> snippets = publishedSnippets();
    const auto found = std::ranges::find(snippets, updated.id, &Snippet::id);
    if (found != snippets.end()) {
        *found = updated;
        m_appState->setSnippets(snippets);
    }
    setEditTags(SnippetTags::joined(tags));
    return persistSnippetEdits(updated);
}

std::optional<QFuture<SnippetManager::Result>> SnippetManagerViewModel::persistSnippetEdits(
    const Snippet &snippet)
{
    AppStateController *appState = m_appState;
    SnippetManager *manager = appState ? appState->snippetManager() : nullptr;
    if (!manager) {
        setSaveError({});
        return std::nullopt;
    }
    const QPointer<SnippetManagerViewModel> self(this);
    // A lock closes the window before the store answers.
    const std::function<bool()> noLock = appState->noLockFromNow();
    const QFuture<SnippetManager::Result> save = manager->saveSnippet(snippet);
    whenFinished(
        appState, save, [appState, self, noLock, title = snippet.title](const SnippetManager::Result &saved) {
            if (saved) {
                if (self)
                    self->setSaveError({});
                return;
            }
            const bool locked = !noLock();
            const QString named = u"“"_s + title + u"”"_s;
            if (self && !self->m_closed && !locked) {
                self->setSaveError(saveFailure(named, saved.error()));
            } else {
                // The next opening is a new form: the error line would never
                // show. Over the lock screen the title stays sealed.
                appState->raiseAlert(saveFailure(locked ? u"a snippet"_s : named, saved.error()),
                    u"The window was closed, so the change is lost; the snippet stays as it was last saved."_s);
            }
            // The list shows again what the store holds; the form keeps the edits.
            if (appState->snippetManager())
                appState->loadSnippets();
        });
    return save;
}

void SnippetManagerViewModel::createNewSnippet(const std::optional<QString> &folder)
{
    AppStateController *appState = m_appState;
    SecureStorageManager *store = appState ? appState->storageManager() : nullptr;
    if (!appState || !appState->snippetManager() || !store) {
        setCreating(false);
        return;
    }
    const QDateTime createdAt = m_clock.now();
    const Snippet snippet {.id = QUuid::createUuid(),
        .title = u"New snippet"_s,
        .content = {},
        .tags = {},
        .group = folder,
        .isFavorite = false,
        .createdAt = createdAt,
        .updatedAt = m_clock.now(),
        .usageCount = 0};
    const QPointer<SnippetManagerViewModel> self(this);
    const Clock *clock = &m_clock;
    whenFinished(appState, store->insertSnippet(snippet),
        [appState, store, self, clock, id = snippet.id](const std::expected<void, SnippetError> &inserted) {
            if (!inserted) {
                if (self)
                    self->setCreating(false);
                return;
            }
            // Silent: a refused audit row takes nothing from the new snippet.
            (void)store->logAuditEvent(
                {QUuid::createUuid(), clock->now(), AuditEventType::snippetCreated, {}});
            whenFinished(appState, store->fetchSnippets(), [appState, self, id](const SnippetRead &read) {
                // Nothing decrypted is published once the vault has locked.
                if (appState->isUnlocked())
                    appState->setSnippets(read.snippets);
                if (!self)
                    return;
                self->setSelectedSnippetID(id);
                self->loadSnippetIntoEditor();
                self->setCreating(false);
            });
        });
}

void SnippetManagerViewModel::deleteSnippet(const Snippet &snippet)
{
    // The argument may be a row of the list that the removal replaces.
    const Snippet deleted = snippet;
    // Cleared first, so the selection change below saves nothing.
    if (m_editingID == deleted.id)
        m_editingID.reset();
    if (m_selectedSnippetID == deleted.id)
        setSelectedSnippetID(std::nullopt);
    if (m_appState) {
        QList<Snippet> snippets = publishedSnippets();
        if (snippets.removeIf([&deleted](const Snippet &each) { return each.id == deleted.id; }) > 0)
            m_appState->setSnippets(snippets);
    }
    updateCanSave();
    removeSnippetFromStore(deleted);
}

void SnippetManagerViewModel::removeSnippetFromStore(const Snippet &snippet)
{
    AppStateController *appState = m_appState;
    SnippetManager *manager = appState ? appState->snippetManager() : nullptr;
    if (!manager)
        return;
    // A failed delete returns with the reload.
    whenFinished(appState, manager->deleteSnippet(snippet.id), [appState](const StorageOutcome &) {
        if (appState->snippetManager())
            appState->loadSnippets();
    });
}
