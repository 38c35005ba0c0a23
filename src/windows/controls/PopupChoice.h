#pragma once

class QComboBox;

namespace windows {

// A drop-down whose choice sets long work going (reading a whole file again) is chosen in its
// list only: the arrow keys and the wheel open the list rather than stepping through the
// choices, each of which would start the work; Enter in the list chooses.
void chooseFromListOnly(QComboBox* box);

}  // namespace windows
