// Build-time tool: writes the program's picture as PNG files for the desktop's menus.
//   make_icon SIZE OUTPUT.png [SIZE OUTPUT.png ...]
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "app/looks/AppPicture.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png [SIZE OUTPUT.png ...]\n", argv[0]);
        return 2;
    }
    QGuiApplication application(argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 ||
            !app::applicationPicture(size).save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
