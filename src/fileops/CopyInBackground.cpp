#include "fileops/CopyInBackground.h"

#include "fileops/SafeCopy.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLocale>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <exception>
#include <memory>

namespace {

constexpr int ShowAfterMs = 500;
constexpr int UpdateEveryMs = 100;
constexpr int EndWaitMs = 2000;
constexpr int Steps = 1000; // the bar counts per mille, so any size fits an int

// What the worker and the user-interface thread share.
struct Job {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancel{false};
    std::exception_ptr failure;
};

QString progressText(const QString& name, qint64 done, qint64 total) {
    const QLocale locale;
    return QStringLiteral("Copying %1\n%2 of %3 bytes")
        .arg(name, locale.toString(done), locale.toString(total));
}

} // namespace

void copyInBackground(QWidget* owner, const QString& source, const QString& target,
                      const QString& shownName) {
    auto job = std::make_shared<Job>();
    QThread* worker = QThread::create([job, source, target] {
        try {
            copyFileSafely(source, target, [&job = *job](qint64 done, qint64 total) {
                job.done = done;
                job.total = total;
                return !job.cancel.load();
            });
        } catch (...) {
            job->failure = std::current_exception();
        }
    });

    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QPointer<QProgressDialog> dialog;
    const auto refresh = [&] {
        if (!dialog) return;
        const qint64 total = job->total, done = job->done;
        dialog->setLabelText(progressText(shownName, done, total));
        dialog->setValue(total > 0 ? int(done * Steps / total) : 0);
    };
    QTimer update;
    update.setInterval(UpdateEveryMs);
    QObject::connect(&update, &QTimer::timeout, &loop, refresh);
    QTimer::singleShot(ShowAfterMs, &loop, [&] {
        dialog = new QProgressDialog(owner);
        dialog->setWindowTitle(QStringLiteral("Copy File"));
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setMinimumDuration(0);
        dialog->setRange(0, Steps);
        QObject::connect(dialog, &QProgressDialog::canceled, &loop,
                         [&job = *job] { job.cancel = true; });
        refresh();
        update.start();
        dialog->show();
    });

    worker->start();
    // Leaves early only when the program ends; then the copy is called off.
    if (!worker->isFinished()) loop.exec();
    if (!worker->isFinished()) {
        job->cancel = true;
        // A worker stuck in the file system is left to the program's end
        // (its unnamed file goes with it) rather than holding up the exit.
        if (!worker->wait(QDeadlineTimer(EndWaitMs))) {
            delete dialog.data();
            throw CopyCancelled();
        }
    }
    delete worker;
    delete dialog.data();
    if (job->failure) std::rethrow_exception(job->failure);
}
