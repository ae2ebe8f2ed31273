// Painting of CCorvelTextView: strip by strip through one bitmap a line high, every character in
// a cell exactly CharWidth wide.

#include <QApplication>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QRawFont>
#include <algorithm>
#include <cstring>
#include <vector>

#include "CorvelTextView.h"
#include "TextEncoding.h"
#include "MarginIcons.h"

namespace {

// The title line of a netlist is drawn in this colour.
const QColor kTitleLineColor(0, 128, 128);
constexpr int kLongestDrawingCall = 8192;
// Room for the runs of lines this long is kept between paints.
constexpr std::size_t kKeptRunRoom = 3 * 4096;

QColor ToQColor(Rgb rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

QColor CCorvelTextView::RoleColor(int role) const {
    if (std::optional<Rgb> fixed = FixedRoleColor(role))
        return ToQColor(*fixed);
    // The desktop's colours, read at every paint so that a change shows at once.
    const QPalette colours = palette();
    return role == NormalText ? colours.color(QPalette::Active, QPalette::Text)
                              : colours.color(QPalette::Active, QPalette::Base);
}

void CCorvelTextView::LineHighlight(int, std::optional<QColor>& background,
                                    std::optional<QColor>& text, bool& fillAfterText) const {
    background.reset();
    text.reset();
    fillAfterText = false;
}

bool CCorvelTextView::IsRoleItalic(int) const {
    return false;
}

bool CCorvelTextView::IsRoleBold(int) const {
    return false;
}

void CCorvelTextView::paintEvent(QPaintEvent* event) {
    QRect client = ClientRect();
    int total = LineTotal();
    int height = LineHeight();
    NormalizeSelection();

    // The strip is as sharp as the screen: device pixels, drawn in the widget's own units.
    qreal ratio = devicePixelRatioF();
    QSize strip(std::max(1, client.width()), height);
    if (lineBitmap.isNull() || lineBitmap.deviceIndependentSize().toSize() != strip ||
        lineBitmap.devicePixelRatio() != ratio) {
        lineBitmap = QPixmap(strip * ratio);
        lineBitmap.setDevicePixelRatio(ratio);
    }
    QRect marginRectangle(0, 0, MarginWidth(), height);
    QRect textRectangle(MarginWidth(), 0, client.width() - MarginWidth(), height);

    QPainter window(this);
    marginTextBackground = QColor(Qt::white);
    int firstStrip = std::max(0, event->rect().top() / height);
    // The strips above the first one painted would have left the background of the last text
    // line among them for the digits: a paint of part of the window gives them the same.
    int lastAbove = std::min(topLine + firstStrip, total) - 1;
    if (lastAbove >= topLine) {
        std::optional<QColor> background, text;
        bool fillAfterText = false;
        LineHighlight(lastAbove, background, text, fillAfterText);
        marginTextBackground = background.value_or(RoleColor(TextBackground));
    }
    for (int index = firstStrip;
         index * height < client.height() && index * height <= event->rect().bottom(); ++index) {
        int line = topLine + index;
        {
            QPainter bitmap(&lineBitmap);
            if (line < total) {
                PaintMargin(bitmap, marginRectangle, line, line + 1);
                PaintLine(bitmap, textRectangle, line);
            } else {
                PaintMargin(bitmap, marginRectangle, -1, -1);
                PaintLine(bitmap, textRectangle, -1);
            }
        }
        int top = index * height;
        int shown = std::min(height, client.height() - top);
        window.drawPixmap(QRectF(0, top, client.width(), shown), lineBitmap,
                          QRectF(0, 0, client.width() * ratio, shown * ratio));
    }
    // The square between the view's own two scroll bars belongs to neither of them.
    if (paneHost == nullptr) {
        window.fillRect(QRect(client.right() + 1, client.bottom() + 1, width() - client.width(),
                              QWidget::height() - client.height()),
                        palette().color(QPalette::Window));
    }
    if (caretShown && !caretRect.isEmpty()) {
        // Over a selected character the caret takes the selection's text colour, or it would
        // vanish into the selection's background.
        bool overSelection = (focused || selectionShownUnfocused) && caretPosition.y < total &&
                             InSelection(caretPosition);
        window.fillRect(caretRect.intersected(client),
                        RoleColor(overSelection ? SelectionText : NormalText));
    }
    if (!dropCaretRect.isEmpty())
        window.fillRect(dropCaretRect.intersected(client), QColor(128, 128, 128));
}

void CCorvelTextView::PaintLine(QPainter& painter, const QRect& rectangle, int line) {
    if (line == -1) {
        painter.fillRect(rectangle, RoleColor(EmptyArea));
        return;
    }
    std::optional<QColor> backgroundOverride, textOverride;
    bool fillAfterText = false;
    LineHighlight(line, backgroundOverride, textOverride, fillAfterText);
    QColor background = backgroundOverride.value_or(RoleColor(TextBackground));
    marginTextBackground = background;

    int length = LineLength(line);
    QRect remaining = rectangle;
    if (length > 0) {
        LinePen pen;
        pen.background = background;
        PaintCharacters(painter, rectangle, line, pen, textOverride);
        remaining.setLeft(std::max(rectangle.left(), pen.origin.x()));
        if (remaining.isEmpty())
            return;
    }
    // A selected line end shows as one selected cell after the last character.
    int cell = CharWidth();
    if ((focused || selectionShownUnfocused) && InSelection({length, line})) {
        painter.fillRect(QRect(remaining.left(), remaining.top(), cell, remaining.height()),
                         RoleColor(SelectionBackground));
        remaining.setLeft(remaining.left() + cell);
    }
    painter.fillRect(remaining, fillAfterText ? background : RoleColor(EmptyArea));
}

void CCorvelTextView::PaintCharacters(QPainter& painter, const QRect& rectangle, int line,
                                      LinePen& pen, const std::optional<QColor>& textOverride) {
    // Only the characters whose cells reach into the rectangle are coloured, decoded and drawn:
    // a line of a million characters costs what its visible part does.
    int cell = CharWidth();
    int endColumn = horizontalOffset + (rectangle.width() + cell - 1) / cell + 1;
    VisibleBytes visible = VisibleBytesOf(line, horizontalOffset, endColumn);
    pen.origin = QPoint(rectangle.left() + cell * (visible.fromColumn - horizontalOffset),
                        rectangle.top());
    pen.column = visible.fromColumn;
    const char* characters = LineText(line);
    auto paint = [&](int offset, int count, int role, const QColor& colour) {
        pen.text = textOverride.value_or(colour);
        pen.font = FontFor(IsRoleItalic(role), IsRoleBold(role));
        PaintSegment(painter, pen, rectangle, characters, offset, count, {offset, line});
    };
    if (line == 0) {
        // The title line of a netlist is never coloured.
        paint(visible.from, visible.to - visible.from, NormalText, kTitleLineColor);
        return;
    }
    int runCount = ColorVisibleRuns(line, visible);
    // The hook counts bytes: a run starting inside a character starts with that character,
    // which is drawn whole.
    int length = LineLength(line);
    auto runStart = [&](int index) {
        int start = std::clamp(visibleRuns[index].start, visible.from, visible.to);
        return TextCodec::CharacterStart(encoding, characters, length, start);
    };
    if (runCount == 0) {
        paint(visible.from, visible.to - visible.from, NormalText, RoleColor(NormalText));
        return;
    }
    paint(visible.from, runStart(0) - visible.from, NormalText, RoleColor(NormalText));
    for (int index = 0; index < runCount; ++index) {
        int start = runStart(index);
        int end = index + 1 < runCount ? runStart(index + 1) : visible.to;
        int role = visibleRuns[index].role;
        paint(start, end - start, role, RoleColor(role));
    }
}

int CCorvelTextView::ColorVisibleRuns(int line, const VisibleBytes& visible) {
    std::size_t room = 3 * static_cast<std::size_t>(visible.to - visible.from) + 1;
    if (visibleRuns.size() < room)
        visibleRuns.resize(room);
    int runCount = 0;
    LineScanState before = StateForPainting(line - 1);
    bool exact = line - 1 < stateCache.ComputedCount();
    // A line whose end state is known is coloured only as far as its visible part needs.
    bool endKnown = line < stateCache.ComputedCount();
    // A line entirely left of the view has nothing to colour once its end state is known.
    LineScanState state = endKnown && visible.from == visible.to
                              ? 0
                              : ColorizeVisible(before, line, visible.from, visible.to,
                                                visibleRuns.data(), runCount, !endKnown);
    if (!endKnown && exact)
        stateCache.Set(line, state);
    else if (!endKnown)
        NoteGuessedState(line, state);
    return runCount;
}

void CCorvelTextView::PaintSegment(QPainter& painter, LinePen& pen, const QRect& clip,
                                   const char* characters, int offset, int count,
                                   TextPosition start) {
    if (count < 1)
        return;
    if (!focused && !selectionShownUnfocused) {
        PaintText(painter, pen, clip, characters, offset, count);
        return;
    }
    auto boundary = [&](TextPosition bound) {
        if (start.y < bound.y)
            return count;
        if (start.y > bound.y)
            return 0;
        // A selection end is a character boundary, or is taken back to one.
        int x = TextCodec::CharacterStart(encoding, characters, LineLength(start.y), bound.x);
        return std::clamp(x - start.x, 0, count);
    };
    int selectionBegin = boundary(orderedStart);
    int selectionEnd = boundary(orderedEnd);
    PaintText(painter, pen, clip, characters, offset, selectionBegin);
    if (selectionBegin < selectionEnd) {
        LinePen selected = pen;
        selected.background = RoleColor(SelectionBackground);
        selected.text = RoleColor(SelectionText);
        PaintText(painter, selected, clip, characters, offset + selectionBegin,
                  selectionEnd - selectionBegin);
        pen.origin = selected.origin;
        pen.column = selected.column;
    }
    if (selectionEnd < count) {
        PaintText(painter, pen, clip, characters, offset + std::max(selectionBegin, selectionEnd),
                  count - std::max(selectionBegin, selectionEnd));
    }
}

QString CCorvelTextView::ExpandTabs(int column, const char* characters, int offset,
                                    int count) const {
    // A byte that is no character of the encoding is drawn as one U+FFFD cell.
    QString decoded = TextCodec::Decode(encoding, std::string_view(characters + offset, count));
    QString expanded;
    expanded.reserve(decoded.size());
    int emitted = 0;
    for (QChar character : decoded) {
        if (character == QLatin1Char('\t')) {
            int spaces = tabSize - (column + emitted) % tabSize;
            expanded.append(QString(spaces, QLatin1Char(' ')));
            emitted += spaces;
        } else {
            expanded.append(character);
            if (!character.isLowSurrogate())
                ++emitted;  // a pair of surrogates is one character in one cell
        }
    }
    return expanded;
}

CCorvelTextView::VisibleBytes CCorvelTextView::VisibleBytesOf(int line, int firstColumn,
                                                              int endColumn) const {
    const char* text = LineText(line);
    int length = LineLength(line);
    if (text == nullptr)
        return {0, 0, 0};
    // One byte, one cell, until the first tab: every byte past endColumn lies past the view.
    if (encoding != TextEncoding::Utf8 &&
        std::memchr(text, '\t', std::min(length, std::max(endColumn, 0))) == nullptr) {
        int from = std::clamp(firstColumn, 0, length);
        return {from, from, std::clamp(endColumn, from, length)};
    }
    VisibleBytes visible{length, 0, length};
    int column = 0;
    int index = 0;
    if (encoding != TextEncoding::Utf8) {
        // From tab to tab: the bytes between take a cell each.
        while (index < length) {
            const void* tab = std::memchr(text + index, '\t', length - index);
            int stretch = (tab ? static_cast<int>(static_cast<const char*>(tab) - text) : length) -
                          index;
            if (column + stretch > firstColumn) {
                int skipped = std::max(0, firstColumn - column);
                index += skipped;
                column += skipped;
                break;
            }
            index += stretch;
            column += stretch;
            if (index == length)
                break;
            int cells = tabSize - column % tabSize;
            if (column + cells > firstColumn)
                break;
            column += cells;
            ++index;
        }
    }
    // The first character whose cell ends past firstColumn, then the first that starts at or
    // past endColumn.
    while (index < length) {
        int cells = text[index] == '\t' ? tabSize - column % tabSize : 1;
        if (column + cells > firstColumn)
            break;
        column += cells;
        index = TextCodec::NextCharacter(encoding, text, length, index);
    }
    visible.from = index;
    visible.fromColumn = column;
    while (index < length && column < endColumn) {
        column += text[index] == '\t' ? tabSize - column % tabSize : 1;
        index = TextCodec::NextCharacter(encoding, text, length, index);
    }
    visible.to = index;
    return visible;
}

LineScanState CCorvelTextView::ColorizeVisible(LineScanState state, int line, int from, int to,
                                               ColorRun* runs, int& runCount, bool) {
    // The general hook colours the whole line; only the runs that reach into from .. to - 1 are
    // kept, the one in force at from starting there.
    std::size_t room = 3 * static_cast<std::size_t>(LineLength(line));
    if (lineRuns.size() < room)
        lineRuns.resize(room);
    int lineRunCount = 0;
    LineScanState end = ColorizeLine(state, line, lineRuns.data(), lineRunCount);
    // Of runs with one start only the last colours anything, which keeps them within the room
    // however many the hook stored there; a run out of order is dropped.
    runCount = 0;
    int lastStart = 0;
    for (int index = 0; index < lineRunCount; ++index) {
        const ColorRun& run = lineRuns[index];
        if (run.start < lastStart)
            continue;
        lastStart = run.start;
        if (run.start <= from) {
            runs[0] = {from, run.role};
            runCount = 1;
        } else if (run.start < to) {
            if (runCount > 0 && runs[runCount - 1].start == run.start)
                --runCount;
            runs[runCount++] = run;
        }
    }
    // The room of a very long line is not kept from paint to paint.
    if (lineRuns.size() > kKeptRunRoom) {
        lineRuns.clear();
        lineRuns.shrink_to_fit();
    }
    return end;
}

void CCorvelTextView::PaintText(QPainter& painter, LinePen& pen, const QRect& clip,
                                const char* characters, int offset, int count) {
    if (count <= 0)
        return;
    QString expanded = ExpandTabs(pen.column, characters, offset, count);
    // A character beyond the basic plane is two UTF-16 units in one cell: such text is counted
    // and cut in code points.
    bool paired = std::any_of(expanded.begin(), expanded.end(),
                              [](QChar character) { return character.isSurrogate(); });
    QList<uint> codePoints = paired ? expanded.toUcs4() : QList<uint>();
    int cells = paired ? codePoints.size() : expanded.size();
    auto piece = [&](int first, int number) {
        if (!paired)
            return expanded.mid(first, number);
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()) + first,
                                 number);
    };
    int cell = CharWidth();
    QPoint& origin = pen.origin;
    int room = clip.right() + 1 - origin.x();
    if (room > 0) {
        int fit = std::min<int>(room / cell + 1, cells);
        // Skip the cells left of the clip: only what can show is drawn.
        int skip = std::max(0, (clip.left() - origin.x()) / cell);
        if (skip < fit) {
            painter.save();
            // On paper the page's clip stays in force as well.
            painter.setClipRect(clip, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
            for (int first = skip; first < fit; first += kLongestDrawingCall) {
                int pieceCount = std::min(kLongestDrawingCall, fit - first);
                QPoint at(origin.x() + cell * first, origin.y());
                DrawCells(painter, pen, at, piece(first, pieceCount));
            }
            painter.restore();
        }
    }
    origin.rx() += cell * cells;
    pen.column += cells;
}

// Draws the characters in opaque cells of the current background, each exactly CharWidth wide,
// whatever the font's own advances.
void CCorvelTextView::DrawCells(QPainter& painter, const LinePen& pen, QPoint at,
                                const QString& text) {
    int cell = CharWidth();
    int height = LineHeight();
    // One cell per code point: a surrogate pair takes one.
    int cells = static_cast<int>(std::count_if(
        text.begin(), text.end(), [](QChar character) { return !character.isLowSurrogate(); }));
    painter.fillRect(QRect(at.x(), at.y(), cell * cells, height), pen.background);
    painter.setPen(pen.text);
    painter.setFont(pen.font);

    QRawFont raw = QRawFont::fromFont(pen.font);
    QList<quint32> glyphs = raw.isValid() ? raw.glyphIndexesForString(text) : QList<quint32>();
    bool allGlyphs = glyphs.size() == cells &&
                     std::none_of(glyphs.begin(), glyphs.end(), [](quint32 g) { return g == 0; });
    if (allGlyphs) {
        QList<QPointF> positions;
        positions.reserve(cells);
        qreal baseline = at.y() + raw.ascent();
        for (int index = 0; index < cells; ++index)
            positions.append(QPointF(at.x() + cell * index, baseline));
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
        return;
    }
    // Characters the font lacks are drawn one by one, so that the fallback face still keeps
    // to the cells.
    QFontMetrics metrics(pen.font);
    int index = 0;
    for (qsizetype unit = 0; unit < text.size(); ++index) {
        qsizetype units = text.at(unit).isHighSurrogate() && unit + 1 < text.size() ? 2 : 1;
        painter.drawText(QPoint(at.x() + cell * index, at.y() + metrics.ascent()),
                         text.mid(unit, units));
        unit += units;
    }
}

void CCorvelTextView::EnsureMarginIcons() {
    if (marginIcons.isNull())
        marginIcons = MakeMarginIcons();
}

void CCorvelTextView::PaintProblemMark(QPainter& painter, const QRect& rectangle, int level) {
    if (level <= 0)
        return;
    // A strip at the margin's left edge, before the bookmark icons begin: it takes no room from
    // them or from the numbers.
    const QColor color = level >= 2 ? QColor(220, 30, 30) : QColor(240, 160, 0);
    painter.fillRect(QRect(rectangle.left(), rectangle.top() + 1, 3, rectangle.height() - 2),
                     color);
}

void CCorvelTextView::PaintMargin(QPainter& painter, const QRect& rectangle, int line,
                                  int lineNumber) {
    painter.fillRect(rectangle, RoleColor(MarginBackground));
    // On paper the numbers stand flush with the margin's edge, and the icons keep their size on
    // the screen.
    const QPaintDevice* device = painter.device();
    bool onPaper = device != nullptr && device->devType() == QInternal::Printer;
    if (lineNumber > 0) {
        QFont font = FontFor(false, false);
        QFontMetrics metrics(font);
        QString number = QString::number(lineNumber);
        int width = metrics.horizontalAdvance(number);
        int inset = onPaper ? 0 : 4;
        QRect cells(rectangle.right() + 1 - inset - width, rectangle.top(), width,
                    metrics.height());
        // The digits stand in opaque cells of the background the line before was painted with.
        painter.fillRect(cells, marginTextBackground);
        painter.setFont(font);
        painter.setPen(RoleColor(Dimmed));
        painter.drawText(cells.left(), rectangle.top() + metrics.ascent(), number);
    }
    if (line != -1 && !onPaper)
        PaintProblemMark(painter, rectangle, ProblemLevelOfLine(line));
    if (line != -1) {
        int icon = MarginIconIndex(FlagsOfLine(line));
        if (icon >= 0 && icon < 14) {
            EnsureMarginIcons();
            int side = 16;
            int left = 2;
            if (onPaper) {
                side = std::max(1, 16 * device->logicalDpiY() / std::max(1, logicalDpiY()));
                left = 2 * device->logicalDpiX() / std::max(1, logicalDpiX());
            }
            painter.drawPixmap(QRect(rectangle.left() + left,
                                     rectangle.top() + (rectangle.height() - side) / 2, side, side),
                               marginIcons, QRect(icon * 16, 0, 16, 16));
        }
    }
}
