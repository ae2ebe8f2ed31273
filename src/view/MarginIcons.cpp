#include "MarginIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <iterator>

namespace {

constexpr int kIconSize = 16;
constexpr std::uint32_t kMarginMasks[] = {0x10000, 0x20000, 0x40000, 0x2,     0x4,
                                          0x8,     0x10,    0x20,    0x40,    0x80,
                                          0x100,   0x200,   0x1,     0x80000, 0x100000};

void DrawDisc(QPainter& painter, int left, const QString& digit) {
    painter.setPen(QPen(QColor(0, 96, 128), 1));
    painter.setBrush(QColor(0, 200, 220));
    painter.drawEllipse(QRectF(left + 1.5, 1.5, 13, 13));
    if (digit.isEmpty())
        return;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(left, 0, kIconSize, kIconSize), Qt::AlignCenter, digit);
}

void DrawArrow(QPainter& painter, int left) {
    QPainterPath arrow;
    arrow.moveTo(left + 2, 5);
    arrow.lineTo(left + 8, 5);
    arrow.lineTo(left + 8, 1);
    arrow.lineTo(left + 15, 8);
    arrow.lineTo(left + 8, 15);
    arrow.lineTo(left + 8, 11);
    arrow.lineTo(left + 2, 11);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(96, 96, 0), 1));
    painter.setBrush(QColor(255, 255, 0));
    painter.drawPath(arrow);
}

void DrawStopSign(QPainter& painter, int left) {
    QPolygonF octagon;
    for (QPointF point : {QPointF(5, 1), QPointF(11, 1), QPointF(15, 5), QPointF(15, 11),
                          QPointF(11, 15), QPointF(5, 15), QPointF(1, 11), QPointF(1, 5)}) {
        octagon << point + QPointF(left, 0);
    }
    painter.setPen(QPen(QColor(128, 0, 0), 1));
    painter.setBrush(QColor(220, 0, 0));
    painter.drawPolygon(octagon);
}

}  // namespace

QPixmap MakeMarginIcons() {
    QPixmap strip(14 * kIconSize, kIconSize);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawArrow(painter, 0);
    DrawStopSign(painter, kIconSize);
    DrawDisc(painter, 2 * kIconSize, QStringLiteral("1"));
    for (int digit = 1; digit <= 9; ++digit)
        DrawDisc(painter, (2 + digit) * kIconSize, QString::number(digit));
    DrawDisc(painter, 12 * kIconSize, QStringLiteral("0"));
    DrawDisc(painter, 13 * kIconSize, QString());
    return strip;
}

int MarginIconIndex(std::uint32_t flags) {
    for (int index = 0; index < static_cast<int>(std::size(kMarginMasks)); ++index) {
        if (flags & kMarginMasks[index])
            return index;
    }
    return -1;
}
