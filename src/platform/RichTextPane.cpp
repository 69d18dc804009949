#include "platform/RichTextPane.h"

#include "platform/PlatformError.h"
#include "platform/TextDecoding.h"

#include <QFile>

RichTextPane::RichTextPane(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.5);
    document()->setDefaultFont(font);
    setAutoFillBackground(true);
}

void RichTextPane::setFileName(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) throw PlatformError(Err::FileNotFound, path);
        throw PlatformError(Err::PermissionDenied, file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw PlatformError(Err::DeviceIO, file.errorString());
    fileName_ = path;
    setPlainText(decodeText(bytes));
}
