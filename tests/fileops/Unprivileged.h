#pragma once

// Root ignores permission bits, so a refused write is tried by this same test
// program started again as an unprivileged user, in a mode chosen by its
// arguments. Its findings come back as "key<TAB>value" lines on stdout.

#include <QCoreApplication>
#include <QDir>
#include <QMultiMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <sys/stat.h>
#include <unistd.h>

namespace Unprivileged {

constexpr uid_t Nobody = 65534;

// The argument that selects a subject mode.
inline const char* const SubjectFlag = "--subject";

inline bool isSubjectRun(int argc, char** argv) {
    return argc >= 2 && QByteArray(argv[1]) == SubjectFlag;
}

// Lets the unprivileged user reach folder (and write it when writable), or
// refuses it writing with the mode bits alone, the folder being its own.
inline bool prepare(const QString& folder, mode_t mode, bool ownedByNobody) {
    const QByteArray native = QFile::encodeName(folder);
    if (ownedByNobody && ::geteuid() == 0 && ::chown(native.constData(), Nobody, Nobody) != 0)
        return false;
    return ::chmod(native.constData(), mode) == 0;
}

// Runs this program as the unprivileged user with SubjectFlag and args;
// returns what it reported, or an "exit" entry alone when it failed.
inline QMultiMap<QString, QString> run(const QStringList& args) {
    QString program = QCoreApplication::applicationFilePath();
    QStringList full = QStringList{QString::fromLatin1(SubjectFlag)} + args;
    if (::geteuid() == 0) {
        full.prepend(program);
        full = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + full;
        program = QStringLiteral("setpriv");
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QDir::tempPath());
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    // The subject needs no screen, and may not reach the one the tests use.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, full);
    QMultiMap<QString, QString> found;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        found.insert(QStringLiteral("exit"), QString::number(process.exitCode()));
        return found;
    }
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0) found.insert(line.left(tab), line.mid(tab + 1));
    }
    return found;
}

// One finding of the subject run, for the parent to read back.
inline void report(const QString& key, const QString& value) {
    QTextStream(stdout) << key << '\t' << value << '\n';
}

} // namespace Unprivileged
