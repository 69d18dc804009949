#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/MessageBox.h"
#include "settings/ProgramEnd.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "system/ErrorTrap.h"
#include "system/FolderReader.h"
#include "system/Paths.h"

#include <QDir>
#include <exception>

namespace {

// Puts all three lists on the stored folder. The drive goes first, since
// choosing a volume moves the folder list to that volume's current folder.
void restoreFolder(TheViewer& viewer, const QString& stored) {
    const QString folder = QDir::cleanPath(QDir(viewer.Dir1->Path()).absoluteFilePath(stored));
    // A folder that has gone fails here, before the drive list asks for a disk.
    FolderReader::checkOpenable(folder);
    viewer.Drive1->setDrive(folder);
    viewer.Dir1->setPath(folder);
    viewer.File1->setPath(viewer.Dir1->Path());
}

// Line 2 becomes the folder shown; lines 1, 3 and 4 go back as the file holds
// them, or as memory holds them when the file has gone or is damaged.
void storeShownFolder(TheViewer& viewer) {
    const QString folder = withTrailingSeparator(viewer.Dir1->Path());
    try {
        SettingsFile::read();
    } catch (const std::exception&) {
    }
    SettingsStore::store(Module::TextFiles, folder, Module::SoundFiles, Module::VideoFiles);
}

} // namespace

void TheViewer::Form_Load() {
    Module::AppDir = SettingsLocation::settingsFolderFor(SettingsLocation::applicationPath());
    try {
        const QString folder = SettingsFile::read();
        if (!folder.isEmpty()) restoreFolder(*this, folder);
        pattern();
        return;
    } catch (const std::exception&) {
        // Whatever failed, the run starts over as a first start.
    }

    Module::TextFiles = QStringLiteral("No");
    Module::SoundFiles = QStringLiteral("Yes");
    Module::VideoFiles = QStringLiteral("Yes");
    SettingsStore::store(Module::TextFiles, QString(), Module::SoundFiles, Module::VideoFiles);
    MsgBox(QStringLiteral("With the Quillory you can browse your drives for MultiMedia files..."),
           Mb::Information, QStringLiteral("Welcome.."));
    About_Click();

    QString folder;
    runSkippingFailures({
        [&] { folder = SettingsFile::read(); },
        [&] {
            if (!folder.isEmpty()) restoreFolder(*this, folder);
        },
        [&] { pattern(); },
    });
}

void TheViewer::FileExit_Click() {
    try {
        storeShownFolder(*this);
    } catch (...) {
        // Exit always ends.
    }
    ending_ = true;
    close();
    ProgramEnd::now();
}

void TheViewer::Form_Terminate() {
    // Runs inside the window's close event, which nothing may leave by an exception.
    try {
        storeShownFolder(*this);
    } catch (...) {
    }
}
