#pragma once

#include "controls/FileListBox.h"
#include "system/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>

// The platform error number an action fails with; 0 when it succeeds.
inline int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}

// The names a file list shows, in order.
inline QStringList listed(const FileListBox& list) {
    QStringList names;
    for (int i = 0; i < list.ListCount(); ++i)
        names << list.List(i);
    return names;
}

inline QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Everything in folder, hidden entries included, so leftovers show.
inline QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}
