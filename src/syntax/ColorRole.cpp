#include "ColorRole.h"

std::optional<Rgb> FixedRoleColor(std::int32_t role) {
    switch (role) {
        case EmptyArea:
        case TextBackground:
        case NormalText:
            return std::nullopt;
        case MarginBackground:
            return MakeRgb(220, 220, 220);
        case SelectionBackground:
            return MakeRgb(0, 0, 0);
        case SelectionText:
            return MakeRgb(255, 255, 255);
        case Keyword:
            return MakeRgb(0, 0, 255);
        case Comment:
            return MakeRgb(255, 0, 0);
        case Number:
            return MakeRgb(128, 0, 128);
        case 9:
            return MakeRgb(0, 0, 0);
        case String:
            return MakeRgb(0, 0, 0);
        case Dimmed:
            return MakeRgb(164, 164, 164);
        case CommentLine:
            return MakeRgb(0, 128, 0);
        default:
            return MakeRgb(255, 0, 0);
    }
}
