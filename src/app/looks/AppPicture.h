#pragma once

#include <QIcon>
#include <QPixmap>

namespace app {

// The program's picture: a record on a turntable-blue ground, drawn at any size.
QPixmap applicationPicture(int size = 32);
QIcon applicationIcon();

}  // namespace app
