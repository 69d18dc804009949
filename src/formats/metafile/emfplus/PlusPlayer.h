#pragma once

#include "formats/metafile/Limits.h"
#include "formats/metafile/emfplus/PlusObjects.h"
#include "formats/metafile/emfplus/PlusRecord.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

class GdiCanvas;

// What Save and BeginContainer keep.
struct PlusState {
    QTransform world;
    QTransform outer; // the enclosing containers, in page units
    quint32 pageUnit = 1;
    double pageScale = 1;
    std::optional<QPainterPath> clip; // picture pixels
};

// Plays the EMF+ records carried in an EMF's comments onto the canvas the
// GDI records use. Once an EMF+ header is seen the GDI records are the
// fallback and are skipped, except those after a GetDC record; unless the
// EMF+ records draw nothing at all (some writers add no more than a header).
class PlusPlayer {
  public:
    PlusPlayer(GdiCanvas& canvas, const RenderLimits& limits, bool plusDraws);
    // Plays the EMF+ records of one EMR_COMMENT; false when it holds none.
    bool playComment(const ByteReader& comment);
    bool gdiDraws() const { return !plusDraws_ || !started_ || gdiTurn_; }

    // For the record decoders.
    GdiCanvas& canvas() { return canvas_; }
    const GdiCanvas& canvas() const { return canvas_; }
    const RenderLimits& limits() const { return limits_; }
    PlusState& state() { return state_; }
    std::vector<std::pair<quint32, PlusState>>& saved() { return saved_; }
    QTransform worldToPicture() const;
    double unitPixels(quint32 unit, bool vertical = false) const; // device pixels
    template <typename T> const T* get(quint32 id) const {
        return id < objects_.size() ? std::get_if<T>(&objects_[id]) : nullptr;
    }
    // The brush a fill record names: a colour with the S flag, else an object.
    std::optional<PlusBrush> brush(const PlusRecord& r, quint32 field) const;
    QBrush mapped(const PlusBrush& brush) const;
    void fill(const QPainterPath& world, const PlusBrush& brush);
    void fillEverywhere(const PlusBrush& brush); // all the clip lets through
    void stroke(const QPainterPath& world, quint32 penId);
    void showClip(); // the surface gets this state's clip again

  private:
    void play(const PlusRecord& r);
    void fillPicture(const QPainterPath& picture, const PlusBrush& brush);
    void storeObject(const PlusRecord& r);

    GdiCanvas& canvas_;
    const RenderLimits& limits_;
    const bool plusDraws_;
    bool started_ = false, gdiTurn_ = false, clipShown_ = false;
    double dpiX_ = 96, dpiY_ = 96;
    PlusState state_;
    std::vector<std::pair<quint32, PlusState>> saved_;
    std::array<PlusObject, 64> objects_;
    struct Pending {
        quint8 id = 0;
        quint32 total = 0;
        QByteArray bytes;
    };
    std::optional<Pending> pending_; // an object continued over several records
};

// Whether any EMF+ record of the EMF (records from `first` on) draws.
bool plusRecordsDraw(const ByteReader& file, qint64 first);

// A new picture may nest metafiles afresh (none while one is being nested).
void resetPlusNesting();

// Each returns false when the record is none of its kind.
bool playPlusState(const PlusRecord& r, PlusPlayer& p);
bool playPlusShapes(const PlusRecord& r, PlusPlayer& p);
bool playPlusText(const PlusRecord& r, PlusPlayer& p);
bool playPlusImages(const PlusRecord& r, PlusPlayer& p);
