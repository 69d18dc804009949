#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/MediaControl.h"
#include "controls/MessageBox.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "system/Paths.h"
#include "system/PlatformError.h"

#include <QFile>
#include <cerrno>
#include <unistd.h>

namespace {

// Removes exactly the one file that path names; no pattern is expanded.
void removeFile(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) != 0) throwFromErrno(errno, path);
}

void askToSelect() {
    MsgBox(QStringLiteral("Please select a file to delete"), Mb::Exclamation,
           QStringLiteral("Error.."));
}

} // namespace

void TheViewer::FileDel_Click() {
    try {
        // Playback stops first, whatever follows, and the file is let go.
        MMControl1->setCommand(QStringLiteral("Close"));
        const QString name = File1->FileName();
        if (name.isEmpty()) {
            askToSelect();
            return;
        }
        Module::SelectedPath = joinPath(Dir1->Path(), name);
        if (MsgBox(QStringLiteral("Do you really want to delete this file?"), Mb::YesNo, name) !=
            Mb::Yes)
            return;
        removeFile(Module::SelectedPath);
        File1->Refresh();
    } catch (const PlatformError& e) {
        // A file gone behind our back is reported; other refusals stay silent.
        if (e.number() == Err::FileNotFound) askToSelect();
    }
}
