#include "ShellIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>
#include <cmath>

#include "CommandIds.h"

// Toolbar pictures are drawn in button units: pixel (x, y) of the 1x picture is the unit square
// at (x, y), so a one-unit line through x + 0.5 lies on a pixel column at 1x and on two at 2x.

namespace {

const QColor kInk(40, 44, 52);
const QColor kPaper(255, 255, 255);
const QColor kFold(206, 212, 220);
const QColor kTextLine(70, 110, 200);

QPen Line(const QColor& color, qreal width = 1.0, Qt::PenJoinStyle join = Qt::MiterJoin) {
    QPen pen(color, width);
    pen.setJoinStyle(join);
    return pen;
}

QPen RoundLine(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The outline through the centres of pixel columns left..right and rows top..bottom.
QRectF PixelBox(int left, int top, int right, int bottom) {
    return QRectF(left + 0.5, top + 0.5, right - left, bottom - top);
}

void FillPixels(QPainter& painter, int left, int top, int right, int bottom, const QColor& color) {
    painter.fillRect(QRectF(left, top, right - left + 1, bottom - top + 1), color);
}

void DrawBox(QPainter& painter, int left, int top, int right, int bottom, const QBrush& fill,
             const QColor& line) {
    painter.setPen(Line(line));
    painter.setBrush(fill);
    painter.drawRect(PixelBox(left, top, right, bottom));
}

// A sheet over pixel columns left..right and rows top..bottom, its top-right corner folded.
void DrawSheet(QPainter& painter, int left, int top, int right, int bottom, int fold) {
    const qreal l = left + 0.5, t = top + 0.5, r = right + 0.5, b = bottom + 0.5;
    painter.setPen(Line(kInk));
    painter.setBrush(kPaper);
    painter.drawPolygon(QPolygonF{{l, t}, {r - fold, t}, {r, t + fold}, {r, b}, {l, b}});
    if (fold > 0) {
        // Bevelled: mitred, the fold's sharp corners would poke out past the sheet.
        painter.setPen(Line(kInk, 1.0, Qt::BevelJoin));
        painter.setBrush(kFold);
        painter.drawPolygon(QPolygonF{{r - fold, t}, {r - fold, t + fold}, {r, t + fold}});
    }
}

// Lines of text on a sheet: one pixel high, at the given rows.
void DrawTextLines(QPainter& painter, int left, int right, std::initializer_list<int> rows,
                   const QColor& color = kTextLine) {
    for (int row : rows)
        FillPixels(painter, left, row, right, row, color);
}

// A letter 3 pixels wide and 5 high; '#' marks a set pixel.
void DrawGlyph(QPainter& painter, int left, int top, const char* const (&rows)[5],
               const QColor& color) {
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; rows[y][x] != '\0'; ++x) {
            if (rows[y][x] == '#')
                FillPixels(painter, left + x, top + y, left + x, top + y, color);
        }
    }
}

void DrawMagnifier(QPainter& painter, QPointF centre, qreal radius, QPointF handleEnd) {
    const QPointF direction =
        (handleEnd - centre) / std::hypot(handleEnd.x() - centre.x(), handleEnd.y() - centre.y());
    painter.setPen(RoundLine(QColor(96, 56, 24), 2.6));
    painter.drawLine(centre + direction * (radius + 1.2), handleEnd);
    painter.setPen(RoundLine(kInk, 1.0));
    painter.drawLine(centre + direction * radius, centre + direction * (radius + 1.6));

    QRadialGradient glass(centre - QPointF(radius, radius) * 0.35, radius * 1.4);
    glass.setColorAt(0.0, QColor(255, 255, 255));
    glass.setColorAt(0.5, QColor(186, 224, 255));
    glass.setColorAt(1.0, QColor(110, 170, 230));
    painter.setPen(Line(kInk, 1.2));
    painter.setBrush(glass);
    painter.drawEllipse(centre, radius, radius);
}

// A right-pointing arrow with its tip at `tip`, `length` long and `height` wide at the head.
void DrawArrowRight(QPainter& painter, QPointF tip, qreal length, qreal height, const QColor& fill,
                    const QColor& line) {
    const qreal head = height / 2;
    const qreal shaft = height / 5;
    const QPointF p = tip;
    painter.setPen(Line(line));
    painter.setBrush(fill);
    painter.drawPolygon(QPolygonF{p,
                                  {p.x() - head, p.y() - head},
                                  {p.x() - head, p.y() - shaft},
                                  {p.x() - length, p.y() - shaft},
                                  {p.x() - length, p.y() + shaft},
                                  {p.x() - head, p.y() + shaft},
                                  {p.x() - head, p.y() + head}});
}

void DrawNew(QPainter& painter) {
    DrawSheet(painter, 3, 0, 12, 14, 4);
}

void DrawOpen(QPainter& painter) {
    const QColor line(120, 84, 16);
    // The folder's back with its tab, a sheet inside, then the front flap tipped open.
    painter.setPen(Line(line));
    painter.setBrush(QColor(222, 170, 56));
    painter.drawPolygon(
        QPolygonF{{0.5, 2.5}, {4.5, 2.5}, {5.5, 3.5}, {11.5, 3.5}, {11.5, 13.5}, {0.5, 13.5}});
    DrawBox(painter, 3, 1, 10, 7, kPaper, QColor(110, 110, 110));
    DrawTextLines(painter, 5, 8, {3, 5});
    QLinearGradient front(0, 6, 0, 14);
    front.setColorAt(0, QColor(255, 234, 140));
    front.setColorAt(1, QColor(240, 190, 64));
    painter.setPen(Line(line));
    painter.setBrush(front);
    painter.drawPolygon(QPolygonF{{3.5, 6.5}, {15.5, 6.5}, {12.5, 13.5}, {0.5, 13.5}});
}

void DrawSave(QPainter& painter) {
    // A diskette: label at the top, metal shutter at the bottom.
    QLinearGradient body(0, 0, 16, 15);
    body.setColorAt(0, QColor(74, 112, 200));
    body.setColorAt(1, QColor(30, 60, 140));
    painter.setPen(Line(QColor(16, 32, 80)));
    painter.setBrush(body);
    painter.drawPolygon(QPolygonF{{1.5, 0.5}, {13.5, 0.5}, {14.5, 1.5}, {14.5, 14.5}, {1.5, 14.5}});
    FillPixels(painter, 4, 1, 11, 6, kPaper);
    DrawTextLines(painter, 5, 10, {3, 5}, QColor(170, 60, 60));
    DrawBox(painter, 4, 9, 11, 14, QColor(200, 204, 212), QColor(70, 74, 84));
    FillPixels(painter, 8, 10, 9, 13, QColor(40, 60, 110));
}

void DrawPrint(QPainter& painter) {
    // Sheet going in at the top, body with slot and lamp, printed sheet coming out.
    DrawBox(painter, 4, 0, 11, 5, kPaper, QColor(110, 110, 110));
    QLinearGradient body(0, 5, 0, 12);
    body.setColorAt(0, QColor(236, 236, 240));
    body.setColorAt(1, QColor(150, 152, 160));
    painter.setPen(Line(kInk));
    painter.setBrush(body);
    painter.drawRoundedRect(PixelBox(0, 5, 15, 11), 1.5, 1.5);
    FillPixels(painter, 2, 9, 13, 9, QColor(60, 62, 70));
    FillPixels(painter, 12, 7, 13, 7, QColor(40, 200, 60));
    painter.setPen(Line(QColor(110, 110, 110)));
    painter.setBrush(kPaper);
    painter.drawPolygon(QPolygonF{{3.5, 9.5}, {12.5, 9.5}, {13.5, 14.5}, {2.5, 14.5}});
    DrawTextLines(painter, 5, 10, {11, 13}, QColor(60, 60, 60));
}

void DrawCut(QPainter& painter) {
    // Blades crossing at the pivot, handle rings below.
    painter.setPen(RoundLine(QColor(60, 66, 80), 1.6));
    painter.drawLine(QPointF(5.2, 9.0), QPointF(11.0, 0.8));
    painter.drawLine(QPointF(10.8, 9.0), QPointF(5.0, 0.8));
    painter.setPen(RoundLine(QColor(170, 176, 190), 0.7));
    painter.drawLine(QPointF(5.6, 8.2), QPointF(10.6, 1.2));
    painter.drawLine(QPointF(10.4, 8.2), QPointF(5.4, 1.2));
    FillPixels(painter, 7, 5, 8, 5, kInk);
    painter.setPen(Line(QColor(190, 24, 24), 1.7));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(4.2, 11.6), 2.4, 2.4);
    painter.drawEllipse(QPointF(11.8, 11.6), 2.4, 2.4);
}

void DrawCopy(QPainter& painter) {
    DrawSheet(painter, 1, 0, 9, 10, 3);
    DrawTextLines(painter, 3, 6, {4, 6, 8});
    DrawSheet(painter, 6, 4, 14, 14, 3);
    DrawTextLines(painter, 8, 12, {8, 10, 12});
}

void DrawPaste(QPainter& painter) {
    QLinearGradient board(0, 1, 0, 15);
    board.setColorAt(0, QColor(206, 146, 80));
    board.setColorAt(1, QColor(150, 92, 40));
    painter.setPen(Line(QColor(92, 52, 16)));
    painter.setBrush(board);
    painter.drawRoundedRect(PixelBox(1, 1, 11, 14), 1.2, 1.2);
    DrawBox(painter, 4, 0, 8, 2, QColor(200, 204, 212), kInk);
    DrawSheet(painter, 7, 5, 14, 14, 3);
    DrawTextLines(painter, 9, 12, {9, 11, 13});
}

// The undo arrow: head pointing left, its shaft bending round to the bottom right. Redo is the
// same picture mirrored.
void DrawUndoArrow(QPainter& painter) {
    QPainterPath shaft;
    shaft.moveTo(5.0, 5.5);
    shaft.lineTo(8.5, 5.5);
    shaft.cubicTo(14.5, 5.5, 14.5, 13.0, 8.5, 13.0);
    shaft.lineTo(6.5, 13.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(16, 46, 120), 3.4, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.drawPath(shaft);
    painter.setPen(QPen(QColor(60, 120, 230), 1.6, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.drawPath(shaft);
    painter.setPen(Line(QColor(16, 46, 120)));
    painter.setBrush(QColor(60, 120, 230));
    painter.drawPolygon(QPolygonF{{0.8, 5.5}, {6.0, 0.8}, {6.0, 10.2}});
}

void DrawUndo(QPainter& painter) {
    DrawUndoArrow(painter);
}

void DrawRedo(QPainter& painter) {
    painter.translate(kToolbarIconWidth, 0);
    painter.scale(-1, 1);
    DrawUndoArrow(painter);
}

void DrawFind(QPainter& painter) {
    DrawMagnifier(painter, QPointF(6.5, 6.0), 4.6, QPointF(14.0, 13.5));
}

void DrawFindNext(QPainter& painter) {
    DrawMagnifier(painter, QPointF(5.5, 5.0), 4.0, QPointF(10.0, 9.5));
    DrawArrowRight(painter, QPointF(15.6, 11.5), 8.0, 7.0, QColor(50, 190, 60), QColor(16, 90, 24));
}

void DrawReplace(QPainter& painter) {
    static const char* const kA[5] = {".#.", "#.#", "###", "#.#", "#.#"};
    static const char* const kB[5] = {"##.", "#.#", "##.", "#.#", "##."};
    DrawMagnifier(painter, QPointF(5.0, 5.0), 3.9, QPointF(9.2, 9.2));
    DrawGlyph(painter, 12, 0, kA, QColor(30, 70, 190));
    DrawGlyph(painter, 12, 10, kB, QColor(200, 30, 30));
    // A small down arrow from A to B.
    FillPixels(painter, 13, 5, 13, 8, kInk);
    FillPixels(painter, 12, 7, 14, 7, kInk);
}

void DrawStartAnalysis(QPainter& painter) {
    QLinearGradient fill(0, 1, 0, 14);
    fill.setColorAt(0, QColor(120, 230, 110));
    fill.setColorAt(1, QColor(24, 150, 40));
    painter.setPen(Line(QColor(12, 84, 20)));
    painter.setBrush(fill);
    painter.drawPolygon(QPolygonF{{3.5, 0.5}, {14.0, 7.5}, {3.5, 14.5}});
}

using IconPainter = void (*)(QPainter&);

struct ToolbarButton {
    int commandId;
    IconPainter draw;
};

constexpr ToolbarButton kButtons[] = {
    {ID_FILE_NEW, DrawNew},
    {ID_FILE_OPEN, DrawOpen},
    {ID_FILE_SAVE, DrawSave},
    {ID_FILE_PRINT, DrawPrint},
    {ID_EDIT_CUT, DrawCut},
    {ID_EDIT_COPY, DrawCopy},
    {ID_EDIT_PASTE, DrawPaste},
    {ID_EDIT_UNDO, DrawUndo},
    {ID_EDIT_REDO, DrawRedo},
    {ID_EDIT_FIND, DrawFind},
    {ID_EDIT_REPEAT, DrawFindNext},
    {ID_EDIT_REPLACE, DrawReplace},
    {ID_ANALYSIS_START, DrawStartAnalysis},
};

IconPainter FindButton(int commandId) {
    for (const ToolbarButton& button : kButtons) {
        if (button.commandId == commandId)
            return button.draw;
    }
    return nullptr;
}

// --- Program and document icons: laid out in pixels of the requested size, so edges fall on
// whole pixels at every size.

struct PageLayout {
    QRectF outline;  // through the middle of the outline pen
    qreal fold;
    qreal pen;
};

PageLayout LayoutPage(int size, qreal widthShare) {
    const int inset = qRound(size * (1.0 - widthShare) / 2);
    const int top = size / 32;
    const qreal pen = qMax(1, qRound(size / 32.0));
    const QRectF edges(inset, top, size - 2 * inset, size - 2 * top);
    const qreal fold = qRound(size * 0.28);
    return {edges.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), fold, pen};
}

QPolygonF PageShape(const PageLayout& page) {
    const QRectF& r = page.outline;
    return QPolygonF{r.topLeft(),
                     {r.right() - page.fold, r.top()},
                     {r.right(), r.top() + page.fold},
                     r.bottomRight(),
                     r.bottomLeft()};
}

QPolygonF FoldShape(const PageLayout& page) {
    const QRectF& r = page.outline;
    return QPolygonF{{r.right() - page.fold, r.top()},
                     {r.right() - page.fold, r.top() + page.fold},
                     {r.right(), r.top() + page.fold}};
}

// A resistor centred on `y`: straight leads, then a zigzag of `segments` strokes.
QPainterPath ResistorPath(qreal left, qreal right, qreal y, qreal amplitude, int segments) {
    const qreal lead = (right - left) * 0.14;
    const qreal step = (right - left - 2 * lead) / segments;
    QPainterPath path;
    path.moveTo(left, y);
    path.lineTo(left + lead, y);
    for (int i = 0; i < segments; ++i) {
        const qreal x = left + lead + step * (i + 0.5);
        path.lineTo(x, i % 2 == 0 ? y - amplitude : y + amplitude);
    }
    path.lineTo(right - lead, y);
    path.lineTo(right, y);
    return path;
}

// Up to this size the circuit is drawn pixel by pixel: antialiased strokes a pixel wide turn
// into grey mush there.
constexpr int kLargestPixelArt = 24;

// Whole pixels while strokes are thin, so that the leads stay sharp.
qreal VectorStroke(int size) {
    return size <= 48 ? std::round(size / 16.0) : size / 15.0;
}

int VectorSegments(int size) {
    return size <= 32 ? 4 : 6;
}

// Sets the pixels of a line from `from` to `to`, one per step along its longer axis.
void DrawPixelLine(QPainter& painter, QPoint from, QPoint to, const QColor& color) {
    const QPoint delta = to - from;
    const int steps = qMax(qAbs(delta.x()), qAbs(delta.y()));
    for (int t = 0; t <= steps; ++t) {
        const int x = from.x() + (steps == 0 ? 0 : qRound(qreal(delta.x()) * t / steps));
        const int y = from.y() + (steps == 0 ? 0 : qRound(qreal(delta.y()) * t / steps));
        painter.fillRect(QRect(x, y, 1, 1), color);
    }
}

// A pixel resistor on row `y` from column `left` to `right`: a zigzag of `segments` strokes,
// each `run` columns across and 2 * `amplitude` rows high, centred between the leads.
void DrawPixelResistor(QPainter& painter, int left, int right, int y, int amplitude, int run,
                       int segments, const QColor& color) {
    const int half = (run + 1) / 2;
    const int width = 2 * half + run * (segments - 1);
    const int start = (left + right + 1 - width) / 2;
    QPoint previous(start, y);
    DrawPixelLine(painter, QPoint(left, y), previous, color);
    for (int i = 0; i < segments; ++i) {
        const QPoint peak(start + half + run * i, i % 2 == 0 ? y - amplitude : y + amplitude);
        DrawPixelLine(painter, previous, peak, color);
        previous = peak;
    }
    const QPoint end(start + width, y);
    DrawPixelLine(painter, previous, end, color);
    DrawPixelLine(painter, end, QPoint(right, y), color);
}

// A pixel sine wave of one period over columns left..right, around row `y`.
void DrawPixelWave(QPainter& painter, int left, int right, int y, int amplitude,
                   const QColor& color) {
    QPoint previous;
    for (int x = left; x <= right; ++x) {
        const qreal phase = 2 * M_PI * (x - left) / (right - left);
        const QPoint point(x, y - qRound(amplitude * std::sin(phase)));
        DrawPixelLine(painter, x == left ? point : previous, point, color);
        previous = point;
    }
}

QPainterPath SinePath(qreal left, qreal right, qreal y, qreal amplitude, qreal periods) {
    QPainterPath path;
    constexpr int kSteps = 64;
    for (int i = 0; i <= kSteps; ++i) {
        const qreal t = qreal(i) / kSteps;
        const QPointF point(left + (right - left) * t,
                            y - amplitude * std::sin(2 * M_PI * periods * t));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    return path;
}

// Where a line `width` pixels wide stays sharp near `value`: on a pixel's middle for an odd
// width, on a pixel edge for an even one.
qreal Snap(qreal value, qreal width) {
    return qRound(width) % 2 == 1 ? std::floor(value) + 0.5 : std::round(value);
}

QPixmap NewPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawApplicationIcon(QPainter& painter, int size) {
    // Small sizes take a wider page: every pixel of width helps the circuit read.
    const PageLayout page = LayoutPage(size, size <= kLargestPixelArt ? 0.875 : 0.8);
    const QRectF& r = page.outline;

    QLinearGradient fill(r.topLeft(), r.bottomRight());
    fill.setColorAt(0.0, QColor(58, 196, 206));
    fill.setColorAt(1.0, QColor(18, 92, 160));
    painter.setPen(Line(QColor(10, 52, 96), page.pen));
    painter.setBrush(fill);
    painter.drawPolygon(PageShape(page));
    painter.setPen(Line(QColor(10, 52, 96), page.pen, Qt::BevelJoin));
    painter.setBrush(QColor(186, 236, 242));
    painter.drawPolygon(FoldShape(page));

    // The circuit: a white resistor above a pale yellow waveform.
    const QColor resistor(Qt::white);
    const QColor wave(255, 226, 120);
    if (size <= kLargestPixelArt) {
        const int left = qCeil(r.left() + page.pen / 2);
        const int right = qFloor(r.right() - page.pen / 2) - 1;
        const int top = qCeil(r.top());
        const int amplitude = size < 20 ? 2 : 3;
        DrawPixelResistor(painter, left, right, top + size * 7 / 16, amplitude, amplitude, 4,
                          resistor);
        DrawPixelWave(painter, left + 1, right - 1, top + size * 12 / 16, amplitude - 1, wave);
        return;
    }
    const qreal stroke = VectorStroke(size);
    const qreal inner = page.pen / 2 + stroke / 2 + std::floor(size / 24.0);
    const qreal left = r.left() + inner;
    const qreal right = r.right() - inner;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundLine(resistor, stroke));
    painter.drawPath(ResistorPath(left, right, Snap(r.top() + r.height() * 0.49, stroke),
                                  r.height() * 0.12, VectorSegments(size)));
    painter.setPen(RoundLine(wave, stroke * 0.8));
    painter.drawPath(SinePath(left + stroke, right - stroke, r.top() + r.height() * 0.81,
                              r.height() * 0.08, 1.5));
}

void DrawDocumentIcon(QPainter& painter, int size) {
    const PageLayout page = LayoutPage(size, 0.75);
    const QRectF& r = page.outline;

    painter.setPen(Line(QColor(90, 100, 112), page.pen));
    painter.setBrush(kPaper);
    painter.drawPolygon(PageShape(page));
    painter.setPen(Line(QColor(90, 100, 112), page.pen, Qt::BevelJoin));
    painter.setBrush(kFold);
    painter.drawPolygon(FoldShape(page));

    // Netlist lines above and below a dark blue resistor.
    const qreal unit = size / 16.0;
    const qreal textLeft = r.left() + 1.5 * unit;
    const qreal topRow = Snap(r.top() + 3 * unit, unit);
    const qreal lowRow = Snap(r.bottom() - 2.5 * unit, unit);
    painter.setPen(QPen(QColor(150, 160, 176), unit, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(textLeft, topRow), QPointF(r.right() - page.fold - unit, topRow));
    painter.drawLine(QPointF(textLeft, lowRow), QPointF(r.right() - 1.5 * unit, lowRow));

    const QColor resistor(24, 64, 150);
    if (size <= kLargestPixelArt) {
        const int left = qCeil(r.left() + page.pen / 2);
        const int right = qFloor(r.right() - page.pen / 2) - 1;
        DrawPixelResistor(painter, left, right, qCeil(r.top()) + size / 2, 2, 2, 4, resistor);
        return;
    }
    const qreal stroke = VectorStroke(size);
    const qreal inner = page.pen / 2 + stroke / 2 + std::floor(size / 24.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(RoundLine(resistor, stroke));
    painter.drawPath(ResistorPath(r.left() + inner, r.right() - inner,
                                  Snap(r.top() + r.height() * 0.53, stroke), r.height() * 0.14,
                                  VectorSegments(size)));
}

}  // namespace

QPixmap ToolbarPixmap(int commandId, int scale) {
    const IconPainter draw = FindButton(commandId);
    if (draw == nullptr || scale < 1)
        return QPixmap();
    QPixmap pixmap(kToolbarIconWidth * scale, kToolbarIconHeight * scale);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QIcon ToolbarIcon(int commandId) {
    if (FindButton(commandId) == nullptr)
        return QIcon();
    QIcon icon;
    icon.addPixmap(ToolbarPixmap(commandId, 1));
    icon.addPixmap(ToolbarPixmap(commandId, 2));
    return icon;
}

QList<int> ToolbarLayout() {
    return {ID_FILE_NEW,  ID_FILE_OPEN,     ID_FILE_SAVE,  ID_FILE_PRINT,  ID_SEPARATOR,
            ID_EDIT_CUT,  ID_EDIT_COPY,     ID_EDIT_PASTE, ID_SEPARATOR,   ID_EDIT_UNDO,
            ID_EDIT_REDO, ID_SEPARATOR,     ID_EDIT_FIND,  ID_EDIT_REPEAT, ID_EDIT_REPLACE,
            ID_SEPARATOR, ID_ANALYSIS_START};
}

QPixmap ApplicationPixmap(int size) {
    QPixmap pixmap = NewPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawApplicationIcon(painter, size);
    return pixmap;
}

QList<int> ApplicationIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : ApplicationIconSizes())
        icon.addPixmap(ApplicationPixmap(size));
    return icon;
}

QPixmap DocumentPixmap(int size) {
    QPixmap pixmap = NewPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawDocumentIcon(painter, size);
    return pixmap;
}

QIcon DocumentIcon() {
    QIcon icon;
    icon.addPixmap(DocumentPixmap(16));
    icon.addPixmap(DocumentPixmap(32));
    return icon;
}
