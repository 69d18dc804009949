#pragma once

class QAbstractItemView;

// Draws a list's selection in the full highlight colour while the list has
// the focus and in a pale one otherwise, so that the user sees which list
// the keys go to whatever the platform's palette does. From now on, the
// view's look follows its focus.
void followFocusInSelection(QAbstractItemView* view);
