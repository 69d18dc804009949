#pragma once

// What a user does in the main window, done the way the window's own lists do it.

#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "shell/TheViewer.h"
#include "support/Checks.h"

#include <QStringList>

namespace ViewerSteps {

// Opens folder in the folder list; the file list follows.
inline void openFolder(TheViewer& viewer, const QString& folder) {
    viewer.Dir1->setPath(folder);
}

// Selects name in the file list as a click would; false when it is not listed.
inline bool selectFile(TheViewer& viewer, const QString& name) {
    for (int i = 0; i < viewer.File1->ListCount(); ++i) {
        if (viewer.File1->List(i) == name) {
            viewer.File1->selectIndex(i);
            return viewer.File1->FileName() == name;
        }
    }
    return false;
}

inline QStringList listed(const TheViewer& viewer) { return ::listed(*viewer.File1); }

} // namespace ViewerSteps
