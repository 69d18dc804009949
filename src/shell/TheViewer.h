#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class DriveListBox;
class DirListBox;
class FileListBox;
class PictureBox;
class RichTextPane;
class MediaControl;
class PictureFetcher;

// The main window. Its controls, menu items and handlers carry the names
// the rest of the program knows them by.
class TheViewer : public QMainWindow {
    Q_OBJECT
  public:
    explicit TheViewer(QWidget* parent = nullptr);
    ~TheViewer() override;

    // Loads the window: runs Form_Load once.
    void Load();
    // Outer height in twips, title bar, menu bar and borders included.
    double Height() const;
    // Moves the lists to a folder, or to a file's folder with the file
    // selected and shown as a click would; for the program's argument.
    void showGiven(const QString& path);
    // The picture of the file selected last is still being decoded.
    bool isPictureLoading() const;

    // Controls.
    RichTextPane* TextB;
    MediaControl* MMControl1;
    PictureBox* Picture1;
    DriveListBox* Drive1;
    DirListBox* Dir1;
    FileListBox* File1;
    QLabel* Label1;

    // Menu items.
    QAction* File;
    QAction* FileDel;
    QAction* FileCopy;
    QAction* FileExit;
    QAction* FileOptions;
    QAction* OptionsText;
    QAction* TextON;
    QAction* TextOFF;
    QAction* OptionsSound;
    QAction* SoundON;
    QAction* SoundOFF;
    QAction* OptionsVideo;
    QAction* VideoON;
    QAction* VideoOFF;
    QAction* Help;
    QAction* About;

    // Handlers.
    void Form_Load();
    void Form_Resize();
    void Form_Terminate();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void FileCopy_Click();
    void FileDel_Click();
    void FileExit_Click();
    void TextON_Click();
    void TextOFF_Click();
    void SoundON_Click();
    void SoundOFF_Click();
    void VideoON_Click();
    void VideoOFF_Click();
    void About_Click();
    void pattern();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    // The panes and the label take the client area beyond the design size.
    void layOutPanes();
    QSize paneSpace(QSize client) const;
    QAction* addItem(QMenu* menu, const QString& caption, void (TheViewer::*handler)());
    QAction* addOption(QMenu* menu, const QString& caption, bool checked,
                       void (TheViewer::*handler)());

    PictureFetcher* pictureFetcher_;
    bool loaded_ = false;
    bool ending_ = false;
};
