#include "formats/metafile/Dib.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emf/EmfRecord.h"

#include <optional>

namespace {

constexpr quint32 Stock = 0x80000000;

std::optional<GdiObject> lookup(GdiCanvas& c, quint32 index) {
    if (index & Stock) return stockObject(index);
    if (const GdiObject* object = c.objects().get(index)) return *object;
    return std::nullopt;
}

PenSpec pen(const EmfRecord& r) {
    PenSpec p;
    p.style = r.u(12);
    p.width = r.i(16);
    p.color = r.color(24);
    return p;
}

PenSpec extPen(const EmfRecord& r) {
    PenSpec p;
    p.style = r.u(28);
    p.roundByDefault = false;
    p.width = (p.style & 0x00010000) ? r.u(32) : 0; // cosmetic pens are one pixel
    if (r.u(36) == Gdi::BsNull) p.style = Gdi::PsNull;
    p.color = r.color(40);
    const qint64 entries = r.u(48);
    r.data.require(52, entries * 4);
    for (qint64 k = 0; k < entries && k < 16; ++k)
        p.dashes.append(r.u(52 + 4 * k));
    return p;
}

BrushSpec brush(const EmfRecord& r) {
    BrushSpec b;
    b.style = r.u(12);
    b.color = r.color(16);
    b.hatch = r.u(20);
    return b;
}

BrushSpec patternBrush(const EmfRecord& r, const RenderLimits& limits) {
    BrushSpec b;
    b.style = Gdi::BsDibPatternPt;
    b.color = Qt::gray;
    if (r.type == 93) { // CreateMonoBrush: coloured as it fills, whatever its colour table
        b.pattern = decodeMonoDib(r.block(16, 20), r.block(24, 28), limits.maxPatternPixels);
        b.monochrome = !b.pattern.isNull();
        if (b.monochrome) return b;
    }
    if (r.u(12) == 0) // RGB colour table, not palette indices
        b.pattern = decodeDib(r.block(16, 20), r.block(24, 28), limits.maxPatternPixels).image;
    return b;
}

// LOGPALETTE: version, count, then red, green, blue and flags for each entry.
PaletteSpec palette(const ByteReader& data, qint64 at) {
    const qint64 count = data.u16(at + 2);
    data.require(at + 4, count * 4);
    PaletteSpec p;
    for (qint64 k = 0; k < count; ++k) {
        const qint64 e = at + 4 + 4 * k;
        p.colors.append(QColor(data.u8(e), data.u8(e + 1), data.u8(e + 2)));
    }
    return p;
}

FontSpec font(const EmfRecord& r) {
    FontSpec f;
    f.height = r.i(12);
    f.width = r.i(16);
    f.escapement = r.i(20);
    f.weight = r.i(28);
    f.italic = r.data.u8(32);
    f.underline = r.data.u8(33);
    f.strikeOut = r.data.u8(34);
    f.charset = r.data.u8(35);
    for (qint64 at = 40; at < 104 && r.data.has(at, 2) && r.data.u16(at); at += 2)
        f.face.append(QChar(r.data.u16(at)));
    return f;
}

} // namespace

bool playEmfObject(const EmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    auto put = [&](auto build) {
        const quint32 index = r.u(8);
        GdiObject object = OtherObject{};
        try {
            object = build();
        } catch (const MalformedData&) {
        }
        c.objects().put(index, std::move(object));
    };
    switch (r.type) {
    case 37:
        if (const auto object = lookup(c, r.u(8))) c.select(*object);
        break;
    case 40:
        c.deleteObject(r.u(8));
        break;
    case 38:
        put([&] { return GdiObject(pen(r)); });
        break;
    case 95:
        put([&] { return GdiObject(extPen(r)); });
        break;
    case 39:
        put([&] { return GdiObject(brush(r)); });
        break;
    case 93:
    case 94:
        put([&] { return GdiObject(patternBrush(r, limits)); });
        break;
    case 82:
        put([&] { return GdiObject(font(r)); });
        break;
    case 49:
        put([&] { return GdiObject(palette(r.data, 12)); });
        break;
    case 48: // SelectPalette; the default palette leaves indices black
        if (const auto object = lookup(c, r.u(8)))
            c.select(*object);
        else if (r.u(8) & Stock)
            c.dc().palette.clear();
        break;
    case 52: // RealizePalette: the selected one is the one looked in
        break;
    case 71: { // FillRgn: bounds, region size, brush, region
        const auto object = lookup(c, r.u(28));
        const BrushSpec* b = object ? std::get_if<BrushSpec>(&*object) : nullptr;
        if (b) c.fillShape(emfRegion(r.data.slice(32, r.u(24))), *b);
        break;
    }
    default:
        return false;
    }
    return true;
}
