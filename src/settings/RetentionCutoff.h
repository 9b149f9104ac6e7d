#pragma once

#include <QDateTime>
#include <QtGlobal>

// The instant before which history entries have outlived hours of retention.
QDateTime retentionCutoff(const QDateTime &now, qint64 hours);
