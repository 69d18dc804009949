#pragma once

#include <QDialog>

class DriveListBox;
class DirListBox;
class QPushButton;

// The "Copy File" dialog: the user opens the target folder and presses the
// button, which copies the file the dialog was opened for into it.
class Copy : public QDialog {
    Q_OBJECT
  public:
    explicit Copy(QWidget* mainWindow);

    // The main window's dialog, created the first time it is needed.
    static Copy* of(QWidget* mainWindow);

    // Takes the file to copy. Loads the dialog (running Form_Load) unless it
    // is loaded already, then shows it modeless and brings it forward.
    void showFor(const QString& sourcePath, const QString& sourceName);
    // Closes the dialog; the next showFor loads it afresh.
    void Unload();
    bool isLoaded() const { return loaded_; }

    QString sourcePath() const { return sourcePath_; }
    QString sourceName() const { return sourceName_; }

    // Controls; made anew each time the dialog is loaded.
    DriveListBox* Drive1 = nullptr;
    DirListBox* Dir1 = nullptr;
    QPushButton* Command1 = nullptr;

    // Handlers. The button's copy runs off the user-interface thread; after
    // half a second a progress dialog offers Cancel.
    void Form_Load();
    void Drive1_Change();
    void Command1_Click();

  public slots:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildControls();
    void centreOnMainWindow();
    void showCaption();
    void copyStep();

    QString sourcePath_;
    QString sourceName_;
    bool loaded_ = false;
    bool copying_ = false; // a copy runs; the button waits for it
};
