#include "formats/metafile/canvas/GdiObjects.h"

std::optional<GdiObject> stockObject(quint32 id) {
    auto brush = [](QColor color, quint32 style = Gdi::BsSolid) {
        BrushSpec b;
        b.style = style;
        b.color = color;
        return GdiObject(b);
    };
    auto pen = [](QColor color, quint32 style = Gdi::PsSolid) {
        PenSpec p;
        p.style = style;
        p.color = color;
        return GdiObject(p);
    };
    switch (id & 0x7fffffff) {
    case 0:
        return brush(Qt::white);
    case 1:
        return brush(QColor(192, 192, 192));
    case 2:
        return brush(QColor(128, 128, 128));
    case 3:
        return brush(QColor(64, 64, 64));
    case 4:
        return brush(Qt::black);
    case 5:
        return brush(Qt::white, Gdi::BsNull);
    case 6:
        return pen(Qt::white);
    case 7:
        return pen(Qt::black);
    case 8:
        return pen(Qt::black, Gdi::PsNull);
    case 10:
    case 11:
    case 16: {
        FontSpec f;
        f.face = QStringLiteral("Monospace");
        return GdiObject(f);
    }
    case 12:
    case 13:
    case 14:
    case 17:
        return GdiObject(FontSpec{});
    case 18:
        return brush(Qt::white); // DC brush
    case 19:
        return pen(Qt::black); // DC pen
    default:
        return std::nullopt;
    }
}

ObjectTable::ObjectTable(int capacity) : slots_(size_t(qMax(capacity, 0))) {}

int ObjectTable::add(GdiObject object) {
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i]) {
            slots_[i] = std::move(object);
            return int(i);
        }
    }
    return -1;
}

bool ObjectTable::put(quint32 index, GdiObject object) {
    if (index >= slots_.size()) return false;
    slots_[index] = std::move(object);
    return true;
}

const GdiObject* ObjectTable::get(quint32 index) const {
    if (index >= slots_.size() || !slots_[index]) return nullptr;
    return &*slots_[index];
}

void ObjectTable::remove(quint32 index) {
    if (index < slots_.size()) slots_[index].reset();
}

QColor colorRef(quint32 value, const QList<QColor>* palette) {
    if (value >> 24 == 1) {
        const qsizetype index = value & 0xFFFF;
        return palette && index < palette->size() ? palette->at(index) : QColor(Qt::black);
    }
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

int codePageForCharset(int charset) {
    switch (charset) {
    case 128:
        return 932; // Shift JIS
    case 129:
        return 949; // Hangul
    case 134:
        return 936; // GB 2312
    case 136:
        return 950; // Big5
    case 161:
        return 1253; // Greek
    case 162:
        return 1254; // Turkish
    case 163:
        return 1258; // Vietnamese
    case 177:
        return 1255; // Hebrew
    case 178:
        return 1256; // Arabic
    case 186:
        return 1257; // Baltic
    case 204:
        return 1251; // Cyrillic
    case 222:
        return 874; // Thai
    case 238:
        return 1250; // Central European
    default:
        return 1252;
    }
}
