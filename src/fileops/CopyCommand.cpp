#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/MessageBox.h"
#include "fileops/Copy.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "system/Paths.h"

void TheViewer::FileCopy_Click() {
    const QString name = File1->FileName();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("Please select a file to copy"), Mb::Exclamation,
               QStringLiteral("Error.."));
        return;
    }
    Module::SelectedPath = joinPath(Dir1->Path(), name);
    Module::SourceName = name;
    // The dialog keeps its own copy of path and name, so later clicks in the
    // file list do not change what its button copies.
    Copy::of(this)->showFor(Module::SelectedPath, Module::SourceName);
}
