// The colouring states of CCorvelTextView's lines: computed in order and kept across edits, and
// for painting far below the known ones, guessed at first and computed in idle time.

#include <QTimerEvent>
#include <algorithm>
#include <chrono>

#include "CorvelTextView.h"

namespace {

// What colouring a line costs beyond its characters, in characters.
constexpr long kColouringCostOfALine = 64;
// A paint colours at most about this many characters to reach the state it needs (a few
// milliseconds); farther down it starts from a guess.
constexpr long kPaintColouringBudget = 1 << 20;
// A guess is the state 0 this many lines above the first line painted, or this many characters
// if fewer lines hold them: most states do not outlive a line, so the colours are almost always
// right already.
constexpr int kGuessDistance = 500;
constexpr long kGuessCharacters = kPaintColouringBudget / 4;
// Idle time computes states in slices this long, so that the window never waits on them.
constexpr std::chrono::milliseconds kIdleSlice(10);

}  // namespace

LineScanState CCorvelTextView::EndStateOfLine(int line) {
    if (line < 0)
        return 0;
    ComputeStates(line, -1);
    return stateCache.Get(line);
}

bool CCorvelTextView::ComputeStates(int line, long budget) {
    if (!stateCache.Exists())
        stateCache.Create(LineTotal());
    line = std::min(line, stateCache.Size() - 1);
    // The states are computed in order from the first one not yet known; a line that ends as it
    // did before an edit makes the lines after it known at once.
    long spent = 0;
    while (stateCache.ComputedCount() <= line) {
        int current = stateCache.ComputedCount();
        int runCount = 0;
        LineScanState before = current == 0 ? 0 : stateCache.Get(current - 1);
        stateCache.Set(current, ColorizeLine(before, current, nullptr, runCount));
        spent += LineLength(current) + kColouringCostOfALine;
        if (budget >= 0 && spent > budget && stateCache.ComputedCount() <= line)
            return false;
    }
    return true;
}

LineScanState CCorvelTextView::StateForPainting(int line) {
    if (line < 0)
        return 0;
    if (!stateCache.Exists())
        stateCache.Create(LineTotal());
    if (line < stateCache.ComputedCount())
        return stateCache.Get(line);
    // Paper is printed once: it waits for the exact states.
    if (IsPrinting())
        return EndStateOfLine(line);
    // The lines painted last from a guess keep the states they were painted with, so that a
    // repaint of one of them (a caret's blink) shows the same colours.
    int guessed = line - guessedFirst;
    if (guessed >= 0 && guessed < static_cast<int>(guessedStates.size()))
        return guessedStates[guessed];
    // While idle time is computing the states already, a paint does not spend its budget again.
    if (!StatesPending() && ComputeStates(line, kPaintColouringBudget))
        return stateCache.Get(line);
    // The guess starts a few lines up, or where the known states end if that is nearer: then
    // the state is exact.
    int first = line;
    long characters = 0;
    while (first > stateCache.ComputedCount() && line - first < kGuessDistance &&
           characters < kGuessCharacters) {
        characters += LineLength(first) + kColouringCostOfALine;
        --first;
    }
    if (first == stateCache.ComputedCount())
        return EndStateOfLine(line);
    int runCount = 0;
    LineScanState state = 0;
    for (int current = first; current <= line; ++current)
        state = ColorizeLine(state, current, nullptr, runCount);
    NoteGuessedState(line, state);
    return state;
}

void CCorvelTextView::NoteGuessedState(int line, LineScanState state) {
    // A paint goes down the lines: each state guessed follows the one before, or starts anew.
    if (line != guessedFirst + static_cast<int>(guessedStates.size()) ||
        guessedStates.size() >= kMostGuessedStates) {
        guessedStates.clear();
        guessedFirst = line;
    }
    guessedStates.push_back(state);
    guessedThrough = std::max(guessedThrough, line);
    if (!statesTimer.isActive())
        statesTimer.start(0, this);
}

void CCorvelTextView::ForgetGuessedStates() {
    guessedStates.clear();
    guessedFirst = -1;
}

void CCorvelTextView::StopGuessingStates() {
    ForgetGuessedStates();
    guessedThrough = -1;
    statesTimer.stop();
}

void CCorvelTextView::ContinueStatesInIdleTime() {
    if (!stateCache.Exists() || guessedThrough < 0) {
        // The states went with the text they were of: what was painted from guesses is painted
        // again.
        if (guessedThrough >= 0)
            update(ClientRect());
        StopGuessingStates();
        return;
    }
    int target = std::min(guessedThrough, stateCache.Size() - 1);
    auto deadline = std::chrono::steady_clock::now() + kIdleSlice;
    while (!ComputeStates(target, kPaintColouringBudget / 4)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return;  // the timer brings the next slice
    }
    // Every line painted from a guess has its exact state now: paint them again.
    StopGuessingStates();
    update(ClientRect());
}
