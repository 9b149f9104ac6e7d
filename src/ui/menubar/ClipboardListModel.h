#pragma once

#include "records/ClipboardEntry.h"
#include "ui/menubar/HistoryFilter.h"
#include "ui/menubar/MainPopoverModel.h"

#include <QAbstractListModel>
#include <QImage>
#include <QPointer>
#include <QQuickWindow>
#include <QSet>
#include <QVariantList>
#include <QtQmlIntegration>

#include <optional>

class AppStateController;
class QKeyEvent;

// The panel's history list: the shown entries (chip, then search), the
// keyboard selection, the QR overlay's text, the empty state and the footer.
// A history database that did not open takes the place of an empty history:
// nothing says the history is empty when no copy could be kept. A copy the
// database refused is told there too, or, while the history holds items, in
// place of the footer's count.
// Made with the working screen, so all of it starts fresh each time the
// panel builds that screen. Rows follow their entry's id: a change of the
// history or the query inserts, removes and moves rows, never resets them,
// so a row that stays keeps its own state. Its keys are an event filter on
// the panel window, which sees them before the focused search field.
// Main thread only. Not final: QML makes it through a subclass of its own.
class ClipboardListModel : public QAbstractListModel {
    Q_OBJECT
    Q_DISABLE_COPY(ClipboardListModel)
    QML_ELEMENT

    Q_PROPERTY(MainPopoverModel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    // The panel window whose keys the list handles.
    Q_PROPERTY(QQuickWindow *window READ window WRITE setWindow NOTIFY windowChanged)
    Q_PROPERTY(QString filter READ filterRawValue WRITE setFilterRawValue NOTIFY filterChanged)
    // Each chip as {filter, title, icon}, in order.
    Q_PROPERTY(QVariantList chips READ chips CONSTANT)
    // -1 for none.
    Q_PROPERTY(int selectedIndex READ selectedIndexOrNone NOTIFY selectedIndexChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // Ctrl+1 to Ctrl+this paste the first shown entries.
    Q_PROPERTY(int quickPasteCount READ quickPasteCount NOTIFY countChanged)
    // Empty while the empty state says the history cannot be saved; the
    // title of a refused copy's notice while the history holds items.
    Q_PROPERTY(QString footerText READ footerText NOTIFY footerTextChanged)
    // Why the last copy was refused, below the footer's text, while the
    // history holds items; empty otherwise.
    Q_PROPERTY(QString footerDetail READ footerDetail NOTIFY footerTextChanged)
    Q_PROPERTY(bool historyEmpty READ historyEmpty NOTIFY historyEmptyChanged)
    Q_PROPERTY(QString emptyIcon READ emptyIcon NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptySubtitle READ emptySubtitle NOTIFY emptyStateChanged)
    Q_PROPERTY(int pasteStackCount READ pasteStackCount NOTIFY pasteStackCountChanged)
    Q_PROPERTY(bool qrShown READ qrShown NOTIFY qrChanged)
    // Null, and not encodable, while the text is too long for a QR code.
    Q_PROPERTY(QImage qrImage READ qrImage NOTIFY qrChanged)
    Q_PROPERTY(bool qrEncodable READ qrEncodable NOTIFY qrChanged)

public:
    enum Role { EntryIdRole = Qt::UserRole + 1 };
    static constexpr int qrScale = 8;
    static constexpr int quickPasteLimit = 9;

    explicit ClipboardListModel(QObject *parent = nullptr);
    ~ClipboardListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    MainPopoverModel *panel() const { return m_panel; }
    void setPanel(MainPopoverModel *panel);
    QQuickWindow *window() const { return m_window; }
    void setWindow(QQuickWindow *window);

    HistoryFilter filter() const { return m_filter; }
    void setFilter(HistoryFilter filter);
    QString filterRawValue() const { return rawValue(m_filter); }
    void setFilterRawValue(const QString &raw);
    static QVariantList chips();

    // The shown entries' ids, in order.
    const QList<QUuid> &entryIds() const { return m_ids; }
    int selectedIndexOrNone() const { return m_selectedIndex.value_or(-1); }
    int count() const { return int(m_ids.size()); }
    int quickPasteCount() const { return std::min(count(), quickPasteLimit); }
    QString footerText() const;
    QString footerDetail() const;
    bool historyEmpty() const;
    QString emptyIcon() const;
    QString emptyTitle() const;
    QString emptySubtitle() const;
    int pasteStackCount() const;
    bool qrShown() const { return m_qrText.has_value(); }
    QImage qrImage() const { return m_qrImage; }
    bool qrEncodable() const { return !m_qrImage.isNull(); }

    // Pastes the shown entry at position; nothing past the end.
    Q_INVOKABLE void pasteAt(int position);
    Q_INVOKABLE void showQrCode(const QString &text);
    Q_INVOKABLE void closeQrCode();
    Q_INVOKABLE void clearPasteStack();
    Q_INVOKABLE void pasteAllFromStack();
    Q_INVOKABLE void confirmClearHistory();

    // Return or Enter pastes the selection (the first entry without one,
    // the last when it points past the end), the arrows move it and Escape
    // closes the panel. Keys pass on while the QR overlay shows, a modal
    // window is up, the panel is not key, an input method composes, or with
    // Ctrl, Alt or Meta held; the others pass on too, and so do Return and
    // the arrows over an empty list. True when the key was used.
    bool handleKey(const QKeyEvent &event);

signals:
    void panelChanged();
    void windowChanged();
    void filterChanged();
    void selectedIndexChanged();
    void countChanged();
    void footerTextChanged();
    void historyEmptyChanged();
    void emptyStateChanged();
    void pasteStackCountChanged();
    void qrChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppStateController *appState() const;
    void recompute();
    // Brings the rows to next by inserting, removing and moving rows.
    void updateRows(const QList<ClipboardEntry> &next);
    // Removes the rows whose entry is no longer shown.
    void removeMissing(const QSet<QUuid> &shown);
    void setSelectedIndex(std::optional<int> index);
    // Why no copy is kept, while the whole history is empty: the database
    // that did not open, else the refusal of the last copy.
    QString unsavedReason() const;
    void emptyStateMayHaveChanged();
    void searchQueryChanged();
    bool composing() const;

    QPointer<MainPopoverModel> m_panel;
    QPointer<QQuickWindow> m_window;
    HistoryFilter m_filter = HistoryFilter::all;
    // The rows are ids, cheap to move about; the entries stay in the history,
    // where the rows find them.
    QList<QUuid> m_ids;
    std::optional<int> m_selectedIndex;
    std::optional<QString> m_qrText;
    QImage m_qrImage;
    QList<QMetaObject::Connection> m_connections;
};
