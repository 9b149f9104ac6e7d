#include "RowPages.h"

#include "SampleDesktop.h"

#include "app/AppStateController.h"
#include "base/Clock.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "crypto/SecureRandom.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "ui/menubar/ClipboardEntryRowModel.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/MenuRenderer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Ages and count-downs that read the same on every run.
class FixedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 5, 4), QTime(10, 30), Qt::UTC); }
    std::chrono::milliseconds elapsed() const override { return {}; }
};

QByteArray samplePicture()
{
    QImage image(480, 120, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 480, 120);
    gradient.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    gradient.setColorAt(1, QColor(0xf2, 0x9f, 0x4b));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Sample {
    QByteArray text;
    ContentType type = ContentType::plainText;
    qint64 minutesAgo = 0;
    const char *sourceApp = nullptr;
    bool pinned = false;
    bool starred = false;
    bool sensitive = false;
};

QList<ClipboardEntry> sampleRows(const EncryptionService &encryption, const Clock &clock)
{
    const QList<Sample> samples {
        {"git push origin main", ContentType::plainText, 2, "Terminal"},
        {"Meeting notes: roadmap & budget review for the second quarter, with the open questions",
            ContentType::richText, 45, "LibreOffice Writer"},
        {samplePicture(), ContentType::image, 180},
        {"/home/sam/Documents/report.pdf", ContentType::fileURL, 60 * 26, "Files"},
        {"sk_live_51HxQ", ContentType::plainText, 1, "Firefox", false, false, true},
        {R"({"name": "Vantorell", "tags": [1, 2]})", ContentType::plainText, 60 * 24 * 9, "Code", true, true},
        {"https://example.org/articles/how-to-keep-a-clipboard-history", ContentType::plainText, 5},
    };
    QList<ClipboardEntry> entries;
    for (const Sample &sample : samples) {
        ClipboardEntry entry {.id = QUuid::createUuid(),
            .contentType = sample.type,
            .createdAt = clock.now().addSecs(-60 * sample.minutesAgo),
            .isFavorite = sample.starred,
            .isPinned = sample.pinned,
            .isSensitive = sample.sensitive,
            .encryptedContent = encryption.encrypt(sample.text).value()};
        if (sample.sourceApp)
            entry.sourceApp = QString::fromUtf8(sample.sourceApp);
        if (sample.sensitive)
            entry.expiresAt = clock.now().addSecs(252);
        if (sample.type != ContentType::image)
            entry.encryptedPreview = encryption.encrypt(sample.text.left(100)).value();
        entries.append(entry);
    }
    return entries;
}

const char *page = R"(
import QtQuick
import Vantorell.Design
import Vantorell.MenuBar

PanelBackground {
    id: root
    required property MainPopoverModel panel
    required property var ids
    width: 400
    height: rows.implicitHeight + 16

    Column {
        id: rows
        x: 8
        y: 8
        width: root.width - 16
        spacing: 2
        Repeater {
            model: root.ids
            ClipboardEntryRow {
                required property string modelData
                required property int index
                width: rows.width
                entryId: modelData
                panel: root.panel
                position: index
                selected: index === 1
            }
        }
    }
}
)";

// Rows made by a repeater are no QObject children of their column.
ClipboardEntryRowModel *findRow(QQuickItem *item, bool (ClipboardEntryRowModel::*has)() const)
{
    for (auto *row : item->findChildren<ClipboardEntryRowModel *>(Qt::FindDirectChildrenOnly)) {
        if ((row->*has)())
            return row;
    }
    for (QQuickItem *child : item->childItems()) {
        if (ClipboardEntryRowModel *row = findRow(child, has))
            return row;
    }
    return nullptr;
}

// Lets loading finish and the window draw.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(450, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

bool RowPages::write(const QString &appearance)
{
    QTemporaryDir home;
    SampleDesktop desktop;
    FixedClock clock;
    MasterKeyHolder key;
    key.set(SecureRandom::bytes(32).value());
    EncryptionService encryption(key);
    SecureStorageManager store(encryption);
    SnippetManager snippets(store);
    SettingsManager settings(home.filePath(u"Vantorell.conf"_s), desktop.loginItem, desktop.dockPresence);
    AppStateController appState(clock);
    appState.configure(nullptr, store, snippets, nullptr, settings);
    appState.setUnlocked(true);
    const QList<ClipboardEntry> entries = sampleRows(encryption, clock);
    appState.setClipboardEntries(entries);
    MainPopoverModel panel(appState, desktop.keySender);
    QStringList ids;
    for (const ClipboardEntry &entry : entries)
        ids.append(entry.id.toString());

    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(page, QUrl(u"rows.qml"_s));
    QQuickWindow window;
    const std::unique_ptr<QObject> root(
        component.createWithInitialProperties({{u"panel"_s, QVariant::fromValue(&panel)}, {u"ids"_s, ids}}));
    auto *item = qobject_cast<QQuickItem *>(root.get());
    if (!item) {
        std::fprintf(stderr, "rows: %s\n", qPrintable(component.errorString()));
        return false;
    }
    item->setParentItem(window.contentItem());
    window.resize(int(item->width()), int(item->height()));
    window.show();
    settle();
    window.resize(int(item->width()), int(item->height()));
    // The pointer over the last row shows its hover bar.
    const QPointF over(item->width() / 2, item->height() - 30);
    QMouseEvent move(QEvent::MouseMove, over, window.mapToGlobal(over), Qt::NoButton, {}, {});
    QCoreApplication::sendEvent(&window, &move);
    settle();
    const auto save = [this, &appearance](const QImage &image, const QString &name) {
        const QString file = m_folder.filePath(u"%1-%2.png"_s.arg(name, appearance));
        if (image.save(file))
            return true;
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    };
    if (!save(window.grabWindow(), u"rows"_s))
        return false;
    const auto saveMenu = [&save](ClipboardEntryRowModel *row, const QString &name) {
        if (!row)
            return false;
        const std::unique_ptr<QMenu> menu = MenuRenderer::render(row->rowMenuItems(), {row, {}});
        menu->adjustSize();
        return save(menu->grab().toImage(), name);
    };
    // The pinned text's, with its transforms and smart actions, and the picture's.
    return saveMenu(findRow(item, &ClipboardEntryRowModel::isPinned), u"row-menu"_s)
        && saveMenu(findRow(item, &ClipboardEntryRowModel::isImage), u"picture-row-menu"_s);
}
