#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/MediaControl.h"
#include "controls/PictureBox.h"
#include "controls/PictureFetcher.h"
#include "controls/RichTextPane.h"
#include "formats/PictureAnimation.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"
#include "system/Paths.h"

#include <QLabel>
#include <exception>

void TheViewer::File1_Click() {
    // The first step that fails ends the whole step without a word; for
    // anything but a picture that is the picture loader's refusal, which
    // comes later, from the picture fetcher, as silently.
    try {
        QString& path = Module::SelectedPath;
        path = withTrailingSeparator(Dir1->Path());
        Picture1->setVisible(false);
        pictureFetcher_->cancel(); // the last file's picture never shows now
        TextB->setVisible(false);
        MMControl1->setCommand(QStringLiteral("Close"));
        path += File1->FileName();
        Label1->setText(FileNames::display(path));
        if (FileTypes::isTextTypeName(File1->FileName())) {
            TextB->setVisible(true);
            TextB->setFileName(path);
        }
        MMControl1->setFileName(path);
        MMControl1->setCommand(QStringLiteral("Open"));
        MMControl1->setCommand(QStringLiteral("Play"));
        // Decoded away from the window, no larger than the picture area can
        // ever show on this screen; a file that is no picture shows nothing.
        // (The path is copied: the picture area decodes it again when zoomed.)
        pictureFetcher_->fetch(
            path, Picture1->decodeLimit(),
            [this, path](const QImage& picture, std::unique_ptr<PictureAnimation> animation) {
                Picture1->setPicture(picture, path);
                Picture1->setVisible(true);
                Picture1->setAnimation(std::move(animation));
            });
    } catch (const std::exception&) {
    }
}

bool TheViewer::isPictureLoading() const {
    return pictureFetcher_->isBusy();
}
