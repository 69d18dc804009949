// The file list and the folder list on big folders, against the cheapest way
// to do the same work: readdir, the same wildcard match, the same sort.
#include "BenchUtil.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "system/FolderReader.h"
#include "system/Wildcard.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString DefaultFilter = QStringLiteral(
    "*.tif;*.bmp;*.gif;*.jpg;*.dib;*.wmf;*.emf;*.ico;*.cur;*.mid;*.wav;*.au;*.avi");
const QString AllGroups = DefaultFilter + QStringLiteral(";*.txt;*.doc;*.nfo");

// Mixed names and endings; about half match the default filter.
void fillFolder(const QString& folder, int count) {
    static const char* endings[] = {".jpg", ".BMP", ".wav", ".avi", ".Gif", ".txt", ".pdf",
                                    ".html", ".mp3", ".c"};
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1file_%2%3")
                                 .arg(QChar(i % 2 ? 'a' + i % 26 : 'A' + i % 26))
                                 .arg(i * 7919 % 1000003)
                                 .arg(QLatin1String(endings[i % 10]));
        const int fd = ::open(QFile::encodeName(folder + '/' + name).constData(),
                              O_CREAT | O_WRONLY, 0644);
        ::close(fd);
    }
}

std::vector<QString> baselineList(const QString& folder, const QString& filter) {
    const QStringList patterns = splitPatterns(filter);
    std::vector<QString> names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.' || e->d_type != DT_REG) continue;
        const QString name = QFile::decodeName(e->d_name);
        if (matchesAny(patterns, name)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir root;
    FileListBox list;
    list.resize(170, 250);
    list.show();
    QApplication::processEvents();

    double ours10k = 0, ours100k = 0;
    for (int count : {1000, 10000, 100000}) {
        const QString folder = root.filePath(QString::number(count));
        QDir().mkpath(folder);
        fillFolder(folder, count);
        list.setPattern(DefaultFilter);
        const int runs = count >= 100000 ? 5 : 9;
        const double ours = bench::medianMs(
            runs,
            [&] {
                list.setPath(folder);
                QApplication::processEvents();
            },
            [&] { list.setPath(root.path()); });
        const double base = bench::medianMs(runs, [&] { baselineList(folder, DefaultFilter); });
        bench::report("File1.setPath " + std::to_string(count) + " files", ours, base, 1.5);
        if (count == 10000) ours10k = ours;
        if (count == 100000) {
            ours100k = ours;
            const double pattern = bench::medianMs(runs, [&] {
                list.setPattern(AllGroups);
                QApplication::processEvents();
                list.setPattern(DefaultFilter);
                QApplication::processEvents();
            });
            const double patternBase = bench::medianMs(runs, [&] {
                baselineList(folder, AllGroups);
                baselineList(folder, DefaultFilter);
            });
            bench::report("File1.setPattern 100000 files (two clicks)", pattern, patternBase, 1.5);
        }
    }
    std::printf("%-48s growth 10000 -> 100000 files: %.1fx (target <= 12)\n", "File1.setPath",
                ours100k / ours10k);

    const QString many = root.filePath("folders");
    for (int i = 0; i < 10000; ++i) QDir().mkpath(many + QStringLiteral("/dir%1").arg(i));
    DirListBox dirs;
    dirs.resize(170, 190);
    dirs.show();
    const double ours = bench::medianMs(
        5,
        [&] {
            dirs.setPath(many);
            QApplication::processEvents();
        },
        [&] { dirs.setPath(root.path()); });
    const double base = bench::medianMs(
        5, [&] { FolderReader::entries(many, FolderReader::Kind::Folders); });
    bench::report("Dir1.setPath 10000 subfolders", ours, base, 1.5);
    return 0;
}
