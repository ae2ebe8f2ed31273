#include "EditStrings.h"

const char* EditString(int id) {
    switch (id) {
        case kUndoLabel:
        case kUndoLabelDisabled:
            return "Отменить ввод";
        case kRedoLabel:
        case kRedoLabelDisabled:
            return "Повторить ввод";
        case kCharactersNotInserted:
            return "Символы, которых нет в кодировке Windows-1251, не вставлены: %1";
        case kCharacterNotTyped:
            return "Символа «%1» нет в кодировке Windows-1251";
        case kCharactersNotTyped:
            return "Символов «%1» нет в кодировке Windows-1251";
        default:
            return "";
    }
}
