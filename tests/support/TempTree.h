#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <ctime>

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
    // By bytes, for names that need not be UTF-8: writes a file dated `age`
    // seconds back, or reads one ("<unreadable>" when it cannot).
    bool writeRaw(const QByteArray& relative, const QByteArray& content, time_t age = 0) const;
    QByteArray readRaw(const QByteArray& relative) const;

  private:
    QTemporaryDir dir_;
};
