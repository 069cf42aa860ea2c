// Renders one SVG to a square PNG of the given size: render-icon <in.svg> <size> <out.png>.
// The icon theme's PNGs are made from the same drawings as the program's own icon.

#include "common/qt/SvgImage.h"

#include <cstdio>
#include <cstdlib>
#include <QString>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <in.svg> <size> <out.png>\n", argv[0]);
        return 2;
    }
    const int size = std::atoi(argv[2]);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid() || size <= 0 || size > 4096) {
        std::fprintf(stderr, "render-icon: cannot render %s at %s px\n", argv[1], argv[2]);
        return 1;
    }
    const QImage image = tessaly::RenderSvg(renderer, QSize(size, size));
    if (!image.convertToFormat(QImage::Format_ARGB32)
             .save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "render-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
