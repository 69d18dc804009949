#include "shell/AboutBox.h"

#include "controls/MessageBox.h"
#include "shell/TheViewer.h"

QString aboutPrompt() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("The Quillory V1.1") + crlf + QStringLiteral("Copyright Tarnwick 2026") +
           crlf + crlf +
           QStringLiteral("Please contact me in case of trouble: quillory@tarnwick.example") +
           crlf;
}

void TheViewer::About_Click() { MsgBox(aboutPrompt(), Mb::Information, QStringLiteral("About..")); }
