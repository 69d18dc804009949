#include "controls/DriveListBox.h"

#include "system/FileNames.h"

#include <QDir>
#include <QSignalBlocker>

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    volumes_ = Volumes::list();
    const int current = Volumes::indexOfVolumeHolding(volumes_, FileNames::currentPath());
    fill(current >= 0 ? volumes_[current].root : QString());
    // Only a choice by the user arrives here; programmatic changes go through chooseIndex.
    connect(this, &QComboBox::activated, this, [this](int index) { chooseIndex(index); });
}

QString DriveListBox::Drive() const {
    const int index = Volumes::indexOfVolumeHolding(volumes_, chosenRoot_);
    if (index < 0 || volumes_[index].root != chosenRoot_) return chosenRoot_;
    return Volumes::currentFolderOf(volumes_, index);
}

QString DriveListBox::volumeRoot() const {
    return chosenRoot_;
}

void DriveListBox::setDrive(const QString& path) {
    const int index = Volumes::indexOfVolumeHolding(volumes_, QDir::cleanPath(path));
    if (index >= 0) chooseIndex(index);
}

void DriveListBox::showPopup() {
    // Media may have come or gone since the list was last shown.
    fill(chosenRoot_);
    QComboBox::showPopup();
}

void DriveListBox::fill(const QString& chosenRoot) {
    volumes_ = Volumes::list();
    const QSignalBlocker blocker(this);
    clear();
    int chosen = -1;
    for (int i = 0; i < volumes_.size(); ++i) {
        const Volume& v = volumes_[i];
        addItem(v.name == v.root ? v.root : QStringLiteral("%1  [%2]").arg(v.name, v.root));
        if (v.root == chosenRoot) chosen = i;
    }
    if (chosen < 0 && !chosenRoot.isEmpty()) {
        // The chosen volume has gone: it stays shown until another is chosen.
        volumes_.append(Volume{chosenRoot, chosenRoot});
        addItem(chosenRoot);
        chosen = volumes_.size() - 1;
    }
    setCurrentIndex(chosen);
    chosenRoot_ = chosen >= 0 ? volumes_[chosen].root : QString();
}

void DriveListBox::chooseIndex(int index) {
    if (index < 0 || index >= volumes_.size()) return;
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
    }
    if (volumes_[index].root == chosenRoot_) return;
    chosenRoot_ = volumes_[index].root;
    emit Change();
}
