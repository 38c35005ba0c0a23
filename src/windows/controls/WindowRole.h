#pragma once

class QWidget;

namespace windows {

// Qt describes a plain QWidget to screen readers as a client area ("filler") even when it
// is a top-level window, so a reader does not announce it as a window. A window of ours made
// straight from QWidget calls this first thing in its constructor, before a title or anything
// else a reader may hear of (the description Qt makes then is kept), to be described as a
// window; dialogs are described as dialogs already.
void describeAsWindow(QWidget& window);

}  // namespace windows
