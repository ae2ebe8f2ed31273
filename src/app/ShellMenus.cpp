#include "ShellMenus.h"

#include "CommandIds.h"

namespace {

MenuItem Item(const char* text, int id) {
    return {MenuItem::Command, text, id, {}};
}

MenuItem Separator() {
    return {MenuItem::Separator, "", 0, {}};
}

MenuItem Popup(const char* text, std::vector<MenuItem> items) {
    return {MenuItem::Popup, text, 0, std::move(items)};
}

MenuItem RecentFiles() {
    return {MenuItem::RecentFiles, "", ID_FILE_MRU_FIRST, {}};
}

MenuItem WindowList() {
    return {MenuItem::WindowList, "", 0, {}};
}

std::vector<MenuItem> BookmarkItems(int firstId) {
    static const char* const names[] = {"Bookmark 0", "Bookmark 1", "Bookmark 2", "Bookmark 3",
                                        "Bookmark 4", "Bookmark 5", "Bookmark 6", "Bookmark 7",
                                        "Bookmark 8", "Bookmark 9"};
    std::vector<MenuItem> items;
    for (int n = 0; n < 10; ++n)
        items.push_back(Item(names[n], firstId + n));
    return items;
}

}  // namespace

std::vector<MenuItem> MainFrameMenu() {
    return {
        Popup("&Файл",
              {Item("&Новый\tCtrl+N", ID_FILE_NEW), Item("&Открыть...\tCtrl+O", ID_FILE_OPEN),
               Separator(), Item("&Параметры принтера...", ID_FILE_PRINT_SETUP), Separator(),
               RecentFiles(), Separator(), Item("&Выход", ID_APP_EXIT)}),
        Popup("&Вид", {Item("&Панель значков", ID_VIEW_TOOLBAR),
                       Item("&Информационная панель", ID_VIEW_STATUS_BAR),
                       Item("&Структура", ID_VIEW_STRUCTURE)}),
        Popup("&Справка", {Item("&О программе...", ID_APP_ABOUT)}),
    };
}

std::vector<MenuItem> DocumentMenu() {
    std::vector<MenuItem> setBookmarks = {Item("Убрать все закладки", ID_CLEAR_NUMBERED_BOOKMARKS),
                                          Separator()};
    for (MenuItem& item : BookmarkItems(ToggleNumberedBookmarkId(0)))
        setBookmarks.push_back(std::move(item));
    return {
        Popup("&Файл",
              {Item("&Новый\tCtrl+N", ID_FILE_NEW), Item("&Открыть...\tCtrl+O", ID_FILE_OPEN),
               Item("&Закрыть", ID_FILE_CLOSE), Item("&Сохранить\tCtrl+S", ID_FILE_SAVE),
               Item("Сохранить &как...", ID_FILE_SAVE_AS), Separator(),
               Item("&Печать...\tCtrl+P", ID_FILE_PRINT),
               Item("Предварительный просмотр", ID_FILE_PRINT_PREVIEW),
               Item("Параметры страницы...", ID_FILE_PAGE_SETUP),
               Item("Параметры принтера...", ID_FILE_PRINT_SETUP), Separator(), RecentFiles(),
               Separator(), Item("&Выход", ID_APP_EXIT)}),
        Popup(
            "&Правка",
            {Item("&Отменить ввод\tCtrl+Z", ID_EDIT_UNDO),
             Item("&Повторить ввод\tCtrl+Y", ID_EDIT_REDO), Separator(),
             Item("&Вырезать\tCtrl+X", ID_EDIT_CUT), Item("&Копировать\tCtrl+C", ID_EDIT_COPY),
             Item("В&ставить\tCtrl+V", ID_EDIT_PASTE), Item("&Удалить\tDel", ID_EDIT_DELETE),
             Item("В&ыделить все\tCtrl+A", ID_EDIT_SELECT_ALL), Separator(),
             Item("&Найти...\tCtrl+F", ID_EDIT_FIND), Item("П&овторить поиск\tF3", ID_EDIT_REPEAT),
             Item("&Заменить...\tCtrl+H", ID_EDIT_REPLACE), Separator(),
             Popup("Закладки", std::move(setBookmarks)),
             Popup("Перейти к закладке", BookmarkItems(GoNumberedBookmarkId(0)))}),
        Popup("&Вид", {Item("&Панель значков", ID_VIEW_TOOLBAR),
                       Item("&Информационная строка", ID_VIEW_STATUS_BAR), Separator(),
                       Item("Шрифт...", ID_VIEW_FONT),
                       Item("Открыть в кодировке UTF-8", ID_VIEW_OTHER_ENCODING), Separator(),
                       Item("&Структура", ID_VIEW_STRUCTURE), Item("Про&блемы", ID_VIEW_PROBLEMS)}),
        Popup("&Анализ", {Item("&Старт расчета\tF9", ID_ANALYSIS_START),
                          Item("Сле&дующая ошибка\tF4", ID_ANALYSIS_NEXT_ERROR),
                          Item("П&редыдущая ошибка\tShift+F4", ID_ANALYSIS_PREVIOUS_ERROR)}),
        Popup("&Окно", {Item("&Новое", ID_WINDOW_NEW), Item("&Каскад", ID_WINDOW_CASCADE),
                        Item("&Рядом", ID_WINDOW_TILE_HORZ),
                        Item("&Распределить значки", ID_WINDOW_ARRANGE), WindowList()}),
        Popup("&Справка", {Item("Справка...", ID_HELP_CONTENTS), Separator(),
                           Item("Руководство пользователя ...", ID_HELP_USER_GUIDE),
                           Item("Сайт программы...", ID_HELP_WEBSITE), Separator(),
                           Item("&О программе...", ID_APP_ABOUT)}),
    };
}
