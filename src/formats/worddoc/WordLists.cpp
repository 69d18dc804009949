#include "formats/worddoc/WordLists.h"

#include "formats/worddoc/LittleEndian.h"
#include "formats/worddoc/WordPieces.h"
#include "formats/worddoc/WordProperties.h"

namespace {
constexpr qsizetype FkpPage = 512;
constexpr qsizetype BxPap = 13;
constexpr qsizetype Lstf = 28;
constexpr qsizetype Lvlf = 28; // LVLF, the fixed part of a level
constexpr qsizetype Lfo = 16;
constexpr int NoStyle = 0x0FFF;
constexpr int MaxStyleDepth = 16;
constexpr qsizetype MaxStyles = 4096;
constexpr qsizetype MaxLists = 4096;
constexpr int SimpleList = 0x01;
constexpr quint32 StartAtFlag = 0x10, FormattingFlag = 0x20;
} // namespace

WordLists::WordLists(const WordFib& fib, const WordPieces& pieces, QByteArrayView word,
                     QByteArrayView table)
    : pieces_(pieces), word_(word), bins_(fib.table(table, WordFib::ParagraphBins)) {
    readStyles(fib.table(table, WordFib::Stylesheet));
    readLists(fib.tableOnward(table, WordFib::ListDefinitions));
    readOverrides(fib.table(table, WordFib::ListOverrides));
}

void WordLists::readStyles(QByteArrayView stsh) {
    const LittleEndian s(stsh);
    const quint16 header = s.u16(0);
    const qsizetype count = qMin<qsizetype>(s.u16(2), MaxStyles);
    const quint16 baseSize = s.u16(4);
    qsizetype at = 2 + header;
    for (qsizetype i = 0; i < count && s.has(at, 2); ++i) {
        const quint16 size = s.u16(at);
        const LittleEndian std(s.bytes(at + 2, size));
        at += 2 + size;
        ListRef ref;
        const int base = std.u16(2) >> 4;
        // A paragraph style's first property set is its paragraph's.
        if (size && (std.u16(2) & 0x0F) == 1) {
            const qsizetype upx = baseSize + 2 + 2 * qsizetype(std.u16(baseSize)) + 2;
            const qsizetype aligned = upx + (upx & 1);
            const quint16 upxSize = std.u16(aligned);
            if (upxSize >= 2)
                findListSprms(std.bytes(aligned + 4, upxSize - 2), ref.ilfo, ref.ilvl);
        }
        styles_.emplace_back(size ? base : NoStyle, ref);
    }
}

WordLists::ListRef WordLists::styleRef(int istd, int depth) const {
    if (istd < 0 || size_t(istd) >= styles_.size() || depth > MaxStyleDepth) return {};
    ListRef ref = styles_[size_t(istd)].second;
    if (ref.ilfo >= 0 && ref.ilvl >= 0) return ref;
    const ListRef base = styleRef(styles_[size_t(istd)].first, depth + 1);
    if (ref.ilfo < 0) ref.ilfo = base.ilfo;
    if (ref.ilvl < 0) ref.ilvl = base.ilvl;
    return ref;
}

void WordLists::readLists(QByteArrayView lists) {
    const LittleEndian l(lists);
    const qsizetype count = qMin<qsizetype>(qint16(l.u16(0)), MaxLists);
    qsizetype at = 2 + Lstf * qMax<qsizetype>(count, 0);
    for (qsizetype i = 0; i < count && l.has(at, Lvlf); ++i) {
        const qsizetype lstf = 2 + Lstf * i;
        const int levels = (l.u8(lstf + 26) & SimpleList) ? 1 : ListLevels;
        std::vector<ListLevelFormat>& list = lists_[l.u32(lstf)];
        list.clear();
        for (int n = 0; n < levels && l.has(at, Lvlf); ++n) {
            qsizetype size = 0;
            list.push_back(readListLevel(lists, at, size));
            at += size;
        }
    }
}

void WordLists::readOverrides(QByteArrayView overrides) {
    const LittleEndian o(overrides);
    const qsizetype count = qMin<qsizetype>(o.u32(0), MaxLists);
    if (!o.has(4, Lfo * count)) return;
    qsizetype at = 4 + Lfo * count; // the LFOData that follow, one per override
    for (qsizetype i = 0; i < count; ++i) {
        Override lfo;
        lfo.lsid = o.u32(4 + Lfo * i);
        const int levels = o.u8(4 + Lfo * i + 12);
        at += 4; // its cp
        for (int n = 0; n < levels && o.has(at, 8); ++n) {
            const qint32 start = qint32(o.u32(at));
            const quint32 flags = o.u32(at + 4);
            const size_t level = flags & 0x0F;
            at += 8;
            if ((flags & StartAtFlag) && level < size_t(ListLevels)) {
                lfo.startAt[level] = start;
                lfo.hasStart[level] = true;
            }
            if (flags & FormattingFlag) {
                qsizetype size = 0;
                readListLevel(overrides, at, size);
                at += size;
            }
        }
        overrides_.push_back(lfo);
    }
}

WordLists::ListRef WordLists::paragraphRef(qint64 fc) const {
    // The bin table maps FCs to pages of paragraph properties (FKPs).
    const LittleEndian b(bins_);
    const qsizetype bins = b.size() < 4 ? 0 : (b.size() - 4) / 8;
    qsizetype lo = 0, hi = bins;
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (b.u32(4 * (mid + 1)) <= fc)
            lo = mid + 1;
        else
            hi = mid;
    }
    ListRef ref;
    if (lo >= bins || b.u32(4 * lo) > fc) return ref;
    const quint32 page = b.u32(4 * (bins + 1) + 4 * lo) & 0x3FFFFF;
    const LittleEndian fkp(word_, qsizetype(page) * FkpPage, FkpPage);
    if (fkp.size() < FkpPage) return ref;
    const int runs = fkp.u8(FkpPage - 1);
    for (int r = 0; r < runs; ++r) {
        if (fc < fkp.u32(4 * r) || fc >= fkp.u32(4 * (r + 1))) continue;
        const qsizetype papx = 2 * fkp.u8(4 * (runs + 1) + BxPap * r);
        if (papx == 0) return ref;
        const int cb = fkp.u8(papx);
        const qsizetype start = cb ? papx + 1 : papx + 2;
        const qsizetype size = cb ? 2 * cb - 1 : 2 * fkp.u8(papx + 1);
        const LittleEndian grp(fkp.bytes(start, qMin<qsizetype>(size, FkpPage - start)));
        findListSprms(grp.bytes(2, grp.size() - 2), ref.ilfo, ref.ilvl);
        const ListRef style = styleRef(grp.u16(0));
        if (ref.ilfo < 0) ref.ilfo = style.ilfo;
        if (ref.ilvl < 0) ref.ilvl = style.ilvl;
        return ref;
    }
    return ref;
}

QString WordLists::numberAt(quint32 cp) {
    if (overrides_.empty()) return {};
    const qint64 fc = pieces_.fcOf(cp);
    if (fc < 0) return {};
    const ListRef ref = paragraphRef(fc);
    if (ref.ilfo <= 0 || size_t(ref.ilfo) > overrides_.size()) return {};
    Override& lfo = overrides_[size_t(ref.ilfo) - 1];
    const auto list = lists_.constFind(lfo.lsid);
    if (list == lists_.cend()) return {};
    const int level = qBound(0, ref.ilvl, ListLevels - 1);
    ListCount& count = counts_[lfo.lsid];
    // An override that restarts the list does so where it is first used.
    const bool restarts =
        std::find(lfo.hasStart.begin(), lfo.hasStart.end(), true) != lfo.hasStart.end();
    if (restarts && !std::exchange(lfo.used, true)) count = ListCount();
    const int* start = lfo.hasStart[size_t(level)] && !count.started[size_t(level)]
                           ? &lfo.startAt[size_t(level)]
                           : nullptr;
    return nextListNumber(*list, level, count, start);
}
