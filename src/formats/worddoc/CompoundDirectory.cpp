#include "formats/worddoc/CompoundFile.h"

#include "formats/worddoc/LittleEndian.h"

namespace {
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr qsizetype EntrySize = 128;
} // namespace

bool CompoundFile::readDirectory() {
    // The directory's length is its chain's: follow it to the end, once.
    QByteArray directory;
    std::vector<bool> seen(fat_.size(), false);
    const qsizetype sectorSize = qsizetype(1) << sectorShift_;
    for (quint32 s = firstDirectory_; s != EndOfChain; s = fat_[s]) {
        const qsizetype offset = (qsizetype(s) + 1) << sectorShift_;
        if (s >= fat_.size() || seen[s] || offset + sectorSize > file_.size()) return false;
        seen[s] = true;
        directory.append(file_.constData() + offset, sectorSize);
    }
    const LittleEndian d(directory);
    for (qsizetype at = 0; at + EntrySize <= directory.size(); at += EntrySize) {
        Entry e;
        const int nameChars = qBound(0, int(d.u16(at + 0x40)) / 2 - 1, 31);
        for (int i = 0; i < nameChars; ++i)
            e.name.append(QChar(d.u16(at + 2 * i)));
        e.type = d.u8(at + 0x42);
        e.left = d.u32(at + 0x44);
        e.right = d.u32(at + 0x48);
        e.child = d.u32(at + 0x4C);
        e.start = d.u32(at + 0x74);
        // Version 3 files leave the upper half of the size undefined.
        e.size = sectorShift_ == 9 ? d.u32(at + 0x78) : d.u64(at + 0x78);
        entries_.push_back(e);
    }
    if (entries_.empty() || entries_[0].type != 5) return false;
    // Small streams live in the mini stream, whose sectors the mini FAT chains.
    if (const auto mini = chain(entries_[0].start, entries_[0].size)) miniStream_ = *mini;
    const quint64 miniFatBytes = quint64(miniFatSectors_) << sectorShift_;
    if (const auto miniFat = chain(firstMiniFat_, qMin(miniFatBytes, quint64(file_.size())))) {
        const LittleEndian m(*miniFat);
        for (qsizetype i = 0; i + 4 <= m.size(); i += 4)
            miniFat_.push_back(m.u32(i));
    }
    return true;
}

const CompoundFile::Entry* CompoundFile::rootChild(const QString& name) const {
    // Children form a tree through left and right links; a damaged file may
    // link in circles, so each entry is visited once.
    std::vector<bool> seen(entries_.size(), false);
    std::vector<quint32> pending{entries_[0].child};
    while (!pending.empty()) {
        const quint32 id = pending.back();
        pending.pop_back();
        if (id >= entries_.size() || seen[id]) continue;
        seen[id] = true;
        const Entry& e = entries_[id];
        if (e.name.compare(name, Qt::CaseInsensitive) == 0) return &e;
        pending.push_back(e.left);
        pending.push_back(e.right);
    }
    return nullptr;
}

std::optional<QByteArray> CompoundFile::stream(const QString& name, Reading reading) const {
    const Entry* e = rootChild(name);
    if (!e || e->type != 2) return std::nullopt;
    if (e->size < miniCutoff_) return miniChain(e->start, e->size, reading);
    return chain(e->start, e->size, reading);
}
