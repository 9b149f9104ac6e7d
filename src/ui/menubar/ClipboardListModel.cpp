#include "ui/menubar/ClipboardListModel.h"

#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "store/SecureStorageManager.h"
#include "tools/QrCodeImage.h"
#include "ui/menubar/FilteredEntries.h"
#include "ui/menubar/MainPopoverModel.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString unsavedTitle()
{
    return u"History can't be saved"_s;
}

SearchTextOpener openerFor(const AppStateController &appState)
{
    const SecureStorageManager *store = appState.storageManager();
    if (!store)
        return [](QByteArrayView) { return std::optional<QByteArray>(); };
    const EncryptionService &encryption = store->encryptionService();
    // One key for the whole walk, read once.
    const EncryptionService::KeySession session = encryption.keySession();
    return [&encryption, session](QByteArrayView sealed) -> std::optional<QByteArray> {
        std::expected<QByteArray, SealingError> opened = encryption.decrypt(sealed, session);
        if (!opened)
            return std::nullopt;
        return std::move(*opened);
    };
}

} // namespace

ClipboardListModel::ClipboardListModel(QObject *parent) : QAbstractListModel(parent)
{
}

ClipboardListModel::~ClipboardListModel()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

int ClipboardListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ClipboardListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
        || role != EntryIdRole)
        return {};
    return m_ids.at(index.row()).toString(QUuid::WithoutBraces);
}

QHash<int, QByteArray> ClipboardListModel::roleNames() const
{
    return {{EntryIdRole, "entryId"}};
}

AppStateController *ClipboardListModel::appState() const
{
    return m_panel ? &m_panel->appState() : nullptr;
}

void ClipboardListModel::setPanel(MainPopoverModel *panel)
{
    if (m_panel == panel)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_panel = panel;
    if (AppStateController *state = appState()) {
        m_connections = {
            connect(state, &AppStateController::clipboardEntriesChanged, this,
                [this] {
                    recompute();
                    emit historyEmptyChanged();
                    emptyStateMayHaveChanged();
                }),
            connect(state, &AppStateController::databaseErrorChanged, this,
                &ClipboardListModel::emptyStateMayHaveChanged),
            connect(state, &AppStateController::copyRefusalChanged, this,
                &ClipboardListModel::emptyStateMayHaveChanged),
            connect(state, &AppStateController::searchQueryChanged, this,
                &ClipboardListModel::searchQueryChanged),
            connect(state, &AppStateController::pasteStackChanged, this,
                &ClipboardListModel::pasteStackCountChanged),
        };
    }
    recompute();
    emit panelChanged();
    emit historyEmptyChanged();
    emptyStateMayHaveChanged();
    emit pasteStackCountChanged();
}

void ClipboardListModel::setWindow(QQuickWindow *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (m_window)
        m_window->installEventFilter(this);
    emit windowChanged();
}

void ClipboardListModel::setFilter(HistoryFilter filter)
{
    if (m_filter == filter)
        return;
    m_filter = filter;
    setSelectedIndex(std::nullopt);
    recompute();
    emit filterChanged();
    emit emptyStateChanged();
}

void ClipboardListModel::setFilterRawValue(const QString &raw)
{
    if (const std::optional<HistoryFilter> filter = fromRawValue<HistoryFilter>(raw))
        setFilter(*filter);
}

QVariantList ClipboardListModel::chips()
{
    QVariantList chips;
    for (const auto &[filter, raw] : RawValueTable<HistoryFilter>::entries) {
        chips.append(QVariantMap {
            {u"filter"_s, raw.toString()}, {u"title"_s, title(filter)}, {u"icon"_s, icon(filter)}});
    }
    return chips;
}

void ClipboardListModel::searchQueryChanged()
{
    setSelectedIndex(std::nullopt);
    recompute();
    emit emptyStateChanged();
}

void ClipboardListModel::recompute()
{
    const AppStateController *state = appState();
    updateRows(state
            ? filteredEntries(state->orderedEntries(), m_filter, state->searchQuery(), openerFor(*state))
            : QList<ClipboardEntry>());
}

void ClipboardListModel::updateRows(const QList<ClipboardEntry> &next)
{
    const int before = count();
    QSet<QUuid> shown;
    shown.reserve(next.size());
    for (const ClipboardEntry &entry : next)
        shown.insert(entry.id);
    removeMissing(shown);
    const QSet<QUuid> present(m_ids.begin(), m_ids.end());

    for (qsizetype at = 0; at < next.size();) {
        const QUuid id = next.at(at).id;
        if (at < m_ids.size() && m_ids.at(at) == id) {
            ++at;
        } else if (!present.contains(id)) {
            qsizetype last = at;
            while (last + 1 < next.size() && !present.contains(next.at(last + 1).id))
                ++last;
            beginInsertRows({}, int(at), int(last));
            m_ids.insert(at, last - at + 1, QUuid());
            for (qsizetype row = at; row <= last; ++row)
                m_ids[row] = next.at(row).id;
            endInsertRows();
            at = last + 1;
        } else if (at + 1 < m_ids.size() && m_ids.at(at + 1) == id) {
            // The row here went down (unpinned, say): move it, not all the
            // rows it passes.
            const QUuid leaving = m_ids.at(at);
            qsizetype target = at + 1;
            while (target < next.size() && next.at(target).id != leaving)
                ++target;
            const qsizetype to = std::min(target, m_ids.size() - 1);
            beginMoveRows({}, int(at), int(at), {}, int(to + 1));
            m_ids.move(at, to);
            endMoveRows();
        } else {
            const qsizetype from = m_ids.indexOf(id, at + 1);
            beginMoveRows({}, int(from), int(from), {}, int(at));
            m_ids.move(from, at);
            endMoveRows();
        }
    }
    if (count() != before) {
        emit countChanged();
        emit footerTextChanged();
    }
}

void ClipboardListModel::removeMissing(const QSet<QUuid> &shown)
{
    for (qsizetype last = m_ids.size() - 1; last >= 0;) {
        if (shown.contains(m_ids.at(last))) {
            --last;
            continue;
        }
        qsizetype first = last;
        while (first > 0 && !shown.contains(m_ids.at(first - 1)))
            --first;
        beginRemoveRows({}, int(first), int(last));
        m_ids.remove(first, last - first + 1);
        endRemoveRows();
        last = first - 1;
    }
}

void ClipboardListModel::setSelectedIndex(std::optional<int> index)
{
    if (m_selectedIndex == index)
        return;
    m_selectedIndex = index;
    emit selectedIndexChanged();
}

QString ClipboardListModel::footerText() const
{
    if (!footerDetail().isEmpty())
        return unsavedTitle();
    if (!unsavedReason().isEmpty())
        return {};
    return count() == 1 ? u"1 item"_s : u"%1 items"_s.arg(count());
}

QString ClipboardListModel::footerDetail() const
{
    const AppStateController *state = appState();
    return state && !state->clipboardEntries().isEmpty() ? state->copyRefusal() : QString();
}

QString ClipboardListModel::unsavedReason() const
{
    const AppStateController *state = appState();
    if (!state || !state->clipboardEntries().isEmpty())
        return {};
    return state->databaseError().isEmpty() ? state->copyRefusal() : state->databaseError();
}

void ClipboardListModel::emptyStateMayHaveChanged()
{
    emit emptyStateChanged();
    emit footerTextChanged();
}

bool ClipboardListModel::historyEmpty() const
{
    const AppStateController *state = appState();
    return !state || state->clipboardEntries().isEmpty();
}

int ClipboardListModel::pasteStackCount() const
{
    const AppStateController *state = appState();
    return state ? int(state->pasteStack().size()) : 0;
}

namespace {

struct EmptyState {
    QString icon;
    QString title;
    QString subtitle;
};

EmptyState emptyStateFor(HistoryFilter filter, bool queryPresent, const QString &unsavedReason)
{
    // Whatever the chip or the query: nothing could be kept to match them.
    if (!unsavedReason.isEmpty())
        return {u"exclamationmark.triangle.fill"_s, unsavedTitle(), unsavedReason};
    if (queryPresent)
        return {u"magnifyingglass"_s, u"No matches"_s, u"Try a different search."_s};
    const QString ofType = u"Nothing of this type in your history."_s;
    switch (filter) {
    case HistoryFilter::all:
        break;
    case HistoryFilter::pinned:
        return {u"pin"_s, u"No pinned items"_s, u"Pin or star an item to keep it at the top."_s};
    case HistoryFilter::text:
        return {u"clipboard"_s, u"No text items"_s, ofType};
    case HistoryFilter::images:
        return {u"clipboard"_s, u"No images"_s, ofType};
    }
    return {u"clipboard"_s, u"Nothing copied yet"_s, u"Copy something and it appears here, encrypted."_s};
}

} // namespace

QString ClipboardListModel::emptyIcon() const
{
    const AppStateController *state = appState();
    return emptyStateFor(m_filter, state && !state->searchQuery().isEmpty(), unsavedReason()).icon;
}

QString ClipboardListModel::emptyTitle() const
{
    const AppStateController *state = appState();
    return emptyStateFor(m_filter, state && !state->searchQuery().isEmpty(), unsavedReason()).title;
}

QString ClipboardListModel::emptySubtitle() const
{
    const AppStateController *state = appState();
    return emptyStateFor(m_filter, state && !state->searchQuery().isEmpty(), unsavedReason()).subtitle;
}

void ClipboardListModel::pasteAt(int position)
{
    AppStateController *state = appState();
    if (!state || position < 0 || position >= count())
        return;
    const QList<ClipboardEntry> entries = state->clipboardEntries();
    const auto found = std::ranges::find(entries, m_ids.at(position), &ClipboardEntry::id);
    if (found != entries.end())
        state->paste().revealAndPaste(*found);
}

void ClipboardListModel::showQrCode(const QString &text)
{
    m_qrText = text;
    m_qrImage = qrCodeImage(text, qrScale).value_or(QImage());
    emit qrChanged();
}

void ClipboardListModel::closeQrCode()
{
    if (!m_qrText)
        return;
    m_qrText.reset();
    m_qrImage = {};
    emit qrChanged();
}

void ClipboardListModel::clearPasteStack()
{
    if (AppStateController *state = appState())
        state->setPasteStack({});
}

void ClipboardListModel::pasteAllFromStack()
{
    if (AppStateController *state = appState())
        state->paste().pasteAllFromStack();
}

void ClipboardListModel::confirmClearHistory()
{
    if (AppStateController *state = appState())
        state->confirmClearHistory();
}

bool ClipboardListModel::composing() const
{
    const QObject *focus = m_window ? m_window->focusObject() : nullptr;
    return focus && !focus->property("preeditText").toString().isEmpty();
}

bool ClipboardListModel::handleKey(const QKeyEvent &event)
{
    AppStateController *state = appState();
    if (m_qrText || QGuiApplication::modalWindow() || !state || !state->isPanelKey() || composing())
        return false;
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int n = count();
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (n == 0)
            return false;
        pasteAt(std::min(m_selectedIndex.value_or(0), n - 1));
        return true;
    case Qt::Key_Down:
        if (n == 0)
            return false;
        setSelectedIndex(std::min(m_selectedIndex.value_or(-1) + 1, n - 1));
        return true;
    case Qt::Key_Up:
        if (n == 0)
            return false;
        setSelectedIndex(std::max(m_selectedIndex.value_or(1) - 1, 0));
        return true;
    case Qt::Key_Escape:
        emit state->dismissPanel();
        return true;
    default:
        return false;
    }
}

bool ClipboardListModel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<const QKeyEvent &>(*event));
    return QAbstractListModel::eventFilter(watched, event);
}
