#include "ui/menubar/ClipboardEntryRowModel.h"

#include "app/AppStateController.h"
#include "base/Utf8Text.h"
#include "base/WhenFinished.h"
#include "crypto/EncryptionService.h"
#include "store/EntryContentReader.h"
#include "store/SecureStorageManager.h"
#include "tools/SmartActions.h"
#include "ui/design/DesignTokens.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/MenuRenderer.h"
#include "ui/menubar/RowContent.h"
#include "ui/menubar/TransformMenu.h"

#include <QKeySequence>
#include <QtConcurrent>

#include <algorithm>

using namespace Qt::StringLiterals;

const QString ClipboardEntryRowModel::placeholder = u"…"_s;
const QString ClipboardEntryRowModel::lockedPreview = u"••••••••  Locked — account password to paste"_s;

namespace {

QString smartActionTitle(SmartActionKind kind)
{
    switch (kind) {
    case SmartActionKind::openURL:
        return u"Open Link"_s;
    case SmartActionKind::composeEmail:
        return u"Compose Email"_s;
    case SmartActionKind::uppercase:
        return u"Paste as UPPERCASE"_s;
    case SmartActionKind::lowercase:
        return u"Paste as lowercase"_s;
    case SmartActionKind::titlecase:
        return u"Paste as Title Case"_s;
    case SmartActionKind::qrCode:
        return u"Show QR Code"_s;
    }
    return {};
}

QString smartActionSymbol(SmartActionKind kind)
{
    switch (kind) {
    case SmartActionKind::openURL:
        return u"safari"_s;
    case SmartActionKind::composeEmail:
        return u"envelope"_s;
    case SmartActionKind::uppercase:
        return u"textformat.size.larger"_s;
    case SmartActionKind::lowercase:
        return u"textformat.size.smaller"_s;
    case SmartActionKind::titlecase:
        return u"textformat"_s;
    case SmartActionKind::qrCode:
        return u"qrcode"_s;
    }
    return {};
}

bool shownTheSame(const ClipboardEntry &a, const ClipboardEntry &b)
{
    return a.id == b.id && a.contentType == b.contentType && a.createdAt == b.createdAt
        && a.isFavorite == b.isFavorite && a.isPinned == b.isPinned && a.sourceApp == b.sourceApp
        && a.isSensitive == b.isSensitive && a.expiresAt == b.expiresAt;
}

} // namespace

ClipboardEntryRowModel::ClipboardEntryRowModel(QObject *parent) : QObject(parent)
{
}

ClipboardEntryRowModel::~ClipboardEntryRowModel()
{
    closeMenu();
}

void ClipboardEntryRowModel::setPanel(MainPopoverModel *panel)
{
    if (panel == m_panel)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_panelConnections))
        disconnect(connection);
    m_panelConnections.clear();
    m_panel = panel;
    if (panel) {
        AppStateController &state = panel->appState();
        m_panelConnections = {
            connect(&state, &AppStateController::clipboardEntriesChanged, this,
                &ClipboardEntryRowModel::findEntry),
            // Nothing opened may stay on screen once the vault locks.
            connect(&state, &AppStateController::isUnlockedChanged, this,
                [this](bool unlocked) {
                    if (!unlocked)
                        closeMenu();
                }),
            // Showing the panel again shows the row again.
            connect(panel, &MainPopoverModel::appeared, this,
                [this] {
                    if (m_loaded)
                        loadPreview();
                }),
            connect(&panel->rowTimes(), &RowTimeTexts::ticked, this, &ClipboardEntryRowModel::updateTimes),
        };
    }
    findEntry();
    emit panelChanged();
}

void ClipboardEntryRowModel::setEntryId(const QString &id)
{
    const QUuid uuid(id);
    if (uuid == m_entryId)
        return;
    m_entryId = uuid;
    m_entry.reset();
    m_transforms.clear();
    setPreview(placeholder);
    if (!m_thumbnail.isNull()) {
        m_thumbnail = QImage();
        emit thumbnailChanged();
    }
    findEntry();
    emit entryIdChanged();
    if (m_loaded)
        loadPreview();
}

void ClipboardEntryRowModel::setPosition(int position)
{
    if (position == m_position)
        return;
    m_position = position;
    emit positionChanged();
}

QString ClipboardEntryRowModel::keyCapText(int position)
{
    if (position < 0 || position > 8)
        return {};
    return QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + position)).toString(QKeySequence::NativeText);
}

QString ClipboardEntryRowModel::kindSymbol() const
{
    if (!m_entry)
        return {};
    if (m_entry->isSensitive)
        return u"lock.fill"_s;
    switch (m_entry->contentType) {
    case ContentType::plainText:
        return u"doc.text"_s;
    case ContentType::richText:
        return u"doc.richtext"_s;
    case ContentType::image:
        return u"photo"_s;
    case ContentType::fileURL:
        return u"doc"_s;
    }
    return {};
}

QColor ClipboardEntryRowModel::kindColor() const
{
    if (!m_entry)
        return DesignTokens::kindFile();
    if (m_entry->isSensitive)
        return DesignTokens::danger();
    switch (m_entry->contentType) {
    case ContentType::plainText:
        return DesignTokens::kindText();
    case ContentType::richText:
        return DesignTokens::kindRichText();
    case ContentType::image:
        return DesignTokens::kindImage();
    case ContentType::fileURL:
        return DesignTokens::kindFile();
    }
    return DesignTokens::kindFile();
}

AppStateController *ClipboardEntryRowModel::appState() const
{
    return m_panel ? &m_panel->appState() : nullptr;
}

void ClipboardEntryRowModel::findEntry()
{
    const AppStateController *state = appState();
    if (!state || m_entryId.isNull())
        return;
    const QList<ClipboardEntry> entries = state->clipboardEntries();
    const auto found = std::ranges::find(entries, m_entryId, &ClipboardEntry::id);
    // A row whose entry is gone is about to leave the list: it keeps showing it.
    if (found == entries.end())
        return;
    const bool same = m_entry && shownTheSame(*m_entry, *found);
    const bool newPreview = m_entry && m_entry->encryptedPreview != found->encryptedPreview;
    m_entry = *found;
    if (!same) {
        emit entryChanged();
        updateTimes();
    }
    if (newPreview && m_loaded)
        loadPreview();
}

void ClipboardEntryRowModel::updateTimes()
{
    QString age;
    QString countdown;
    if (m_entry && m_panel) {
        age = m_panel->rowTimes().ageText(m_entry->createdAt);
        if (m_entry->expiresAt)
            countdown = m_panel->rowTimes().countdownText(*m_entry->expiresAt);
    }
    if (age == m_age && countdown == m_countdown)
        return;
    m_age = age;
    m_countdown = countdown;
    emit timesChanged();
}

void ClipboardEntryRowModel::setPreview(const QString &preview)
{
    if (preview == m_preview)
        return;
    m_preview = preview;
    emit previewChanged();
}

void ClipboardEntryRowModel::loadPreview()
{
    m_loaded = true;
    const AppStateController *state = appState();
    if (!m_entry || !state)
        return;
    const ClipboardEntry entry = *m_entry;
    if (entry.isSensitive) {
        setPreview(lockedPreview);
        return;
    }
    const SecureStorageManager *store = state->storageManager();
    if (!store)
        return;
    if (entry.contentType == ContentType::image) {
        loadThumbnail(entry);
        return;
    }
    if (entry.encryptedPreview) {
        if (const auto opened = store->encryptionService().decrypt(*entry.encryptedPreview)) {
            if (const std::optional<QString> text = Utf8Text::decode(*opened))
                setPreview(text->trimmed());
        }
    }
    const bool isText
        = entry.contentType == ContentType::plainText || entry.contentType == ContentType::richText;
    if (isText && entry.contentSize() <= RowContent::transformsSealedLimit)
        loadTransforms(entry);
}

void ClipboardEntryRowModel::loadThumbnail(const ClipboardEntry &entry)
{
    const EntryContentReader *reader = appState()->entryContent();
    if (!reader)
        return;
    reader->open(entry, this, [this](const EntryContentReader::Result &opened) {
        if (!opened || opened->id != m_entryId)
            return;
        whenFinished(this, QtConcurrent::run(&RowContent::thumbnail, opened->content),
            [this, id = opened->id](const std::optional<QImage> &thumbnail) {
                if (!thumbnail || id != m_entryId)
                    return;
                m_thumbnail = *thumbnail;
                emit thumbnailChanged();
            });
    });
}

void ClipboardEntryRowModel::loadTransforms(const ClipboardEntry &entry)
{
    const EntryContentReader *reader = appState()->entryContent();
    if (!reader)
        return;
    reader->open(entry, this, [this](const EntryContentReader::Result &opened) {
        if (!opened || opened->id != m_entryId)
            return;
        // Deciding on a long text takes tens of milliseconds: a frame or more.
        whenFinished(this, QtConcurrent::run(&RowContent::transforms, opened->content),
            [this, id = opened->id](const QList<TextTransform> &transforms) {
                if (id == m_entryId)
                    m_transforms = transforms;
            });
    });
}

void ClipboardEntryRowModel::togglePin()
{
    if (AppStateController *state = appState())
        state->togglePin(m_entryId);
}

void ClipboardEntryRowModel::toggleFavorite()
{
    if (AppStateController *state = appState())
        state->toggleFavorite(m_entryId);
}

QList<SmartActionKind> ClipboardEntryRowModel::availableSmartActions() const
{
    if (!m_entry || m_entry->isSensitive || m_entry->contentType == ContentType::image)
        return {};
    return SmartActions::smartActions(m_preview);
}

void ClipboardEntryRowModel::fullText(std::function<void(const QString &)> use)
{
    const AppStateController *state = appState();
    const EntryContentReader *reader = state ? state->entryContent() : nullptr;
    if (!m_entry || !reader) {
        use(m_preview);
        return;
    }
    reader->open(*m_entry, this, [this, use = std::move(use)](const EntryContentReader::Result &opened) {
        std::optional<QString> text;
        if (opened && opened->id == m_entryId)
            text = Utf8Text::decode(opened->content);
        use(text.value_or(m_preview));
    });
}

void ClipboardEntryRowModel::performRowSmartAction(SmartActionKind kind)
{
    fullText([this, kind](const QString &text) {
        AppStateController *state = appState();
        if (!state)
            return;
        switch (kind) {
        case SmartActionKind::uppercase:
        case SmartActionKind::lowercase:
        case SmartActionKind::titlecase:
            state->paste().pasteText(SmartActions::changeCase(kind, text));
            return;
        case SmartActionKind::qrCode:
            emit qrCodeRequested(text);
            return;
        case SmartActionKind::openURL:
        case SmartActionKind::composeEmail:
            state->paste().performSmartAction(kind, text);
            return;
        }
    });
}

MenuModel ClipboardEntryRowModel::rowMenuItems()
{
    MenuModel menu;
    if (!m_entry)
        return menu;
    const ClipboardEntry &entry = *m_entry;
    // Choices act through the row while it lives, on the entry the history
    // holds then: one deleted meanwhile is not pasted or brought back.
    const QPointer<ClipboardEntryRowModel> row = this;
    const auto onEntry = [row](auto act) {
        return [row, act](const QVariant &payload) {
            if (!row || !row->appState())
                return;
            AppStateController &state = *row->appState();
            const QList<ClipboardEntry> entries = state.clipboardEntries();
            const auto found = std::ranges::find(entries, row->m_entryId, &ClipboardEntry::id);
            if (found != entries.end())
                act(state, *found, payload);
        };
    };
    using Payload = const QVariant &;
    menu.append(MenuItem::button(u"Paste"_s, u"arrow.turn.down.left"_s,
        onEntry([](AppStateController &state, const ClipboardEntry &found, Payload) {
            state.paste().revealAndPaste(found);
        })));
    menu.append(MenuItem::button(u"Copy"_s, u"doc.on.doc"_s,
        onEntry([](AppStateController &state, const ClipboardEntry &found, Payload) {
            state.paste().reveal(found);
        })));
    if (PasteController::canStack(entry)) {
        menu.append(MenuItem::button(u"Add to Paste Stack"_s, u"square.stack.3d.up"_s,
            onEntry([](AppStateController &state, const ClipboardEntry &found, Payload) {
                state.togglePasteStackEntry(found.id);
            })));
    }
    if (!m_transforms.isEmpty()) {
        MenuItem transforms = MenuItem::button(u"Transform & Paste"_s, u"wand.and.rays"_s, {});
        transforms.submenu = TransformMenu::items(m_transforms,
            onEntry([](AppStateController &state, const ClipboardEntry &found, Payload payload) {
                if (const auto transform = TextTransform::fromRawValue(payload.toString()))
                    state.paste().pasteTransformedEntry(found, *transform);
            }));
        menu.append(std::move(transforms));
    }
    if (entry.contentType == ContentType::image) {
        menu.append(MenuItem::separator());
        for (const bool copyOnly : {false, true}) {
            menu.append(MenuItem::button(copyOnly ? u"Copy Text from Image"_s : u"Paste Text from Image"_s,
                copyOnly ? u"doc.on.clipboard"_s : u"text.viewfinder"_s,
                onEntry([copyOnly](AppStateController &state, const ClipboardEntry &found, Payload) {
                    state.paste().recognizeTextInEntry(found, copyOnly);
                })));
        }
    }
    if (const QList<SmartActionKind> actions = availableSmartActions(); !actions.isEmpty()) {
        menu.append(MenuItem::separator());
        for (const SmartActionKind kind : actions) {
            menu.append(MenuItem::button(
                smartActionTitle(kind), smartActionSymbol(kind), [row, kind](const QVariant &) {
                    if (row)
                        row->performRowSmartAction(kind);
                }));
        }
    }
    menu.append(MenuItem::separator());
    menu.append(MenuItem::button(entry.isPinned ? u"Unpin"_s : u"Pin to Top"_s,
        entry.isPinned ? u"pin.slash"_s : u"pin"_s,
        onEntry([](AppStateController &state, const ClipboardEntry &found, Payload) {
            state.togglePin(found.id);
        })));
    menu.append(MenuItem::button(entry.isFavorite ? u"Remove Favorite"_s : u"Favorite"_s,
        entry.isFavorite ? u"star.slash"_s : u"star"_s,
        onEntry([](AppStateController &state, const ClipboardEntry &found, Payload) {
            state.toggleFavorite(found.id);
        })));
    menu.append(MenuItem::separator());
    MenuItem remove = MenuItem::button(
        u"Delete"_s, u"trash"_s, onEntry([](AppStateController &state, const ClipboardEntry &found, Payload) {
            state.deleteEntry(found.id);
        }));
    remove.destructive = true;
    menu.append(std::move(remove));
    return menu;
}

void ClipboardEntryRowModel::popUpMenu(QQuickItem *anchor)
{
    AppStateController *state = appState();
    if (!state)
        return;
    closeMenu();
    m_openMenu = MenuRenderer::popUp(rowMenuItems(), {this, state->unlockedFromNow()}, anchor);
}

void ClipboardEntryRowModel::closeMenu()
{
    if (!m_openMenu)
        return;
    // Later: a lock may close it while it still handles an event of its own.
    m_openMenu->close();
    m_openMenu->deleteLater();
    m_openMenu.clear();
}
