#pragma once

// Helpers shared by the settings tests.

#include "controls/FileListBox.h"
#include "settings/ProgramEnd.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/Checks.h"
#include "system/Volumes.h"

#include <QAction>
#include <QFile>
#include <QStringList>

namespace kit {

inline const QByteArray DefaultFile("No\r\n\r\nYes\r\nYes\r\n");
inline const QString Pictures =
    QStringLiteral("*.tif;*.bmp;*.gif;*.jpg;*.dib;*.wmf;*.emf;*.ico;*.cur");
inline const QString Text = QStringLiteral(";*.txt;*.doc;*.nfo");
inline const QString Sound = QStringLiteral(";*.mid;*.wav;*.au");
inline const QString Video = QStringLiteral(";*.avi");

// The Options items of v by name, in menu order.
inline QList<std::pair<QString, QAction*>> optionItems(const TheViewer& v) {
    return {{"TextON", v.TextON},     {"TextOFF", v.TextOFF}, {"SoundON", v.SoundON},
            {"SoundOFF", v.SoundOFF}, {"VideoON", v.VideoON}, {"VideoOFF", v.VideoOFF}};
}

inline QStringList marked(const TheViewer& v) {
    QStringList names;
    for (const auto& [name, action] : optionItems(v))
        if (action->isChecked()) names << name;
    return names;
}

// Points the program at a folder of the test's own, keeps File, Exit from
// ending the test, and puts every global it touched back afterwards.
class Sandbox {
  public:
    explicit Sandbox(const QString& programFolder) {
        previousPath_ =
            SettingsLocation::setApplicationPathProvider([programFolder] { return programFolder; });
        previousEnder_ = ProgramEnd::setEnder([this] { ++ends; });
    }
    ~Sandbox() {
        SettingsLocation::setApplicationPathProvider(std::move(previousPath_));
        ProgramEnd::setEnder(std::move(previousEnder_));
        Volumes::setProvider({});
        SettingsStore::resetWarning();
        Module::reset();
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    int ends = 0; // how often the program was ended

  private:
    SettingsLocation::AppPathProvider previousPath_;
    ProgramEnd::Ender previousEnder_;
};

} // namespace kit
