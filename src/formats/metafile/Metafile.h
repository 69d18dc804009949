#pragma once

#include "formats/metafile/Limits.h"

#include <QByteArrayView>
#include <QImage>

// Windows metafiles played onto a picture. Both throw PlatformError 481 for
// what cannot be shown; records they do not know are skipped.
bool isWmf(QByteArrayView bytes);
bool isEmf(QByteArrayView bytes);
// How much of a file's start tells either kind by the two above.
constexpr qsizetype MetafileHeadBytes = 128;
QImage renderWmf(QByteArrayView bytes, const RenderLimits& limits = {});
QImage renderEmf(QByteArrayView bytes, const RenderLimits& limits = {});
