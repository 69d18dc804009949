#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

// Whether the bytes start with the OLE2 compound file signature.
bool isCompoundFile(QByteArrayView bytes);

// A read-only OLE2 compound file (the container of Word 97-2003 documents).
// Every sector chain is checked: sectors must lie in the file, a chain may not
// visit a sector twice, and a stream may not claim more bytes than the file has.
class CompoundFile {
  public:
    // Nothing when the header or the directory cannot be read.
    static std::optional<CompoundFile> open(const QByteArray& file);

    // A stream that is a direct child of the root storage, by name (any case);
    // nothing when it is missing or its chain is broken. Partly: a broken
    // chain or a size beyond the file gives the part before the break.
    enum Reading { Whole, Partly };
    std::optional<QByteArray> stream(const QString& name, Reading reading = Whole) const;

  private:
    struct Entry {
        QString name;
        int type = 0; // 1 storage, 2 stream, 5 root
        quint32 left = 0, right = 0, child = 0;
        quint32 start = 0;
        quint64 size = 0;
    };

    explicit CompoundFile(const QByteArray& file) : file_(file) {}
    bool readHeader();
    bool readFat();
    bool readDirectory();
    std::optional<QByteArray> chain(quint32 start, quint64 size, Reading reading = Whole) const;
    std::optional<QByteArray> miniChain(quint32 start, quint64 size, Reading reading) const;
    const Entry* rootChild(const QString& name) const;

    QByteArray file_;
    int sectorShift_ = 9;
    int miniShift_ = 6;
    quint32 miniCutoff_ = 4096;
    quint32 fatSectors_ = 0, firstDirectory_ = 0, firstMiniFat_ = 0, miniFatSectors_ = 0;
    quint32 firstDifat_ = 0, difatSectors_ = 0;
    std::vector<quint32> fat_;
    std::vector<quint32> miniFat_;
    QByteArray miniStream_;
    std::vector<Entry> entries_;
};
