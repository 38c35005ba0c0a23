#pragma once

#include <QLabel>

namespace windows {

// A status bar panel: a text longer than the panel ends in "…" with the whole of it as the
// panel's tip (and for screen readers, its text), instead of being cut off mid-letter.
class StatusLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace windows
