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

} // namespace MediaFixtures
