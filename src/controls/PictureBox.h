#pragma once

#include <QImage>
#include <QWidget>

// The picture area: draws one picture flat and sizes itself to it, its top
// left corner staying where it is.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};
