#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "shell/TheViewer.h"
#include "system/PlatformError.h"

#include <QDir>
#include <QFileInfo>

void TheViewer::showGiven(const QString& path) {
    // A relative path is taken from the folder the program was started in.
    const QFileInfo given(QDir::current().absoluteFilePath(path));
    const bool folder = given.isDir();
    // Anything else (gone, a device) leaves the lists where the start put them.
    if (!folder && !given.isFile()) return;
    const QString target =
        QDir::cleanPath(folder ? given.absoluteFilePath() : given.absolutePath());
    try {
        // The drive first: choosing a volume moves the folder list to its current folder.
        Drive1->setDrive(target);
        Dir1->setPath(target);
    } catch (const PlatformError&) {
        return; // the lists keep the folder they show
    }
    if (folder) return;
    // Only a file the list offers can be selected; the filter may leave it out.
    for (int row = 0; row < File1->ListCount(); ++row) {
        if (File1->List(row) == given.fileName()) {
            File1->selectIndex(row);
            File1->scrollTo(File1->currentIndex());
            return;
        }
    }
}
