#pragma once

#include <QFrame>
#include <QPointer>
#include <string>
#include <vector>

#include "NetlistAnalysis.h"
#include "TextPosition.h"

class CSampleView;
class QListWidget;

// Ctrl+Space: what can stand where the word before the caret begins, in a list under the caret.
// Up and Down choose, Enter or Tab insert, Escape closes; other keys go on to the view, and what
// is typed narrows the list, or closes it once nothing fits. The choice replaces the word
// through the view's buffer as one undo step. No modal loop runs: the popup lives beside the
// view until it closes.
class CCompletionPopup : public QFrame {
    Q_OBJECT

public:
    // Offers the completions at the view's caret; a single one is inserted at once, and with
    // none the status bar says so.
    static void Offer(CSampleView& view);
    // The popup on screen, or null.
    static CCompletionPopup* Shown();

    QListWidget* List() const { return list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CCompletionPopup(CSampleView& view, TextPosition start, std::string prefix,
                     std::vector<NetlistCompletion> completions);
    // Fills the list with the completions that begin with the word as typed now; false when the
    // caret left the word or none fits.
    bool Narrow();
    void ChooseCurrent();
    void PlaceUnderWord();

    QPointer<CSampleView> view;
    TextPosition start;
    std::string typedPrefix;
    std::vector<NetlistCompletion> completions;
    QListWidget* list = nullptr;
};
