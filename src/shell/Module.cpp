#include "shell/Module.h"

void Module::reset() {
    for (QString* value :
         {&AppDir, &TextFiles, &SoundFiles, &VideoFiles, &SelectedPath, &SourceName, &LastCopyDir})
        value->clear();
}
