#include "EditStrings.h"

const char* EditString(int id) {
    switch (id) {
        case kUndoLabel:
        case kUndoLabelDisabled:
            return "Отменить ввод";
        case kRedoLabel:
        case kRedoLabelDisabled:
            return "Повторить ввод";
        default:
            return "";
    }
}
