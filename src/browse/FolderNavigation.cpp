#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/MessageBox.h"
#include "controls/PictureFetcher.h"
#include "shell/TheViewer.h"
#include "system/PlatformError.h"

void TheViewer::Drive1_Change() {
    try {
        Dir1->setPath(Drive1->Drive());
    } catch (const PlatformError& e) {
        // The drive list keeps the new drive; folder and file lists keep theirs.
        if (e.number() == Err::DeviceUnavailable)
            MsgBox(QStringLiteral("Please insert a disk, this drive is not accessable"),
                   Mb::Exclamation, QStringLiteral("Error.."));
    }
}

void TheViewer::Dir1_Change() {
    pictureFetcher_->dropPrefetched(); // the pictures of another folder
    try {
        File1->setPath(Dir1->Path());
    } catch (const PlatformError&) {
        // The folder went away or cannot be read: the file list keeps what it
        // shows, and the folder list goes back to that folder so the two agree.
        try {
            Dir1->setPath(File1->Path());
        } catch (const PlatformError&) {
        }
    }
}
