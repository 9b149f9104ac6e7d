#pragma once

#include <QString>

// The running version: the application's version when set, else "1.2.0".
QString appVersion();
// The build's own number, set when the application is built.
QString appBuildNumber();

// Whether version a is newer than b. Versions are dot-separated integers;
// empty pieces are dropped, a piece that is not an optionally signed decimal
// number within 64 bits counts as 0, and missing places count as 0.
bool compareVersions(const QString &a, const QString &b);
