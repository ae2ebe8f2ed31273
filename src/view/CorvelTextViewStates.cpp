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
// A guess is the state 0 this many lines above the first line painted: most states do not
// outlive a line, so the colours are almost always right already.
constexpr int kGuessDistance = 500;
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
    if (line == guessedLine)
        return guessedState;
    if (line - stateCache.ComputedCount() < kGuessDistance)
        return EndStateOfLine(line);
    // While idle time is computing the states already, a paint does not spend its budget again.
    if (!StatesPending() && ComputeStates(line, kPaintColouringBudget))
        return stateCache.Get(line);
    if (line - stateCache.ComputedCount() < kGuessDistance)
        return EndStateOfLine(line);
    int runCount = 0;
    LineScanState state = 0;
    for (int current = line - kGuessDistance; current <= line; ++current)
        state = ColorizeLine(state, current, nullptr, runCount);
    NoteGuessedState(line, state);
    return state;
}

void CCorvelTextView::NoteGuessedState(int line, LineScanState state) {
    guessedLine = line;
    guessedState = state;
    guessedThrough = std::max(guessedThrough, line);
    if (!statesTimer.isActive())
        statesTimer.start(0, this);
}

void CCorvelTextView::ForgetGuessedStates() {
    guessedLine = -1;
}

void CCorvelTextView::StopGuessingStates() {
    guessedLine = guessedThrough = -1;
    statesTimer.stop();
}

void CCorvelTextView::ContinueStatesInIdleTime() {
    if (!stateCache.Exists() || guessedThrough < 0) {
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
