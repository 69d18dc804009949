#include "controls/FileListBox.h"

#include "controls/FileListModel.h"
#include "controls/SelectionLook.h"
#include "system/FileNames.h"
#include "system/FolderReader.h"
#include "system/PlatformError.h"
#include "system/Twips.h"
#include "system/Wildcard.h"

#include <QDir>
#include <QKeyEvent>
#include <QTimer>
#include <cmath>

FileListBox::FileListBox(QWidget* parent)
    : QListView(parent), model_(new FileListModel(this)), keyClick_(new QTimer(this)) {
    keyClick_->setSingleShot(true);
    keyClick_->setInterval(0);
    connect(keyClick_, &QTimer::timeout, this, [this] {
        if (selectionModel()->hasSelection()) emit Click();
    });
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    followFocusInSelection(this);
    // Laid out at once: while a list is laid out in batches, Home, End and the
    // page keys move the cursor without selecting, End only to the last entry
    // laid out so far.
    setLayoutMode(QListView::SinglePass);
    connect(this, &QListView::clicked, this, &FileListBox::clickNow);
    setPath(FileNames::currentPath());
}

void FileListBox::setPath(const QString& folder) {
    reload(QDir::cleanPath(QDir(path_).absoluteFilePath(folder)));
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    reload(path_);
}

void FileListBox::Refresh() {
    reload(path_);
}

void FileListBox::reload(const QString& folder) {
    // The folder must open now; its names are read once, when the list is next
    // looked at, so that a run of path and pattern changes reads it only once.
    FolderReader::checkOpenable(folder);
    path_ = folder;
    if (stale_) return;
    stale_ = true;
    QMetaObject::invokeMethod(
        this, [this] { populate(); }, Qt::QueuedConnection);
}

void FileListBox::populate() const {
    if (!stale_) return;
    stale_ = false;
    const QStringList patterns = splitPatterns(pattern_);
    QStringList names;
    try {
        names =
            FolderReader::entries(path_, FolderReader::Kind::Files, [&patterns](QStringView name) {
                return matchesAny(patterns, name);
            });
    } catch (const PlatformError&) {
        // The folder went away since it was opened: it lists nothing.
    }
    model_->setNames(std::move(names));
}

QString FileListBox::FileName() const {
    populate();
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return {};
    return model_->names().value(selected.first().row());
}

int FileListBox::ListCount() const {
    populate();
    return int(model_->names().size());
}

QString FileListBox::List(int index) const {
    populate();
    return model_->names().value(index);
}

void FileListBox::selectIndex(int index) {
    populate();
    const QModelIndex target = model_->index(index);
    if (!target.isValid()) return;
    setCurrentIndex(target);
    clickNow();
}

void FileListBox::clickNow() {
    keyClick_->stop(); // a pending keyboard Click would repeat this one
    emit Click();
}

void FileListBox::setHeight(double twips) {
    if (twips < 0 || !std::isfinite(twips))
        throw PlatformError(Err::InvalidPropertyValue, QStringLiteral("negative height"));
    resize(width(), int(std::lround(twips / TwipsPerPixel)));
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    populate();
    QListView::mousePressEvent(event);
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    populate();
    const QModelIndex before = currentIndex();
    const bool wasSelected = selectionModel()->isSelected(before);
    QListView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && (after != before || !wasSelected) && selectionModel()->isSelected(after))
        keyClick_->start(); // each further press restarts it
}
