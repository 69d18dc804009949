#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// True when name matches pattern, where '*' stands for any run of characters
// and '?' for one; letter case is ignored.
bool wildcardMatch(QStringView pattern, QStringView name);

// True when name matches at least one of the patterns.
bool matchesAny(const QStringList& patterns, QStringView name);

// Splits a ";"-separated pattern list, dropping empty entries.
QStringList splitPatterns(const QString& patternList);
