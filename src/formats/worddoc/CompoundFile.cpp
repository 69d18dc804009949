#include "formats/worddoc/CompoundFile.h"

#include "formats/worddoc/LittleEndian.h"

namespace {
constexpr char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr qsizetype HeaderDifatEntries = 109;
} // namespace

bool isCompoundFile(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(Signature, 8));
}

std::optional<CompoundFile> CompoundFile::open(const QByteArray& file) {
    CompoundFile cf(file);
    if (!cf.readHeader() || !cf.readFat() || !cf.readDirectory()) return std::nullopt;
    return cf;
}

bool CompoundFile::readHeader() {
    if (file_.size() < 512 || !isCompoundFile(file_)) return false;
    const LittleEndian h(file_);
    sectorShift_ = h.u16(0x1E);
    miniShift_ = h.u16(0x20);
    if ((sectorShift_ != 9 && sectorShift_ != 12) || miniShift_ != 6) return false;
    fatSectors_ = h.u32(0x2C);
    firstDirectory_ = h.u32(0x30);
    miniCutoff_ = h.u32(0x38);
    firstMiniFat_ = h.u32(0x3C);
    miniFatSectors_ = h.u32(0x40);
    firstDifat_ = h.u32(0x44);
    difatSectors_ = h.u32(0x48);
    return true;
}

bool CompoundFile::readFat() {
    const qsizetype sectorSize = qsizetype(1) << sectorShift_;
    const qsizetype sectorsInFile = file_.size() >> sectorShift_;
    if (fatSectors_ > quint32(sectorsInFile)) return false;
    // The FAT's own sectors: 109 in the header, the rest in the DIFAT chain.
    std::vector<quint32> fatSectors;
    const LittleEndian header(file_);
    for (qsizetype i = 0; i < HeaderDifatEntries && fatSectors.size() < fatSectors_; ++i)
        fatSectors.push_back(header.u32(0x4C + 4 * i));
    quint32 difat = firstDifat_;
    std::vector<bool> seen(size_t(sectorsInFile), false);
    for (quint32 n = 0; n < difatSectors_ && fatSectors.size() < fatSectors_; ++n) {
        if (difat >= quint32(sectorsInFile) - 1 || seen[difat]) return false;
        seen[difat] = true;
        const LittleEndian sector(file_, (qsizetype(difat) + 1) << sectorShift_, sectorSize);
        for (qsizetype i = 0; i + 4 < sectorSize && fatSectors.size() < fatSectors_; i += 4)
            fatSectors.push_back(sector.u32(i));
        difat = sector.u32(sectorSize - 4);
    }
    if (fatSectors.size() < fatSectors_) return false;
    fat_.reserve(fatSectors.size() * size_t(sectorSize / 4));
    for (const quint32 s : fatSectors) {
        const qsizetype offset = (qsizetype(s) + 1) << sectorShift_;
        if (s >= quint32(sectorsInFile) || offset + sectorSize > file_.size()) return false;
        const LittleEndian sector(file_, offset, sectorSize);
        for (qsizetype i = 0; i < sectorSize; i += 4)
            fat_.push_back(sector.u32(i));
    }
    return true;
}

namespace {
// What a chain that breaks gives: the part before the break when so read.
std::optional<QByteArray> broken(QByteArray& read, CompoundFile::Reading reading) {
    if (reading == CompoundFile::Partly && !read.isEmpty()) return std::move(read);
    return std::nullopt;
}
} // namespace

std::optional<QByteArray> CompoundFile::chain(quint32 start, quint64 size, Reading reading) const {
    // No stream is larger than the file that holds it.
    if (size > quint64(file_.size())) {
        if (reading == Whole) return std::nullopt;
        size = quint64(file_.size());
    }
    const qsizetype sectorSize = qsizetype(1) << sectorShift_;
    QByteArray out;
    out.reserve(qsizetype(size));
    std::vector<bool> seen(fat_.size(), false);
    quint32 sector = start;
    while (quint64(out.size()) < size) {
        if (sector >= fat_.size() || seen[sector]) return broken(out, reading);
        seen[sector] = true;
        const qsizetype offset = (qsizetype(sector) + 1) << sectorShift_;
        const qsizetype length = qMin<qsizetype>(sectorSize, qsizetype(size) - out.size());
        if (offset + length > file_.size()) return broken(out, reading);
        out.append(file_.constData() + offset, length);
        sector = fat_[sector];
    }
    return out;
}

std::optional<QByteArray> CompoundFile::miniChain(quint32 start, quint64 size,
                                                  Reading reading) const {
    if (size > quint64(miniStream_.size())) {
        if (reading == Whole) return std::nullopt;
        size = quint64(miniStream_.size());
    }
    const qsizetype sectorSize = qsizetype(1) << miniShift_;
    QByteArray out;
    out.reserve(qsizetype(size));
    std::vector<bool> seen(miniFat_.size(), false);
    quint32 sector = start;
    while (quint64(out.size()) < size) {
        if (sector >= miniFat_.size() || seen[sector]) return broken(out, reading);
        seen[sector] = true;
        const qsizetype offset = qsizetype(sector) << miniShift_;
        const qsizetype length = qMin<qsizetype>(sectorSize, qsizetype(size) - out.size());
        if (offset + length > miniStream_.size()) return broken(out, reading);
        out.append(miniStream_.constData() + offset, length);
        sector = miniFat_[sector];
    }
    return out;
}
