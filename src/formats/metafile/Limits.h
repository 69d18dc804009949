#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>

#include <atomic>

// Bounds that keep a hostile metafile from taking all memory or time.
struct RenderLimits {
    qint64 maxPixels = 100'000'000;       // the rendered picture
    qint64 maxBitmapPixels = 100'000'000; // one embedded bitmap
    qint64 maxPatternPixels = 4'000'000;  // one pattern brush bitmap
    QSize fitInto; // when valid, a larger picture is drawn scaled down to fit in it
    // A zoomed view, when zoom > 0: drawn at zoom times its own size (fitInto
    // aside), and only the part given by `part` of that, when valid.
    double zoom = 0;
    QRect part;
    QSize* ownSize = nullptr; // when set, receives the picture's own size
    // When set and true, playing stops at the next record, as when the work
    // budget is spent: whoever set it no longer wants the picture.
    const std::atomic<bool>* stop = nullptr;
};

namespace MetafileCaps {
constexpr int MaxSavedStates = 4096;  // SaveDC beyond this is ignored
constexpr int MaxObjects = 65535;     // both formats count objects in 16 bits
constexpr double MaxCoordinate = 1e6; // shapes reaching further are left out
constexpr int MaxFontPixels = 2000;
constexpr int UnsizedLongestSide = 1024; // a metafile without a size is scaled to fit this
constexpr qint64 MaxFileBytes = 256LL * 1024 * 1024;
// The work one picture may take: records played, at least BudgetRecords and
// else one per pixel; pixels covered, BudgetOverdraw times the picture and
// BudgetPixels more. Real pictures cover theirs a few times over.
constexpr qint64 BudgetRecords = 1'000'000;
constexpr qint64 BudgetOverdraw = 16;
constexpr qint64 BudgetPixels = 4'000'000;
} // namespace MetafileCaps
