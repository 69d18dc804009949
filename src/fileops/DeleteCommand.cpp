#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/MediaControl.h"
#include "controls/MessageBox.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "system/FileNames.h"
#include "system/Paths.h"
#include "system/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A read-only file (its owner may not write it) is not deleted, whoever runs
// the program; the refusal goes where every other failure of Delete goes.
void refuseReadOnly(const QString& path) {
    struct stat st {};
    if (::lstat(FileNames::encode(path).constData(), &st) != 0) throwFromErrno(errno, path);
    if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        throw PlatformError(Err::PermissionDenied, path);
}

// Removes exactly the one file that path names; no pattern is expanded.
void removeFile(const QString& path) {
    if (::unlink(FileNames::encode(path).constData()) != 0) throwFromErrno(errno, path);
}

// Whether the user's own trash folder is there or can be made. Qt 6.4 trashes
// into the working folder, and calls that a success, when it cannot make it.
bool homeTrashReady() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return !data.isEmpty() && QDir().mkpath(data + QStringLiteral("/Trash"));
}

// Whether Qt's own name conversion reaches exactly the bytes path names; a
// name that is not UTF-8 would reach another file through it.
bool qtNamesExactly(const QString& path) {
    return QFile::encodeName(path) == FileNames::encode(path);
}

// Moves the file to the desktop's trash, where the file manager can restore
// it; where there is no trash for it, removes it as before.
void trashOrRemoveFile(const QString& path) {
    if (!qtNamesExactly(path) || !homeTrashReady() || !QFile::moveToTrash(path)) removeFile(path);
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
        if (MsgBox(QStringLiteral("Do you really want to delete this file?"), Mb::YesNo,
                   FileNames::display(name)) != Mb::Yes)
            return;
        refuseReadOnly(Module::SelectedPath);
        trashOrRemoveFile(Module::SelectedPath);
        File1->Refresh();
    } catch (const PlatformError& e) {
        // A file gone behind our back is reported; other refusals stay silent.
        if (e.number() == Err::FileNotFound) askToSelect();
    }
}
