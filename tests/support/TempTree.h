#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test, with helpers to fill it.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;
    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.filePath(relative); }
    // Writes a file (creating its folders) and returns its full path.
    QString write(const QString& relative, const QByteArray& content = {});
    QString mkdir(const QString& relative);

  private:
    QTemporaryDir dir_;
};
