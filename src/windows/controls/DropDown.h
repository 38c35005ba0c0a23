#pragma once

class QComboBox;
class QWidget;

namespace windows {

// An editable drop-down list whose text is exactly what the user typed or picked from the
// list. The toolkit's editable combo box would complete typed text inline from the list
// and, when the focus leaves, replace a text that matches an item in another letter case
// by that item and report it as a pick: both change what is stored without being asked.
QComboBox* makeDropDown(QWidget* parent, const char* name);

}  // namespace windows
