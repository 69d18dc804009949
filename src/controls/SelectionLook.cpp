#include "controls/SelectionLook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>

namespace {
QColor blend(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(float(a.redF() * share + b.redF() * (1 - share)),
                            float(a.greenF() * share + b.greenF() * (1 - share)),
                            float(a.blueF() * share + b.blueF() * (1 - share)));
}

void showFocusInSelection(QAbstractItemView* view, bool focused) {
    QPalette look = QApplication::palette(view);
    if (!focused) {
        const QColor pale = blend(look.color(QPalette::Active, QPalette::Highlight),
                                  look.color(QPalette::Active, QPalette::Base), 0.35);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            look.setColor(group, QPalette::Highlight, pale);
            look.setColor(group, QPalette::HighlightedText, look.color(group, QPalette::Text));
        }
    }
    view->setPalette(look);
}

// Sees the view's focus events before the view handles them; none while the
// view is being destroyed, when it is a view no more.
class FocusLook : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* view = qobject_cast<QAbstractItemView*>(watched);
        if (view && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            showFocusInSelection(view, event->type() == QEvent::FocusIn);
        return false;
    }
};
} // namespace

void followFocusInSelection(QAbstractItemView* view) {
    showFocusInSelection(view, false);
    view->installEventFilter(new FocusLook(view));
}
