#include "CorvelTextBuffer.h"

void CCorvelTextBuffer::CInsertContext::AdjustPosition(TextPosition& position) const {
    if (position.y < start.y || (position.y == start.y && position.x <= start.x))
        return;
    if (position.y == start.y) {
        position.x = end.x + (position.x - start.x);
        position.y += end.y - start.y;
        return;
    }
    position.y += end.y - start.y;
}

void CCorvelTextBuffer::CDeleteContext::AdjustPosition(TextPosition& position) const {
    if (position.y < start.y)
        return;
    if (position.y > end.y) {
        position.y -= end.y - start.y;
    } else if (position.y == end.y && position.x >= end.x) {
        position.x = start.x + (position.x - end.x);
        position.y = start.y;
    } else if (position.y == start.y) {
        if (position.x > start.x)
            position.x = start.x;
    } else {
        position = start;
    }
}
