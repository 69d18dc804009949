// Arbitrary bytes as viewer.ini: reading never crashes, and what was read
// survives a write and a second read.
#include "formats/SettingsFormat.h"
#include "system/PlatformError.h"

#include <cstdint>
#include <cstdlib>

namespace {

// What a value reads back as after a write: itself, or empty when no line
// can carry it.
QString carried(const QString& value) {
    return SettingsFormat::encodeItem(value).isEmpty() ? QString() : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SettingsLines lines;
    try {
        lines = SettingsFormat::parse(bytes);
    } catch (const PlatformError& e) {
        if (e.number() != SettingsFormat::InputPastEndOfFile &&
            e.number() != SettingsFormat::BadItem)
            std::abort();
        return 0;
    }
    const QByteArray written = SettingsFormat::format(lines);
    if (written.count("\r\n") != 4 || !written.endsWith("\r\n")) std::abort();
    const SettingsLines reread = SettingsFormat::parse(written);
    const SettingsLines expected{carried(lines.textFiles), carried(lines.folder),
                                 carried(lines.soundFiles), carried(lines.videoFiles)};
    if (!(reread == expected)) std::abort();
    return 0;
}
