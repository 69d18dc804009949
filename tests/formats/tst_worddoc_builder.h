#pragma once

// Builds Word 97 documents in memory for the tests: a version 3 compound file
// (512-byte sectors, small streams in the mini stream) holding a WordDocument
// stream (FIB and text) and a table stream with the piece table.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QtEndian>

namespace wordtest {

inline void put16(QByteArray& b, qsizetype at, quint16 v) {
    qToLittleEndian(v, b.data() + at);
}
inline void put32(QByteArray& b, qsizetype at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

constexpr quint32 End = 0xFFFFFFFE, Free = 0xFFFFFFFF, FatSect = 0xFFFFFFFD;

struct Compound {
    QByteArray bytes;
    QHash<QString, quint32> firstSector; // regular-sector streams only
    qsizetype fatOffset = 512;           // the FAT is the first sector
    qsizetype directoryOffset = 0;
};

inline Compound compoundFile(const QList<QPair<QString, QByteArray>>& streams) {
    const int entries = int(streams.size()) + 1;
    QByteArray mini;
    QList<quint32> miniStarts, miniFat;
    for (const auto& [name, data] : streams) {
        if (data.size() >= 4096) continue;
        miniStarts.append(quint32(mini.size() / 64));
        const int sectors = int((data.size() + 63) / 64);
        for (int i = 0; i < sectors; ++i)
            miniFat.append(i + 1 < sectors ? quint32(mini.size() / 64 + i + 1) : End);
        mini += data + QByteArray((64 - data.size() % 64) % 64, '\0');
    }
    auto sectorsFor = [](qsizetype n) { return quint32((n + 511) / 512); };
    // Layout: FAT, directory, mini FAT, mini stream, then each large stream.
    const quint32 dirSector = 1, dirCount = sectorsFor(entries * 128);
    const quint32 miniFatSector = dirSector + dirCount,
                  miniFatCount = sectorsFor(miniFat.size() * 4);
    const quint32 miniSector = miniFatSector + miniFatCount, miniCount = sectorsFor(mini.size());
    QList<QByteArray> sectors(1); // sector 0 is the FAT, filled in last
    QList<quint32> fat{FatSect};
    auto addRun = [&](const QByteArray& data, quint32 count) {
        const quint32 first = quint32(sectors.size());
        for (quint32 i = 0; i < count; ++i) {
            sectors.append(data.mid(i * 512, 512).leftJustified(512, '\0'));
            fat.append(i + 1 < count ? first + i + 1 : End);
        }
        return count ? first : End;
    };
    QByteArray dir(dirCount * 512, '\0'), miniFatBytes(miniFatCount * 512, '\xFF');
    for (int i = 0; i < miniFat.size(); ++i)
        put32(miniFatBytes, i * 4, miniFat[i]);
    addRun(dir, dirCount);
    addRun(miniFatBytes, miniFatCount);
    addRun(mini, miniCount);
    Compound out;
    QList<quint32> starts;
    int miniIndex = 0;
    for (const auto& [name, data] : streams) {
        if (data.size() < 4096) {
            starts.append(miniStarts[miniIndex++]);
        } else {
            starts.append(addRun(data, sectorsFor(data.size())));
            out.firstSector[name] = starts.last();
        }
    }
    auto entry = [&](int i, const QString& name, int type, quint32 start, quint32 size) {
        const qsizetype at = i * 128;
        for (int c = 0; c < name.size(); ++c)
            put16(dir, at + 2 * c, name[c].unicode());
        put16(dir, at + 0x40, quint16((name.size() + 1) * 2));
        dir[at + 0x42] = char(type);
        dir[at + 0x43] = 1;
        put32(dir, at + 0x44, Free);
        put32(dir, at + 0x48, i + 1 < entries && i > 0 ? quint32(i + 1) : Free);
        put32(dir, at + 0x4C, i == 0 && entries > 1 ? 1 : Free);
        put32(dir, at + 0x74, start);
        put32(dir, at + 0x78, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, miniCount ? miniSector : End, quint32(mini.size()));
    for (int i = 0; i < streams.size(); ++i)
        entry(i + 1, streams[i].first, 2, starts[i], quint32(streams[i].second.size()));
    for (quint32 i = 0; i < dirCount; ++i)
        sectors[dirSector + i] = dir.mid(i * 512, 512);
    QByteArray fatBytes(512, '\xFF');
    for (int i = 0; i < fat.size() && i < 128; ++i)
        put32(fatBytes, i * 4, fat[i]);
    sectors[0] = fatBytes;
    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put16(header, 0x18, 0x3E);
    put16(header, 0x1A, 3);
    put16(header, 0x1C, 0xFFFE);
    put16(header, 0x1E, 9);
    put16(header, 0x20, 6);
    put32(header, 0x2C, 1);
    put32(header, 0x30, dirSector);
    put32(header, 0x38, 4096);
    put32(header, 0x3C, miniFatCount ? miniFatSector : End);
    put32(header, 0x40, miniFatCount);
    put32(header, 0x44, End);
    for (int i = 0; i < 109; ++i)
        put32(header, 0x4C + 4 * i, i == 0 ? 0 : Free);
    out.bytes = header + sectors.join();
    out.directoryOffset = 512 + dirSector * 512;
    return out;
}

// One piece of text: 8-bit Windows-1252 ("compressed") or UTF-16.
struct Piece {
    QByteArray bytes;
    bool compressed = true;
    quint32 chars() const { return quint32(compressed ? bytes.size() : bytes.size() / 2); }
};
inline Piece ansi(const QByteArray& text) {
    return {text, true};
}
inline Piece unicode(const QString& text) {
    QByteArray b(text.size() * 2, '\0');
    for (int i = 0; i < text.size(); ++i)
        put16(b, 2 * i, text[i].unicode());
    return {b, false};
}

struct WordOptions {
    bool table1 = true;
    bool encrypted = false;
    quint16 nFib = 0xC1;
    qint64 textLength = -1;       // ccpText; -1: all pieces
    bool propertyModifier = true; // a Prc before the piece table
    // Characters of the stories after the main text (footnotes, headers,
    // macros, comments, endnotes, text boxes, header text boxes), which
    // follow it in the pieces.
    QList<quint32> stories = {};
    int brokenPiece = -1;   // this piece's text lies beyond the stream
    bool brokenClx = false; // the piece table cannot be found
    // Tables by their FIB pair (2 footnote references, 73 lists, ...).
    QMap<int, QByteArray> tables = {};
    // Paragraph properties of the paragraphs in order: istd and sprms.
    QList<QPair<quint16, QByteArray>> paragraphs = {};
};

// A PLC: positions, then entries of one size.
inline QByteArray plc(const QList<quint32>& cps, const QList<QByteArray>& data = {}) {
    QByteArray out(4 * cps.size(), '\0');
    for (int i = 0; i < cps.size(); ++i)
        put32(out, 4 * i, cps[i]);
    return out + data.join();
}
inline QByteArray u16s(std::initializer_list<quint16> values) {
    QByteArray out;
    for (const quint16 v : values)
        out += QByteArray(2, '\0'), put16(out, out.size() - 2, v);
    return out;
}
inline QByteArray u32s(std::initializer_list<quint32> values) {
    QByteArray out;
    for (const quint32 v : values)
        out += QByteArray(4, '\0'), put32(out, out.size() - 4, v);
    return out;
}
// The sprms naming a paragraph's list override (1-based) and level.
inline QByteArray listSprms(quint16 ilfo, quint8 ilvl) {
    return u16s({0x460B, ilfo}) + u16s({0x260A}) + QByteArray(1, char(ilvl));
}
// One list level (LVL): start, number format, text (chars 0-8: level numbers).
inline QByteArray listLevel(qint32 start, quint8 format, const QString& text) {
    QByteArray lvl(28, '\0');
    put32(lvl, 0, quint32(start));
    lvl[4] = char(format);
    QByteArray xst = u16s({quint16(text.size())});
    for (const QChar c : text)
        xst += u16s({c.unicode()});
    return lvl + xst;
}
// PlfLst: lists by id, each with its levels (one level: a simple list).
inline QByteArray listDefinitions(const QList<QPair<quint32, QList<QByteArray>>>& lists) {
    QByteArray out = u16s({quint16(lists.size())}), levels;
    for (const auto& [id, lvls] : lists) {
        QByteArray lstf(28, '\0');
        put32(lstf, 0, id);
        lstf[26] = char(lvls.size() == 1 ? 1 : 0);
        out += lstf;
        for (int n = 0; n < (lvls.size() == 1 ? 1 : 9); ++n)
            levels += n < lvls.size() ? lvls[n] : listLevel(1, 0, QString(QChar(n)));
    }
    return out + levels;
}
// PlfLfo: overrides by list id, each restarting level 0 at a number or not (-1).
inline QByteArray listOverrides(const QList<QPair<quint32, qint32>>& overrides) {
    QByteArray out = u32s({quint32(overrides.size())}), data;
    for (const auto& [id, restart] : overrides) {
        QByteArray lfo(16, '\0');
        put32(lfo, 0, id);
        lfo[12] = char(restart >= 0 ? 1 : 0);
        out += lfo;
        data += u32s({0xFFFFFFFF});
        if (restart >= 0) data += u32s({quint32(restart), 0x10});
    }
    return out + data;
}
// A stylesheet of paragraph styles, each with its sprms.
inline QByteArray stylesheet(const QList<QByteArray>& styles) {
    QByteArray out = u16s({18, quint16(styles.size()), 10}) + QByteArray(14, '\0');
    for (const QByteArray& sprms : styles) {
        QByteArray std = u16s({0, 0xFFF1, 0x0002, 0, 0}) + u16s({1, 'N', 0});
        std += u16s({quint16(2 + sprms.size()), 0}) + sprms;
        if (std.size() % 2) std += '\0';
        std += u16s({0});
        out += u16s({quint16(std.size())}) + std;
    }
    return out;
}

// The paragraph property pages (FKP) of the text, and their bin table.
inline QByteArray paragraphPages(QByteArray& word, const QList<Piece>& pieces,
                                 const QList<quint32>& fcs,
                                 const QList<QPair<quint16, QByteArray>>& paragraphs) {
    QList<quint32> bounds{fcs.first()};
    QList<int> owner;
    int paragraph = 0;
    for (int i = 0; i < pieces.size(); ++i) {
        const int step = pieces[i].compressed ? 1 : 2;
        if (bounds.last() != fcs[i]) bounds.append(fcs[i]), owner.append(paragraph);
        for (int at = 0; at < pieces[i].bytes.size(); at += step) {
            const char c = pieces[i].bytes[at];
            if (c != '\r' && c != '\x07') continue;
            bounds.append(fcs[i] + at + step);
            owner.append(paragraph++);
        }
        const quint32 end = fcs[i] + quint32(pieces[i].bytes.size());
        if (bounds.last() != end) bounds.append(end), owner.append(paragraph);
    }
    QByteArray page(512, '\0');
    const int runs = int(owner.size());
    for (int r = 0; r <= runs; ++r)
        put32(page, 4 * r, bounds[r]);
    int top = 511;
    for (int r = 0; r < runs; ++r) {
        if (owner[r] >= paragraphs.size()) continue;
        const auto& [istd, sprms] = paragraphs[owner[r]];
        const QByteArray grp = u16s({istd}) + sprms;
        const int cb = (int(grp.size()) + 2) / 2;
        top = (top - (1 + 2 * cb - 1)) & ~1;
        page[top] = char(cb);
        page.replace(top + 1, grp.size(), grp);
        page[4 * (runs + 1) + 13 * r] = char(top / 2);
    }
    page[511] = char(runs);
    word = word.leftJustified((word.size() + 511) / 512 * 512, '\0');
    const quint32 pn = quint32(word.size() / 512);
    word += page;
    return plc({bounds.first(), bounds.last()}, {u32s({pn})});
}

inline Compound wordDocument(const QList<Piece>& pieces, const WordOptions& options = {}) {
    QByteArray word(1024, '\0');
    put16(word, 0, 0xA5EC);
    put16(word, 2, options.nFib);
    put16(word, 0x0A, quint16((options.table1 ? 0x0200 : 0) | (options.encrypted ? 0x0100 : 0)));
    put16(word, 32, 14);
    put16(word, 62, 22);
    put16(word, 152, 0x5D);
    QByteArray plcPieces(4, '\0'), pcds; // character positions, from 0
    QList<quint32> fcs;
    quint32 cp = 0;
    for (const Piece& piece : pieces) {
        const quint32 fc = quint32(word.size());
        fcs.append(fc);
        word += piece.bytes;
        cp += piece.chars();
        plcPieces += QByteArray(4, '\0');
        put32(plcPieces, plcPieces.size() - 4, cp);
        QByteArray pcd(8, '\0');
        const quint32 at = fcs.size() - 1 == options.brokenPiece ? 0x3FFFFF00 : fc;
        put32(pcd, 2, piece.compressed ? (at * 2) | 0x40000000 : at);
        pcds += pcd;
    }
    put32(word, 0x18, fcs.value(0));
    put32(word, 0x1C, quint32(word.size()));
    QByteArray clx;
    if (options.propertyModifier) clx += QByteArray("\x01\x03\x00\x00\x00\x00", 6);
    QByteArray pcdt(5, '\0');
    pcdt[0] = options.brokenClx ? 7 : 2;
    put32(pcdt, 1, quint32(plcPieces.size() + pcds.size()));
    clx += pcdt + plcPieces + pcds;
    QMap<int, QByteArray> tables = options.tables;
    tables[33] = clx;
    if (!options.paragraphs.isEmpty())
        tables[13] = paragraphPages(word, pieces, fcs, options.paragraphs);
    QByteArray table(256, '\0');
    const quint32 main = options.textLength < 0 ? cp : quint32(options.textLength);
    put32(word, 64 + 12, main);
    for (int i = 0; i < options.stories.size() && i < 7; ++i)
        put32(word, 64 + 16 + 4 * i, options.stories[i]);
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        put32(word, 154 + it.key() * 8, quint32(table.size()));
        put32(word, 154 + it.key() * 8 + 4, quint32(it.value().size()));
        table += it.value();
    }
    word = word.leftJustified(qMax<qsizetype>(word.size(), 4096), '\0');
    const QString tableName = options.table1 ? QStringLiteral("1Table") : QStringLiteral("0Table");
    return compoundFile({{QStringLiteral("WordDocument"), word}, {tableName, table}});
}

} // namespace wordtest
