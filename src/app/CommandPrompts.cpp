#include "CommandPrompts.h"

#include <unordered_map>

#include "CommandIds.h"

QString CommandString(int id) {
    static const std::unordered_map<int, const char*> strings = {
        {ID_FILE_NEW, "Создать новый документ\nНовый"},
        {ID_FILE_OPEN, "Открыть существующий документ\nОткрыть"},
        {ID_FILE_CLOSE, "Закрыть активный документ\nЗакрыть"},
        {ID_FILE_SAVE, "Сохранить активный документ\nСохранить"},
        {ID_FILE_SAVE_AS, "Сохранить активный документ под новым именем\nСохранить как"},
        {ID_FILE_PAGE_SETUP, "Изменить поля страницы\nПараметры страницы"},
        {ID_FILE_PRINT_SETUP, "Выбрать принтер и его параметры\nПараметры принтера"},
        {ID_FILE_PRINT, "Напечатать активный документ\nПечать"},
        {ID_FILE_PRINT_PREVIEW, "Показать страницы так, как они будут напечатаны\nПросмотр"},
        {ID_FILE_MRU_FIRST, "Открыть этот документ"},
        {ID_FILE_MRU_FIRST + 1, "Открыть этот документ"},
        {ID_FILE_MRU_FIRST + 2, "Открыть этот документ"},
        {ID_FILE_MRU_FIRST + 3, "Открыть этот документ"},
        {ID_APP_EXIT, "Закрыть программу, предложив сохранить документы\nВыход"},
        {ID_APP_ABOUT, "Сведения о программе, ее версии и авторских правах\nО программе"},
        {ID_EDIT_UNDO, "Отменить последнее действие\nОтменить"},
        {ID_EDIT_REDO, "Повторить отмененное действие\nПовторить"},
        {ID_EDIT_CUT, "Вырезать выделенный текст в буфер обмена\nВырезать"},
        {ID_EDIT_COPY, "Копировать выделенный текст в буфер обмена\nКопировать"},
        {ID_EDIT_PASTE, "Вставить текст из буфера обмена\nВставить"},
        {ID_EDIT_DELETE, "Удалить выделенный текст\nУдалить"},
        {ID_EDIT_SELECT_ALL, "Выделить весь текст\nВыделить все"},
        {ID_EDIT_FIND, "Найти текст\nНайти"},
        {ID_EDIT_REPEAT, "Найти следующее вхождение текста\nПовторить поиск"},
        {ID_EDIT_REPLACE, "Заменить один текст другим\nЗаменить"},
        {ID_CLEAR_NUMBERED_BOOKMARKS, "Убрать все нумерованные закладки\nУбрать закладки"},
        {ID_VIEW_TOOLBAR, "Показать или скрыть панель значков\nПанель значков"},
        {ID_VIEW_STATUS_BAR, "Показать или скрыть информационную строку\nИнформационная строка"},
        {ID_VIEW_STRUCTURE,
         "Показать или скрыть структуру схемы: подсхемы, модели, параметры, анализы\nСтруктура"},
        {ID_VIEW_PROBLEMS, "Показать ошибки и предупреждения проверки схемы\nПроблемы"},
        {ID_GO_TO_DEFINITION,
         "Перейти к определению подсхемы, модели, параметра или к включаемому файлу\n"
         "Перейти к определению"},
        {ID_GO_BACK, "Вернуться туда, откуда был переход к определению\nНазад"},
        {ID_FIND_USAGES, "Показать все строки, где используется имя под курсором\nИспользования"},
        {ID_COMPLETE_WORD, "Дополнить слово: команды, подсхемы, модели и параметры\nДополнить"},
        {ID_VIEW_FONT, "Выбрать шрифт документа\nШрифт"},
        {ID_VIEW_OTHER_ENCODING,
         "Показать текст документа в другой кодировке, не меняя его байтов\nКодировка"},
        {ID_ANALYSIS_START, "Старт анализа цепи\nСтарт"},
        {ID_ANALYSIS_NEXT_ERROR, "Перейти к строке следующей ошибки расчета\nСледующая ошибка"},
        {ID_ANALYSIS_PREVIOUS_ERROR,
         "Перейти к строке предыдущей ошибки расчета\nПредыдущая ошибка"},
        {ID_WINDOW_NEW, "Открыть еще одно окно активного документа\nНовое окно"},
        {ID_WINDOW_CASCADE, "Расположить окна каскадом\nКаскад"},
        {ID_WINDOW_TILE_HORZ, "Расположить окна рядом\nРядом"},
        {ID_WINDOW_ARRANGE, "Выстроить значки свернутых окон\nРаспределить значки"},
        {ID_NEXT_PANE, "Перейти в следующую часть окна\nСледующая часть"},
        {ID_PREV_PANE, "Перейти в предыдущую часть окна\nПредыдущая часть"},
        {ID_HELP_CONTENTS, "Справка"},
        {ID_HELP_USER_GUIDE, "Открыть руководство пользователя\nРуководство"},
        {ID_HELP_WEBSITE, "Открыть сайт программы\nСайт"},
    };
    if (id >= ToggleNumberedBookmarkId(0) && id <= ToggleNumberedBookmarkId(9))
        return QStringLiteral("Поставить или убрать закладку %1")
            .arg(id - ToggleNumberedBookmarkId(0));
    if (id >= GoNumberedBookmarkId(0) && id <= GoNumberedBookmarkId(9))
        return QStringLiteral("Перейти к закладке %1").arg(id - GoNumberedBookmarkId(0));
    auto found = strings.find(id);
    return found == strings.end() ? QString() : QString::fromUtf8(found->second);
}

QString StatusPrompt(int id) {
    return CommandString(id).section(QLatin1Char('\n'), 0, 0);
}

QString ToolTipText(int id) {
    QString text = CommandString(id);
    return text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 1, 1) : QString();
}
