#pragma once

#include <QString>

// Which media device a file needs, judged by its name's ending and confirmed
// by its leading bytes, as the media interface chooses a device by file type.
enum class MediaKind { None, Sound, Video };

MediaKind mediaKindOf(const QString& path);
