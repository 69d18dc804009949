#pragma once

#include "system/Volumes.h"

#include <QComboBox>

// The drive list: the machine's volumes, one of them chosen.
class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The chosen volume's current folder, which the folder list opens.
    QString Drive() const;
    // Chooses the volume that holds path; Change() fires if that is another one.
    void setDrive(const QString& path);
    // The root of the chosen volume.
    QString volumeRoot() const;

    void showPopup() override;

  signals:
    void Change();

  private:
    void fill(const QString& chosenRoot);
    void chooseIndex(int index);

    QList<Volume> volumes_;
    QString chosenRoot_;
};
