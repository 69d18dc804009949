#pragma once

#include "formats/metafile/canvas/DcState.h"
#include "formats/metafile/Limits.h"

#include <QImage>
#include <QSize>
#include <QTransform>

#include <functional>
#include <optional>

class GdiCanvas;

// How one metafile is set up for playing.
struct PlaySetup {
    // Picture size and device-to-picture mapping, when the metafile gives them.
    std::optional<QSize> size;
    QTransform deviceToPicture;
    double devicePixelsPerMm = 96 / 25.4;
    int objectCapacity = 0;
    DcState initial;
};

using Player = std::function<void(GdiCanvas&)>;

// Plays the records onto a new picture. Without a size, a first pass
// measures what the records draw and the picture gets those bounds.
QImage renderMetafile(const PlaySetup& setup, const Player& play, const RenderLimits& limits);

// A picture size the limits allow, else PlatformError 481.
QSize checkedPictureSize(double width, double height, const RenderLimits& limits);
