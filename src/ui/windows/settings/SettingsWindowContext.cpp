#include "ui/windows/settings/SettingsWindowContext.h"

#include "platform/KeyCodeMap.h"
#include "update/UpdateChecker.h"

using namespace Qt::StringLiterals;

const QUrl SettingsWindowContext::rootView(
    u"qrc:/qt-project.org/imports/Vantorell/Windows/settings/SettingsView.qml"_s);

SettingsWindowContext::SettingsWindowContext(Services services, QObject *parent)
    : QObject(parent), m_services(services),
      m_backupWork(services.appState, services.backupOperations, services.backupDialogs)
{
}

QObject *SettingsWindowContext::updateCheckerObject() const
{
    return &m_services.updateChecker;
}

QObject *SettingsWindowContext::keyCodeMapObject() const
{
    return &m_services.keyCodeMap;
}
