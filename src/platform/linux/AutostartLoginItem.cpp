#include "platform/linux/AutostartLoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

// A desktop entry's Exec value for one program: quoted, with the quoting
// escapes first and the string escapes after them, so that a literal
// backslash ends up as four.
QString execValue(const QString &program)
{
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    quoted.replace(u'\\', u"\\\\"_s);
    quoted.replace(u'\n', u"\\n"_s);
    quoted.replace(u'\t', u"\\t"_s);
    quoted.replace(u'\r', u"\\r"_s);
    quoted.replace(u'%', u"%%"_s);
    return quoted;
}

// Both keys turn an entry off: Hidden for every session, the GNOME one where
// GNOME's tools have switched it off.
bool switchesOff(QStringView key, QStringView value)
{
    return (key == u"Hidden" && value == u"true")
        || (key == u"X-GNOME-Autostart-enabled" && value == u"false");
}

} // namespace

AutostartLoginItem::AutostartLoginItem(QString executablePath)
    : m_executablePath(
        executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(executablePath))
{
}

QString AutostartLoginItem::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/autostart/vantorell.desktop"_s;
}

LoginItem::Status AutostartLoginItem::status() const
{
    QFile file(entryPath());
    if (!file.exists())
        return Status::notRegistered;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return Status::notFound;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0)
            continue;
        if (switchesOff(
                QStringView(line).left(equals).trimmed(), QStringView(line).mid(equals + 1).trimmed()))
            return Status::notRegistered;
    }
    return Status::enabled;
}

std::expected<void, QString> AutostartLoginItem::registerItem()
{
    const QString path = entryPath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return std::unexpected(u"Could not create the folder "_s + folder);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(u"Could not write "_s + path + u": "_s + file.errorString());
    const QString entry = u"[Desktop Entry]\nType=Application\nName=Vantorell\nExec="_s
        + execValue(m_executablePath) + u"\nTerminal=false\n"_s;
    file.write(entry.toUtf8());
    if (!file.commit())
        return std::unexpected(u"Could not write "_s + path + u": "_s + file.errorString());
    return {};
}

std::expected<void, QString> AutostartLoginItem::unregisterItem()
{
    QFile file(entryPath());
    if (!file.exists())
        return {};
    if (!file.remove())
        return std::unexpected(u"Could not remove "_s + file.fileName() + u": "_s + file.errorString());
    return {};
}

void AutostartLoginItem::openSystemSettings()
{
}
