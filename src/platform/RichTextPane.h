#pragma once

#include <QTextEdit>

// The rich-text pane: shows a document read-only, with selection allowed.
class RichTextPane : public QTextEdit {
    Q_OBJECT
  public:
    explicit RichTextPane(QWidget* parent = nullptr);

    QString FileName() const { return fileName_; }
    // Loads the file, replacing what the pane held; throws the platform
    // error when the file cannot be read.
    void setFileName(const QString& path);

  private:
    QString fileName_;
};
