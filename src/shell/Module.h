#pragma once

#include <QString>

// The globals that the windows share; one of each for the whole run.
namespace Module {
inline QString AppDir;       // where viewer.ini lives, ending in a separator
inline QString TextFiles;    // "Yes" when the file list offers text files
inline QString SoundFiles;   // "Yes" when it offers sound files
inline QString VideoFiles;   // "Yes" when it offers video files
inline QString SelectedPath; // full path of the file last selected
inline QString SourceName;   // bare name of the file chosen for copying
inline QString LastCopyDir;  // the Copy dialog's last target folder, with its separator

// Back to the empty start of a run.
void reset();
} // namespace Module
