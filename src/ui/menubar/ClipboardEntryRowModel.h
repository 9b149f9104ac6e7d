#pragma once

#include "records/ClipboardEntry.h"
#include "tools/SmartActionKind.h"
#include "tools/TextTransform.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/MenuItem.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <QtQmlIntegration>

#include <functional>
#include <optional>

class AppStateController;

// One row of the history list: the entry it shows, found by id in the
// published history and followed as its flags change, its preview, thumbnail
// and transforms, its age and count-down, and its menu. Content is opened
// through the application state's content reader; thumbnails and transforms
// are made off the main thread and kept only while the row still shows the
// entry they were made for. Main thread only.
class ClipboardEntryRowModel : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ClipboardEntryRowModel)
    QML_ELEMENT

    Q_PROPERTY(MainPopoverModel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    Q_PROPERTY(QString entryId READ entryId WRITE setEntryId NOTIFY entryIdChanged)
    // The position in the shown list; the first nine carry a key cap.
    Q_PROPERTY(int position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(QString keyCap READ keyCap NOTIFY positionChanged)

    Q_PROPERTY(QString kindSymbol READ kindSymbol NOTIFY entryChanged)
    Q_PROPERTY(QColor kindColor READ kindColor NOTIFY entryChanged)
    Q_PROPERTY(bool isSensitive READ isSensitive NOTIFY entryChanged)
    Q_PROPERTY(bool isImage READ isImage NOTIFY entryChanged)
    Q_PROPERTY(bool isPinned READ isPinned NOTIFY entryChanged)
    Q_PROPERTY(bool isFavorite READ isFavorite NOTIFY entryChanged)
    Q_PROPERTY(QString sourceApp READ sourceApp NOTIFY entryChanged)

    Q_PROPERTY(QString preview READ preview NOTIFY previewChanged)
    Q_PROPERTY(QImage thumbnail READ thumbnail NOTIFY thumbnailChanged)
    Q_PROPERTY(bool hasThumbnail READ hasThumbnail NOTIFY thumbnailChanged)
    Q_PROPERTY(QString age READ age NOTIFY timesChanged)
    // Empty for an entry that does not expire.
    Q_PROPERTY(QString countdown READ countdown NOTIFY timesChanged)

public:
    static const QString placeholder;
    static const QString lockedPreview;

    explicit ClipboardEntryRowModel(QObject *parent = nullptr);
    ~ClipboardEntryRowModel() override;

    MainPopoverModel *panel() const { return m_panel; }
    void setPanel(MainPopoverModel *panel);
    QString entryId() const { return m_entryId.toString(QUuid::WithoutBraces); }
    void setEntryId(const QString &id);
    int position() const { return m_position; }
    void setPosition(int position);
    // Qt's native text of Ctrl and the position's digit; empty past the ninth.
    QString keyCap() const { return keyCapText(m_position); }
    static QString keyCapText(int position);

    QString kindSymbol() const;
    QColor kindColor() const;
    bool isSensitive() const { return m_entry && m_entry->isSensitive; }
    bool isImage() const { return m_entry && m_entry->contentType == ContentType::image; }
    bool isPinned() const { return m_entry && m_entry->isPinned; }
    bool isFavorite() const { return m_entry && m_entry->isFavorite; }
    QString sourceApp() const { return m_entry ? m_entry->sourceApp.value_or(QString()) : QString(); }

    QString preview() const { return m_preview; }
    QImage thumbnail() const { return m_thumbnail; }
    bool hasThumbnail() const { return !m_thumbnail.isNull(); }
    QList<TextTransform> transforms() const { return m_transforms; }
    QString age() const { return m_age; }
    QString countdown() const { return m_countdown; }

    // Fills the preview, thumbnail and transforms anew; what cannot be opened
    // keeps what an earlier load found. Runs as the row comes on screen.
    Q_INVOKABLE void loadPreview();
    Q_INVOKABLE void togglePin();
    Q_INVOKABLE void toggleFavorite();
    // The row's menu under anchor, right-aligned with it, or at the pointer
    // without one. A lock closes it.
    Q_INVOKABLE void popUpMenu(QQuickItem *anchor = nullptr);

    // The menu of the row as it is now; the context menu and the More menu
    // both show it.
    MenuModel rowMenuItems();
    // Decided on the preview; none for secrets and images.
    QList<SmartActionKind> availableSmartActions() const;
    // The whole text, or the preview where it cannot be opened (at once, or
    // once it has been read from the store).
    void fullText(std::function<void(const QString &)> use);
    void performRowSmartAction(SmartActionKind kind);
    QMenu *openMenu() const { return m_openMenu; }

signals:
    void panelChanged();
    void entryIdChanged();
    void positionChanged();
    void entryChanged();
    void previewChanged();
    void thumbnailChanged();
    void timesChanged();
    void qrCodeRequested(const QString &text);

private:
    AppStateController *appState() const;
    void findEntry();
    void updateTimes();
    void setPreview(const QString &preview);
    void loadThumbnail(const ClipboardEntry &entry);
    void loadTransforms(const ClipboardEntry &entry);
    void closeMenu();

    QPointer<MainPopoverModel> m_panel;
    QUuid m_entryId;
    int m_position = -1;
    std::optional<ClipboardEntry> m_entry;
    bool m_loaded = false;
    QString m_preview = placeholder;
    QImage m_thumbnail;
    QList<TextTransform> m_transforms;
    QString m_age;
    QString m_countdown;
    QPointer<QMenu> m_openMenu;
    QList<QMetaObject::Connection> m_panelConnections;
};
