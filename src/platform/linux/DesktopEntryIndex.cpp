#include "platform/linux/DesktopEntryIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString unescaped(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        switch (value[++i].unicode()) {
        case u's':
            text += u' ';
            break;
        case u'n':
            text += u'\n';
            break;
        case u't':
            text += u'\t';
            break;
        case u'r':
            text += u'\r';
            break;
        default:
            text += value[i];
            break;
        }
    }
    return text;
}

QString lastComponent(const QString &id)
{
    return id.section(u'.', -1);
}

constexpr QStringView desktopSuffix = u".desktop";

// A path below root, with '/' as '-' and without ".desktop".
QString desktopFileId(QString relativePath)
{
    relativePath.chop(desktopSuffix.size());
    return relativePath.replace(u'/', u'-');
}

InstalledApplications::Application application(const DesktopEntryIndex::Entry &entry)
{
    return {entry.id, entry.name, entry.icon};
}

} // namespace

DesktopEntryIndex::DesktopEntryIndex(QStringList folders, QString locale) : m_roots(std::move(folders))
{
    // Name[ll_CC], then Name[ll], then Name.
    const QString language = locale.section(u'_', 0, 0);
    if (locale.contains(u'_'))
        m_localeKeys.append(u"Name["_s + locale + u']');
    if (!language.isEmpty() && language != u"C"_s)
        m_localeKeys.append(u"Name["_s + language + u']');
    m_localeKeys.append(u"Name"_s);
}

QStringList DesktopEntryIndex::standardFolders()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

std::optional<DesktopEntryIndex::Entry> DesktopEntryIndex::entryForId(const QString &id)
{
    refresh();
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.id == id)
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntryIndex::Entry> DesktopEntryIndex::entryForWindowClass(
    const QString &instance, const QString &className)
{
    refresh();
    const QStringList names = {className, instance};
    const auto matches = [&names](const QString &value) {
        return std::ranges::any_of(names, [&value](const QString &name) {
            return !name.isEmpty() && value.compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    // The entry that names its windows' class wins over one that only
    // happens to be named like it.
    for (const Entry &entry : std::as_const(m_entries)) {
        if (matches(entry.startupWmClass))
            return entry;
    }
    for (const Entry &entry : std::as_const(m_entries)) {
        if (matches(entry.id))
            return entry;
    }
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.id.contains(u'.') && matches(lastComponent(entry.id)))
            return entry;
    }
    return std::nullopt;
}

std::optional<InstalledApplications::Application> DesktopEntryIndex::applicationAt(const QString &path)
{
    const QFileInfo file(path);
    if (!file.fileName().endsWith(desktopSuffix) || !file.isFile())
        return std::nullopt;
    const QString filePath = QDir::cleanPath(file.absoluteFilePath());
    QString id = file.fileName();
    for (const QString &root : std::as_const(m_roots)) {
        const QString folder = QDir::cleanPath(QDir(root).absolutePath()) + u'/';
        if (filePath.startsWith(folder)) {
            id = filePath.sliced(folder.size());
            break;
        }
    }
    const std::optional<Entry> entry = readEntry(filePath, desktopFileId(id));
    return entry ? std::optional(::application(*entry)) : std::nullopt;
}

std::optional<InstalledApplications::Application> DesktopEntryIndex::application(
    const QString &bundleIdentifier)
{
    const std::optional<Entry> entry = entryForId(bundleIdentifier);
    return entry ? std::optional(::application(*entry)) : std::nullopt;
}

QString DesktopEntryIndex::applicationsFolder() const
{
    return m_roots.isEmpty() ? QString() : m_roots.constLast();
}

void DesktopEntryIndex::refresh()
{
    const bool unchanged = m_scanned && std::ranges::all_of(m_folders, [](const Folder &folder) {
        return QFileInfo(folder.path).lastModified() == folder.modified;
    });
    if (unchanged)
        return;
    m_scanned = true;
    m_folders.clear();
    m_entries.clear();
    QStringList seenIds;
    for (const QString &root : std::as_const(m_roots))
        scanFolder(root, root, seenIds);
}

void DesktopEntryIndex::scanFolder(const QString &root, const QString &folder, QStringList &seenIds)
{
    // A missing folder is watched too: it may appear later.
    m_folders.append({folder, QFileInfo(folder).lastModified()});
    const QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList({u"*.desktop"_s}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString id = desktopFileId(QDir(root).relativeFilePath(file.filePath()));
        // The first folder that holds an id decides it, even by hiding it.
        if (seenIds.contains(id))
            continue;
        seenIds.append(id);
        if (std::optional<Entry> entry = readEntry(file.filePath(), id))
            m_entries.append(std::move(*entry));
    }
    const QFileInfoList folders = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &subfolder : folders)
        scanFolder(root, subfolder.filePath(), seenIds);
}

std::optional<DesktopEntryIndex::Entry> DesktopEntryIndex::readEntry(
    const QString &path, const QString &id) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QHash<QString, QString> values;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (inMainGroup)
                break;
            inMainGroup = line == u"[Desktop Entry]"_s;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!values.contains(key))
            values.insert(key, unescaped(QStringView(line).mid(equals + 1).trimmed()));
    }
    if (values.value(u"Type"_s) != u"Application"_s || values.value(u"Hidden"_s) == u"true"_s)
        return std::nullopt;
    Entry entry {id, {}, values.value(u"StartupWMClass"_s), values.value(u"Icon"_s)};
    for (const QString &key : m_localeKeys) {
        entry.name = values.value(key);
        if (!entry.name.isEmpty())
            break;
    }
    return entry;
}
