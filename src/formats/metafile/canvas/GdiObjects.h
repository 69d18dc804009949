#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace Gdi {
enum PenStyle {
    PsSolid = 0,
    PsDash,
    PsDot,
    PsDashDot,
    PsDashDotDot,
    PsNull,
    PsInsideFrame,
    PsUserStyle
};
enum BrushStyle {
    BsSolid = 0,
    BsNull = 1,
    BsHatched = 2,
    BsPattern = 3,
    BsDibPattern = 5,
    BsDibPatternPt = 6
};
} // namespace Gdi

struct PenSpec {
    quint32 style = Gdi::PsSolid; // low nibble: dash style; higher bits: caps, joins, geometric
    double width = 0;             // logical units; 0 is one device pixel
    QColor color = Qt::black;
    bool roundByDefault = true; // pens of CreatePen have round ends; ExtCreatePen says its own
    QList<double> dashes;       // user styles, logical units
};

struct BrushSpec {
    quint32 style = Gdi::BsSolid;
    QColor color = Qt::white;
    quint32 hatch = 0;
    QImage pattern;
    // A monochrome pattern shows its 0 bits in the text colour and its 1
    // bits in the background colour of the moment it fills.
    bool monochrome = false;
};

struct FontSpec {
    int height = 0;
    int width = 0;
    int escapement = 0; // tenths of a degree, counterclockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;
    QString face;
};

// The Windows code page that 8-bit text in a font of this character set uses.
int codePageForCharset(int charset);

// A logical palette, which colours given by index (PALETTEINDEX) look up.
struct PaletteSpec {
    QList<QColor> colors;
};

// Regions take a slot in the table but draw nothing.
struct OtherObject {};

using GdiObject = std::variant<OtherObject, PenSpec, BrushSpec, FontSpec, PaletteSpec>;

// A COLORREF: red, green and blue, or with the high byte 1 an index into
// the selected palette (black when there is no such entry).
QColor colorRef(quint32 value, const QList<QColor>* palette);

// The stock objects an EMF names with the high bit set.
std::optional<GdiObject> stockObject(quint32 id);

// The metafile's object table. WMF fills the lowest free slot; EMF names it.
class ObjectTable {
  public:
    explicit ObjectTable(int capacity);
    int add(GdiObject object); // -1 when the table is full
    bool put(quint32 index, GdiObject object);
    const GdiObject* get(quint32 index) const;
    void remove(quint32 index);

  private:
    std::vector<std::optional<GdiObject>> slots_;
};
