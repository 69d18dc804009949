#include "controls/DirListBox.h"

#include "controls/FolderListModel.h"
#include "controls/SelectionLook.h"
#include "system/FileNames.h"
#include "system/FolderReader.h"
#include "system/Paths.h"
#include "system/PlatformError.h"

#include <QDir>
#include <QStyledItemDelegate>

namespace {

constexpr int IndentPixels = 12;

// Shifts each row right by its depth, as a tree would.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() +
                             IndentPixels * index.data(FolderListModel::DepthRole).toInt());
        QStyledItemDelegate::paint(painter, shifted, index);
    }
};

QString normalised(const QString& folder, const QString& base) {
    QString absolute = QDir::isAbsolutePath(folder) ? folder : joinPath(base, folder);
    return QDir::cleanPath(absolute);
}

} // namespace

DirListBox::DirListBox(QWidget* parent) : QListView(parent), model_(new FolderListModel(this)) {
    setModel(model_);
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    followFocusInSelection(this);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { openRow(index.row()); });
    setPath(FileNames::currentPath());
}

void DirListBox::setPath(const QString& folder) {
    const QString target = normalised(folder, path_.isEmpty() ? FileNames::currentPath() : path_);
    if (target == path_) return;
    const QStringList subfolders = FolderReader::entries(target, FolderReader::Kind::Folders);
    path_ = target;
    display(subfolders);
    emit Change();
}

void DirListBox::Refresh() {
    display(FolderReader::entries(path_, FolderReader::Kind::Folders));
}

int DirListBox::ListCount() const {
    return model_->rowCount();
}

QString DirListBox::List(int row) const {
    return model_->pathAt(row);
}

int DirListBox::OpenRow() const {
    return model_->openRow();
}

void DirListBox::display(const QStringList& subfolders) {
    model_->setFolder(path_, subfolders);
    setCurrentIndex(model_->index(model_->openRow()));
    showOpenFolder();
}

void DirListBox::showOpenFolder() {
    // The open folder at the bottom, its ancestors filling the rows above; when
    // they all fit, the view stays at the root.
    scrollTo(model_->index(model_->openRow()), PositionAtBottom);
}

void DirListBox::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    showOpenFolder();
}

void DirListBox::openRow(int row) {
    if (row < 0) return;
    try {
        setPath(model_->pathAt(row));
    } catch (const PlatformError&) {
        // A folder that cannot be opened stays closed; the list keeps its folder.
    }
}
