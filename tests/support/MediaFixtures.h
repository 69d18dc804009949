#pragma once

#include <QByteArray>

// Small media files made byte by byte, so the tests need no samples.
namespace MediaFixtures {

enum class WavFormat { Pcm8, Pcm16, Pcm24, Float32, MuLaw, ImaAdpcm };

// A mono tone of the given length at 8000 samples a second.
QByteArray wav(double seconds, WavFormat format = WavFormat::Pcm16);
// Sun/NeXT audio, 16-bit linear PCM.
QByteArray au(double seconds);
// A standard MIDI file playing a few notes over about `seconds`.
QByteArray midi(double seconds);
// An AVI of MJPEG frames, 10 frames a second, each frame filled with colour.
QByteArray aviMjpeg(int frames, int width, int height);
// An AVI written by GStreamer: `frames` test pictures at 10 a second, 64 by 48,
// through the video `encoder` (a GStreamer element such as avenc_mpeg4),
// with a 16-bit PCM tone beside them when `withSound`. Empty on failure.
QByteArray encodedAvi(const char* encoder, int frames, bool withSound = false);
// An MJPEG `avi` with its codec renamed to `fourcc`, so that no decoder takes it.
QByteArray withVideoCodec(QByteArray avi, const QByteArray& fourcc);

} // namespace MediaFixtures
