#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsStore.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "system/FileTypes.h"

#include <QAction>
#include <exception>

namespace {

// Appends a group's patterns when its option is on and marks ON or OFF to match.
void applyGroup(QString& filter, const QString& option, FileTypes::Group group, QAction* on,
                QAction* off) {
    const bool shown = option == QLatin1String("Yes"); // exact: "yes" counts as off
    if (shown) filter += u';' + FileTypes::patterns(group);
    off->setChecked(!shown);
    on->setChecked(shown);
}

// The one algorithm of the six Options items. clicked is the item the user
// chose, with its mark as it was before the click.
void switchGroup(TheViewer& viewer, QAction* clicked, QAction* other, QString& option,
                 const QString& value) {
    QString folder;
    bool fileRead = true;
    try {
        folder = SettingsFile::read();
    } catch (const std::exception&) {
        // Removed or damaged during the run: carry on with the options in
        // memory and write the file anew; the stored folder is lost with it.
        fileRead = false;
    }
    const bool change = !clicked->isChecked();
    if (change) {
        clicked->setChecked(true);
        other->setChecked(false);
        option = value;
    }
    if (change || !fileRead)
        SettingsStore::store(Module::TextFiles, folder, Module::SoundFiles, Module::VideoFiles);
    try {
        viewer.pattern();
    } catch (const std::exception&) {
        // The filter is set; lists that cannot follow keep what they show.
    }
}

} // namespace

void TheViewer::pattern() {
    using FileTypes::Group;
    QString filter = FileTypes::patterns(Group::Picture);
    applyGroup(filter, Module::TextFiles, Group::Text, TextON, TextOFF);
    applyGroup(filter, Module::SoundFiles, Group::Sound, SoundON, SoundOFF);
    applyGroup(filter, Module::VideoFiles, Group::Video, VideoON, VideoOFF);
    File1->setPattern(filter);
    Drive1->setDrive(Dir1->Path());
    Dir1->setPath(File1->Path());
}

void TheViewer::TextON_Click() {
    switchGroup(*this, TextON, TextOFF, Module::TextFiles, QStringLiteral("Yes"));
}
void TheViewer::TextOFF_Click() {
    switchGroup(*this, TextOFF, TextON, Module::TextFiles, QStringLiteral("No"));
}
void TheViewer::SoundON_Click() {
    switchGroup(*this, SoundON, SoundOFF, Module::SoundFiles, QStringLiteral("Yes"));
}
void TheViewer::SoundOFF_Click() {
    switchGroup(*this, SoundOFF, SoundON, Module::SoundFiles, QStringLiteral("No"));
}
void TheViewer::VideoON_Click() {
    switchGroup(*this, VideoON, VideoOFF, Module::VideoFiles, QStringLiteral("Yes"));
}
void TheViewer::VideoOFF_Click() {
    switchGroup(*this, VideoOFF, VideoON, Module::VideoFiles, QStringLiteral("No"));
}
