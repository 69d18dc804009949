#pragma once

#include <QWidget>
#include <functional>

class QTimer;
class QFrame;
class QLabel;
class TheViewer;

// The splash window: stands for two seconds, then gives way to the main window.
class frmSplash : public QWidget {
    Q_OBJECT
  public:
    // createMain makes the (not yet loaded) main window; the default makes a TheViewer.
    // given, when not empty, is the file or folder the program was started with.
    explicit frmSplash(std::function<TheViewer*()> createMain = {}, QString given = {});

    void Timer1_Timer();
    bool isUnloaded() const { return unloaded_; }

    QTimer* Timer1;
    QFrame* Frame1;
    QLabel* Image2;
    QLabel* Image1;
    QLabel* lblCopyright;
    QLabel* lblCompany;
    QLabel* lblVersion;
    QLabel* lblProductName;
    QLabel* lblCompanyProduct;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* addLabel(const QRect& twips, const QString& text, const QFont& font, bool autoSize);
    void Unload();

    std::function<TheViewer*()> createMain_;
    QString given_;
    bool unloaded_ = false;
};
