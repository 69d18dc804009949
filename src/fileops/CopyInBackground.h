#pragma once

#include <QString>

class QWidget;

// Runs one safe copy on a worker thread while the user-interface thread goes
// on serving events. When the copy takes longer than half a second, a
// progress dialog (over owner) shows the file name, the bytes copied and a
// Cancel button. Returns when the copy is done; throws what the copy threw,
// or CopyCancelled after Cancel (the target then is as it was before). When
// the program ends meanwhile, the copy is cancelled.
void copyInBackground(QWidget* owner, const QString& source, const QString& target,
                      const QString& shownName);
