#include "platform/DirListBox.h"

#include "platform/FolderReader.h"
#include "platform/Paths.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QHeaderView>
#include <QStyle>

namespace {
constexpr int PathRole = Qt::UserRole;

QString normalised(const QString& folder, const QString& base) {
    QString absolute = QDir::isAbsolutePath(folder) ? folder : joinPath(base, folder);
    return QDir::cleanPath(absolute);
}
} // namespace

DirListBox::DirListBox(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(12);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openItem(item); });
    setPath(QDir::currentPath());
}

void DirListBox::setPath(const QString& folder) {
    const QString target = normalised(folder, path_.isEmpty() ? QDir::currentPath() : path_);
    if (target == path_) return;
    const QStringList subfolders = FolderReader::entries(target, FolderReader::Kind::Folders);
    path_ = target;
    rebuild(subfolders);
    emit Change();
}

void DirListBox::Refresh() {
    rebuild(FolderReader::entries(path_, FolderReader::Kind::Folders));
}

void DirListBox::rebuild(const QStringList& subfolders) {
    clear();
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);

    auto* item = new QTreeWidgetItem(this, QStringList(QStringLiteral("/")));
    item->setData(0, PathRole, QStringLiteral("/"));
    item->setIcon(0, openIcon);
    QString walked = QStringLiteral("/");
    for (const QString& part : path_.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = joinPath(walked, part);
        item->setExpanded(true);
        item = new QTreeWidgetItem(item, QStringList(part));
        item->setData(0, PathRole, walked);
        item->setIcon(0, openIcon);
    }
    QTreeWidgetItem* open = item;
    for (const QString& name : subfolders) {
        auto* child = new QTreeWidgetItem(open, QStringList(name));
        child->setData(0, PathRole, joinPath(path_, name));
        child->setIcon(0, closedIcon);
    }
    open->setExpanded(true);
    setCurrentItem(open);
    scrollToItem(open);
}

void DirListBox::openItem(QTreeWidgetItem* item) {
    if (!item) return;
    try {
        setPath(item->data(0, PathRole).toString());
    } catch (const PlatformError&) {
        // A folder that cannot be opened stays closed; the list keeps its folder.
    }
}
