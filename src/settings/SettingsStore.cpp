#include "settings/SettingsStore.h"

#include "controls/MessageBox.h"
#include "settings/SettingsFile.h"
#include "system/FileNames.h"

#include <exception>

namespace {
bool warned = false;
} // namespace

namespace SettingsStore {

bool store(const QString& textFiles, const QString& folder, const QString& soundFiles,
           const QString& videoFiles) {
    try {
        SettingsFile::write(textFiles, folder, soundFiles, videoFiles);
        return true;
    } catch (const std::exception&) {
        if (!warned) {
            warned = true;
            MsgBox(QStringLiteral("The settings cannot be saved in ") +
                       FileNames::display(SettingsFile::path()) +
                       QStringLiteral("\r\nThe Quillory keeps them until it ends."),
                   Mb::Exclamation, QStringLiteral("Error.."));
        }
        return false;
    }
}

void resetWarning() {
    warned = false;
}

} // namespace SettingsStore
