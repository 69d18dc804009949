#include "formats/TextDecoding.h"
#include "formats/metafile/Dib.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/wmf/WmfRecord.h"

namespace {

PenSpec pen(const WmfRecord& r) {
    PenSpec p;
    p.style = r.params.u16(0);
    p.width = r.w(1);
    p.color = r.color(3);
    return p;
}

BrushSpec brush(const WmfRecord& r) {
    BrushSpec b;
    b.style = r.params.u16(0);
    b.color = r.color(1);
    b.hatch = r.params.u16(6);
    return b;
}

FontSpec font(const WmfRecord& r) {
    FontSpec f;
    f.height = r.w(0);
    f.width = r.w(1);
    f.escapement = r.w(2);
    f.weight = r.w(4);
    f.italic = r.params.u8(10);
    f.underline = r.params.u8(11);
    f.strikeOut = r.params.u8(12);
    f.charset = r.params.u8(13);
    QByteArray face;
    for (qint64 i = 18; i < 50 && r.params.has(i, 1) && r.params.u8(i); ++i)
        face.append(char(r.params.u8(i)));
    f.face = decodeWindows1252(face);
    return f;
}

BrushSpec patternBrush(const WmfRecord& r, const RenderLimits& limits) {
    BrushSpec b;
    b.style = Gdi::BsDibPatternPt;
    b.color = Qt::gray;
    if (r.params.u16(2) == 0) // colour table of RGB values, not palette indices
        b.pattern = decodePackedDib(r.params.view().sliced(4), limits.maxPatternPixels).image;
    return b;
}

} // namespace

bool playWmfObject(const WmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    // A broken creation record still takes its slot, so later indices hold.
    auto create = [&](auto build) {
        GdiObject object = OtherObject{};
        try {
            object = build();
        } catch (const MalformedData&) {
        }
        c.objects().add(std::move(object));
    };
    switch (r.function) {
    case 0x02FA:
        create([&] { return GdiObject(pen(r)); });
        break;
    case 0x02FC:
        create([&] { return GdiObject(brush(r)); });
        break;
    case 0x02FB:
        create([&] { return GdiObject(font(r)); });
        break;
    case 0x0142:
        create([&] { return GdiObject(patternBrush(r, limits)); });
        break;
    case 0x01F9: // an old device-dependent bitmap: shown as a grey brush
        create([] {
            BrushSpec grey;
            grey.color = Qt::gray;
            return GdiObject(grey);
        });
        break;
    case 0x00F7: // CreatePalette: start, count, entries
        create([&] {
            PaletteSpec p;
            const qint64 count = r.params.u16(2);
            r.params.require(4, count * 4);
            for (qint64 k = 0; k < count; ++k)
                p.colors.append(
                    QColor(r.params.u8(4 + 4 * k), r.params.u8(5 + 4 * k), r.params.u8(6 + 4 * k)));
            return GdiObject(p);
        });
        break;
    case 0x0234: // SelectPalette
        if (const GdiObject* object = c.objects().get(r.params.u16(0))) c.select(*object);
        break;
    case 0x0035: // RealizePalette
        break;
    case 0x06FF:
        create([] { return GdiObject(OtherObject{}); });
        break;
    case 0x012D:
        if (const GdiObject* object = c.objects().get(r.params.u16(0))) c.select(*object);
        break;
    case 0x01F0:
        c.deleteObject(r.params.u16(0));
        break;
    default:
        return false;
    }
    return true;
}
