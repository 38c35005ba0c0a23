#pragma once

#include <QRect>
#include <QSize>

// Window designs are measured in twips: 15 twips are one pixel at 96 dpi. Qt scales the
// resulting device-independent pixels for high-density screens itself.
namespace app {

constexpr int twips(int value) {
    return (value + 7) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

inline QSize twipsSize(int width, int height) {
    return {twips(width), twips(height)};
}

}  // namespace app
