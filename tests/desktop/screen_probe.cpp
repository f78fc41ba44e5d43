// Looks at what the X server shows: grabs the whole screen and prints the
// bounding box "x y width height" of the pixels of one colour (by default the
// Return Buffer's green), or "none". Used by screen_test.sh.
//   screen_probe [#rrggbb]
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QColor wanted(argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("#008000"));
    const QImage screen =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb target = wanted.rgb() | 0xff000000u;
    int left = screen.width(), top = screen.height(), right = -1, bottom = -1;
    for (int y = 0; y < screen.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            if ((line[x] | 0xff000000u) != target)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        std::printf("none\n");
    else
        std::printf("%d %d %d %d\n", left, top, right - left + 1, bottom - top + 1);
    return 0;
}
