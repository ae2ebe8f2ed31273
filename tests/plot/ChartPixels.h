#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdlib>

// Pixels of the colour the first trace of a chart is drawn in: what tells a drawn trace from an
// empty chart.
inline int PixelsOfFirstTrace(const QImage& image, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - 0) < 40 && std::abs(pixel.green() - 114) < 40 &&
                std::abs(pixel.blue() - 178) < 40)
                ++count;
        }
    }
    return count;
}
