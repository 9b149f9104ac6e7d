#include "ui/windows/settings/AboutTab.h"

#include "platform/Workspace.h"
#include "update/AppVersion.h"

#include <QCoreApplication>
#include <QVariantMap>

using namespace Qt::StringLiterals;

AboutTab::AboutTab(QObject *parent) : QObject(parent)
{
}

void AboutTab::setContext(SettingsWindowContext *context)
{
    if (m_context || !context)
        return;
    m_context = context;
    emit contextChanged();
}

QString AboutTab::versionText()
{
    return versionText(QCoreApplication::applicationVersion(), appBuildNumber());
}

QString AboutTab::versionText(const QString &version, const QString &build)
{
    return u"Version "_s + (version.isEmpty() ? u"1.2.0"_s : version) + u" (Build "_s
        + (build.isEmpty() ? u"1"_s : build) + u')';
}

QVariantList AboutTab::links()
{
    const auto link = [](const QString &title, const QString &url) {
        return QVariantMap {{u"title"_s, title}, {u"url"_s, QUrl(url)}};
    };
    return {link(u"Website"_s, u"https://quenlax.net/vantorell"_s),
        link(u"Privacy Policy"_s, u"https://quenlax.net/vantorell/privacy"_s),
        link(u"Terms"_s, u"https://quenlax.net/vantorell/terms"_s),
        link(u"Support"_s, u"mailto:support@quenlax.net"_s)};
}

void AboutTab::openLink(int index)
{
    const QVariantList all = links();
    if (m_context && index >= 0 && index < all.size())
        m_context->workspace().openURL(all.at(index).toMap().value(u"url"_s).toUrl());
}
