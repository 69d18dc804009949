#include "platform/FileListBox.h"

#include "platform/FileListModel.h"
#include "platform/FolderReader.h"
#include "platform/PlatformError.h"
#include "platform/Twips.h"
#include "platform/Wildcard.h"

#include <QDir>
#include <QKeyEvent>
#include <cmath>

FileListBox::FileListBox(QWidget* parent) : QListView(parent), model_(new FileListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    connect(this, &QListView::clicked, this, [this] { emit Click(); });
    setPath(QDir::currentPath());
}

void FileListBox::setPath(const QString& folder) {
    reload(QDir::cleanPath(QDir(path_).absoluteFilePath(folder)));
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    reload(path_);
}

void FileListBox::Refresh() { reload(path_); }

void FileListBox::reload(const QString& folder) {
    const QStringList patterns = splitPatterns(pattern_);
    QStringList names = FolderReader::entries(
        folder, FolderReader::Kind::Files,
        [&patterns](QStringView name) { return matchesAny(patterns, name); });
    path_ = folder;
    model_->setNames(std::move(names));
}

QString FileListBox::FileName() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return {};
    return model_->names().value(selected.first().row());
}

int FileListBox::ListCount() const { return int(model_->names().size()); }

QString FileListBox::List(int index) const { return model_->names().value(index); }

void FileListBox::selectIndex(int index) {
    const QModelIndex target = model_->index(index);
    if (!target.isValid()) return;
    setCurrentIndex(target);
    emit Click();
}

void FileListBox::setHeight(double twips) {
    if (twips < 0 || !std::isfinite(twips))
        throw PlatformError(Err::InvalidPropertyValue, QStringLiteral("negative height"));
    resize(width(), int(std::lround(twips / TwipsPerPixel)));
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    const bool wasSelected = selectionModel()->isSelected(before);
    QListView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && (after != before || !wasSelected) &&
        selectionModel()->isSelected(after))
        emit Click();
}
