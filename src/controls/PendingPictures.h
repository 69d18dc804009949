#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QTextCursor>

#include <atomic>
#include <list>
#include <memory>

class RtfPicture;

// The pictures of a document being shown, decoded on a worker thread, one
// after another: each waits in the frame the document already holds for it,
// and is filled in when decoded, or its frame goes if it cannot be. Deleting
// this drops whatever is still pending, so that nothing lands later.
class PendingPictures : public QObject {
    Q_OBJECT
  public:
    PendingPictures();
    ~PendingPictures() override;

    // frame: a cursor before the picture's frame.
    void add(const RtfPicture& picture, const QTextCursor& frame);
    bool isEmpty() const { return pending_.empty(); }
    // Decodes what is left now (or waits for it) and fills it all in.
    void finishAll();

  signals:
    // The last pending picture is filled in.
    void allFilled();

  public:
    struct Decoded {
        QImage image;
        QSizeF shown;
    };

  private:
    struct Pending {
        QFutureWatcher<Decoded>* watcher;
        QTextCursor frame;
    };
    void fill(std::list<Pending>::iterator at);

    std::shared_ptr<std::atomic_bool> dropped_;
    std::list<Pending> pending_;
};
