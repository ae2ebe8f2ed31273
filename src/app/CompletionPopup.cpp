#include "CompletionPopup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "NetlistInsight.h"
#include "SampleDoc.h"
#include "SampleView.h"
#include "TextEncoding.h"
#include "TextPlaces.h"

namespace {

QPointer<CCompletionPopup>& ShownPopup() {
    static QPointer<CCompletionPopup> popup;
    return popup;
}

bool IsWordByte(char byte) {
    const auto code = static_cast<unsigned char>(byte);
    return code >= 0x80 || std::isalnum(code) || byte == '_' || byte == '.';
}

// Where the word that ends at the caret begins.
TextPosition WordStartAt(const CCorvelTextView& view, TextPosition caret) {
    const char* text = view.LineText(caret.y);
    int start = caret.x;
    while (start > 0 && IsWordByte(text[start - 1]))
        --start;
    return {start, caret.y};
}

std::string Lower(std::string text) {
    for (char& byte : text)
        byte = static_cast<char>(std::tolower(static_cast<unsigned char>(byte)));
    return text;
}

// Replaces the word from start to the caret by the text: the deletion and the insertion make
// one undo step.
void Replace(CSampleView& view, TextPosition start, const std::string& text) {
    CCorvelTextBuffer* buffer = view.Buffer();
    if (buffer == nullptr || !view.IsEditable())
        return;
    const TextPosition caret = view.CaretPosition();
    buffer->OpenUndoGroup(false);
    if (start.x < caret.x)
        buffer->DeleteRange(&view, start.y, start.x, caret.y, caret.x, EditAction::Typing);
    int endLine = start.y, endCharacter = start.x;
    buffer->InsertAt(&view, start.y, start.x, text.c_str(), endLine, endCharacter,
                     EditAction::Typing);
    const TextPosition end{endCharacter, endLine};
    view.SetAnchorPoint(end);
    view.SelectRange(end, end);
    view.PlaceCursor(end);
    view.BringIntoView(end);
    buffer->CloseUndoGroup(&view);
}

}  // namespace

void CCompletionPopup::Offer(CSampleView& view) {
    CSampleDoc* document = view.GetSampleDocument();
    if (document == nullptr || !view.IsEditable())
        return;
    if (CCompletionPopup* open = Shown())
        open->close();
    view.NormalizeSelection();
    const TextPosition caret = view.CaretPosition();
    const TextPosition start = WordStartAt(view, caret);
    const std::string prefix(view.LineText(caret.y) + start.x, caret.x - start.x);
    CNetlistInsight* insight = CNetlistInsight::Of(*document);
    std::shared_ptr<const NetlistAnalysis> analysis = insight->Current();
    std::vector<NetlistCompletion> found;
    if (analysis != nullptr)
        found = analysis->CompletionsAt({insight->AnalysedPath(), caret.y, start.x}, prefix);
    if (found.empty()) {
        ShowStatusText(QStringLiteral("Нет вариантов для дополнения"));
        return;
    }
    if (found.size() == 1) {
        Replace(view, start, found.front().text);
        return;
    }
    auto* popup = new CCompletionPopup(view, start, prefix, std::move(found));
    ShownPopup() = popup;
    popup->Narrow();
    popup->PlaceUnderWord();
    popup->show();
    popup->list->setFocus();
}

CCompletionPopup* CCompletionPopup::Shown() {
    return ShownPopup();
}

CCompletionPopup::CCompletionPopup(CSampleView& view, TextPosition start, std::string prefix,
                                   std::vector<NetlistCompletion> completions)
    : QFrame(&view, Qt::Popup),
      view(&view),
      start(start),
      typedPrefix(std::move(prefix)),
      completions(std::move(completions)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    list = new QListWidget(this);
    list->setFont(view.FontFor(false, false));
    // As high as its rows: the layout would keep a scroll area's usual least height.
    list->setMinimumSize(1, 1);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->installEventFilter(this);
    connect(list, &QListWidget::itemActivated, this, [this] { ChooseCurrent(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
}

bool CCompletionPopup::Narrow() {
    if (view == nullptr)
        return false;
    const TextPosition caret = view->CaretPosition();
    if (caret.y != start.y || caret.x < start.x + static_cast<int>(typedPrefix.size()) ||
        !(WordStartAt(*view, caret) == start))
        return false;
    const std::string word =
        Lower(std::string(view->LineText(caret.y) + start.x, caret.x - start.x));
    list->clear();
    for (const NetlistCompletion& completion : completions) {
        if (Lower(completion.text).rfind(word, 0) != 0)
            continue;
        QString shown = TextCodec::Decode(view->Encoding(), completion.text);
        if (!completion.hint.empty())
            shown += QStringLiteral("    ") + QString::fromStdString(completion.hint);
        auto* item = new QListWidgetItem(shown, list);
        item->setData(Qt::UserRole, QByteArray::fromStdString(completion.text));
    }
    list->setCurrentRow(0);
    return list->count() > 0;
}

void CCompletionPopup::PlaceUnderWord() {
    const int rows = std::min(list->count(), 8);
    const int rowHeight = std::max(list->sizeHintForRow(0), 1);
    const int width = std::clamp(list->sizeHintForColumn(0) + 24, 160, 640);
    resize(width, rows * rowHeight + 2 * list->frameWidth() + 2 * frameWidth());
    QPoint below = view->mapToGlobal(view->TextToPoint(start) + QPoint(0, view->LineHeight()));
    // Above the word when there is no room below it.
    if (QScreen* screen = view->screen()) {
        const QRect room = screen->availableGeometry();
        if (below.y() + height() > room.bottom())
            below.ry() -= view->LineHeight() + height();
        below.setX(std::clamp(below.x(), room.left(), std::max(room.left(), room.right() - width)));
    }
    move(below);
}

void CCompletionPopup::ChooseCurrent() {
    QListWidgetItem* item = list->currentItem();
    if (view != nullptr && item != nullptr)
        Replace(*view, start, item->data(Qt::UserRole).toByteArray().toStdString());
    close();
}

bool CCompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return false;  // the list's own moves
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            ChooseCurrent();
            return true;
        case Qt::Key_Escape:
            close();
            return true;
        default:
            break;
    }
    // The key is the view's: typed, deleted or moved there, then the list follows the word.
    if (view == nullptr) {
        close();
        return true;
    }
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                   static_cast<ushort>(key->count()));
    QApplication::sendEvent(view, &copy);
    if (!Narrow())
        close();
    return true;
}
