// Random edits, undo, redo and stores, each checked against a plain model of the text kept as a
// list of lines, and against the text the model had at every history position.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "CorvelTextBuffer.h"
#include "RecordingObserver.h"

using kivra_test::LinesOf;
using kivra_test::ReadBytes;
using kivra_test::RecordingObserver;
using kivra_test::StartWithLines;
using kivra_test::TempFolder;
using kivra_test::TestBuffer;
using kivra_test::WriteBytes;
using Lines = std::vector<std::string>;

namespace {

// The pieces of an inserted text: a CR is a break and swallows one LF directly after it; a lone
// LF is an ordinary character.
Lines SplitAtBreaks(const std::string& text) {
    Lines pieces(1);
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] != '\r') {
            pieces.back() += text[index];
            continue;
        }
        pieces.emplace_back();
        if (index + 1 < text.size() && text[index + 1] == '\n')
            ++index;
    }
    return pieces;
}

TextPosition ModelInsert(Lines& lines, TextPosition at, const std::string& text) {
    Lines pieces = SplitAtBreaks(text);
    std::string tail = lines[at.y].substr(at.x);
    lines[at.y].resize(at.x);
    lines[at.y] += pieces[0];
    lines.insert(lines.begin() + at.y + 1, pieces.begin() + 1, pieces.end());
    int last = at.y + static_cast<int>(pieces.size()) - 1;
    TextPosition end{static_cast<int>(lines[last].size()), last};
    lines[last] += tail;
    return end;
}

void ModelDelete(Lines& lines, TextPosition start, TextPosition end) {
    lines[start.y] = lines[start.y].substr(0, start.x) + lines[end.y].substr(end.x);
    lines.erase(lines.begin() + start.y + 1, lines.begin() + end.y + 1);
}

std::string ModelCopy(const Lines& lines, TextPosition start, TextPosition end,
                      const std::string& lineBreak) {
    if (start.y == end.y)
        return lines[start.y].substr(start.x, end.x - start.x);
    std::string text = lines[start.y].substr(start.x) + lineBreak;
    for (int line = start.y + 1; line < end.y; ++line)
        text += lines[line] + lineBreak;
    return text + lines[end.y].substr(0, end.x);
}

// The place of a position in the text read as one string, each break counting one character.
long Offset(const Lines& lines, TextPosition position) {
    long offset = position.x;
    for (int line = 0; line < position.y; ++line)
        offset += static_cast<long>(lines[line].size()) + 1;
    return offset;
}

bool IsInside(const Lines& lines, TextPosition position) {
    return position.y >= 0 && position.y < static_cast<int>(lines.size()) && position.x >= 0 &&
           position.x <= static_cast<int>(lines[position.y].size());
}

long Size(const Lines& lines) {
    int last = static_cast<int>(lines.size()) - 1;
    return Offset(lines, {static_cast<int>(lines[last].size()), last});
}

std::string Join(const Lines& lines, const std::string& lineBreak) {
    std::string text;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (index > 0)
            text += lineBreak;
        text += lines[index];
    }
    return text;
}

struct Settings {
    unsigned seed;
    int historyLimit;  // 0: the buffer's own
    int steps;
    // The text starts as a file read from disk, partly past a small loaded block.
    bool loaded = false;
};

class EditSession {
public:
    explicit EditSession(const Settings& settings) : settings_(settings), random_(settings.seed) {}

    void Start() {
        Lines initial;
        for (int line = 0, count = Pick(1, settings_.loaded ? 30 : 6); line < count; ++line) {
            std::string text;
            // Some lines loaded from a file are long enough to need a wider length in the block.
            int length = settings_.loaded && Pick(0, 4) == 0 ? Pick(250, 300) : Pick(0, 12);
            for (int index = length; index > 0; --index)
                text += static_cast<char>(Pick('a', 'z'));
            initial.push_back(text);
        }
        if (settings_.loaded) {
            std::string path = folder_.File("loaded.cir");
            WriteBytes(path, Join(initial, "\r\n"));
            buffer_.LimitLoadedBlock(static_cast<std::size_t>(Pick(0, 600)));
            ASSERT_TRUE(buffer_.LoadFile(path.c_str(), LineEndingStyle::Win));
        } else {
            StartWithLines(buffer_, initial);
        }
        if (settings_.historyLimit > 0)
            buffer_.SetHistoryLimit(settings_.historyLimit);
        buffer_.AttachView(&view_);
        model_ = savedText_ = startingText_ = initial;
        states_ = {initial};
        modelSaved_ = 0;
        CheckAll();
    }

    void Step() {
        int roll = Pick(0, 99);
        if (!groupOpen_ && roll < 8 && buffer_.CanStepBack())
            return Undo();
        if (!groupOpen_ && roll < 14 && buffer_.CanStepForward())
            return Redo();
        if (!groupOpen_ && roll < 15)
            return Store();
        if (!groupOpen_ && roll < 25) {
            action_ = "open group";
            groupOpen_ = true;
            groupRemaining_ = Pick(1, 8);
            buffer_.OpenUndoGroup(Pick(0, 1) == 1);
            return;
        }
        bool shrink = Size(model_) > 600 || model_.size() > 60;
        if (Pick(0, 99) < (shrink ? 20 : 55)) {
            Insert();
        } else {
            Delete();
        }
        if (groupOpen_ && --groupRemaining_ == 0)
            CloseGroup();
        if (!::testing::Test::HasFatalFailure())
            CheckAll();
    }

    void CloseGroup() {
        action_ = "close group";
        CTextBufferObserver* source = Pick(0, 1) ? &view_ : nullptr;
        std::size_t calls = view_.afterEditCalls.size();
        buffer_.CloseUndoGroup(source);
        groupOpen_ = false;
        int position = buffer_.HistoryPosition();
        bool hooked = source != nullptr && position > 0;
        ASSERT_EQ(view_.afterEditCalls.size(), calls + (hooked ? 1 : 0));
        if (hooked) {
            EXPECT_EQ(view_.afterEditCalls.back().text, buffer_.HistoryRecord(position - 1).Text());
            EXPECT_EQ(view_.afterEditCalls.back().action,
                      buffer_.HistoryRecord(position - 1).action);
        }
    }

    // Undoes every group left, then redoes them all.
    void UnwindAndReplay() {
        if (groupOpen_)
            CloseGroup();
        const Lines tip = states_.back();
        while (buffer_.CanStepBack() && !::testing::Test::HasFatalFailure())
            Undo();
        ASSERT_EQ(buffer_.HistoryPosition(), 0);
        EXPECT_EQ(model_, states_.front());
        if (settings_.historyLimit == 0) {
            EXPECT_EQ(model_, startingText_);
        }
        while (buffer_.CanStepForward() && !::testing::Test::HasFatalFailure())
            Redo();
        EXPECT_EQ(LinesOf(buffer_), tip);
    }

    const std::string& LastAction() const { return action_; }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    TextPosition AnyPosition() {
        int y = Pick(0, static_cast<int>(model_.size()) - 1);
        return {Pick(0, static_cast<int>(model_[y].size())), y};
    }

    std::string AnyText() {
        static const char* const kUnits[] = {"a",  "b",  "c",  "x",    " ",
                                             "\t", "\r", "\n", "\r\n", "\r\n"};
        int units = Pick(0, 9) == 0 ? Pick(10, 40) : Pick(0, 6);
        std::string text;
        for (int index = 0; index < units; ++index)
            text += kUnits[Pick(0, 9)];
        return text;
    }

    void TrackSomePositions() {
        view_.tracked.clear();
        for (int index = 0; index < 3; ++index)
            view_.tracked.push_back(AnyPosition());
        trackedOffsets_.clear();
        for (TextPosition position : view_.tracked)
            trackedOffsets_.push_back(Offset(model_, position));
        view_.notifications.clear();
    }

    // Each tracked position must still stand before the same character (or at the edited place).
    void CheckTrackedPositions(long editOffset, long removed, long inserted) {
        for (std::size_t index = 0; index < view_.tracked.size(); ++index) {
            long before = trackedOffsets_[index];
            long expected = before;
            if (removed > 0 && before >= editOffset) {
                expected = before >= editOffset + removed ? before - removed : editOffset;
            }
            if (inserted > 0 && before > editOffset)
                expected = before + inserted;
            ASSERT_TRUE(IsInside(model_, view_.tracked[index]));
            EXPECT_EQ(Offset(model_, view_.tracked[index]), expected)
                << "tracked position " << index;
        }
    }

    void Insert() {
        TextPosition at = AnyPosition();
        std::string text = AnyText();
        CTextBufferObserver* source = Pick(0, 1) ? &view_ : nullptr;
        EditAction action = static_cast<EditAction>(Pick(0, 10));
        action_ = "insert " + std::to_string(text.size()) + " bytes at (" + std::to_string(at.x) +
                  ", " + std::to_string(at.y) + ")";
        TrackSomePositions();
        long editOffset = Offset(model_, at);
        long sizeBefore = Size(model_);
        int position = buffer_.HistoryPosition();
        std::size_t calls = view_.afterEditCalls.size();

        TextPosition end;
        ASSERT_TRUE(buffer_.InsertAt(source, at.y, at.x, text.c_str(), end.y, end.x, action));
        EXPECT_EQ(end, ModelInsert(model_, at, text));
        bool addsLines = text.find('\r') != std::string::npos;
        ASSERT_EQ(view_.notifications.size(), 1u);
        EXPECT_EQ(view_.notifications[0].source, source);
        EXPECT_EQ(view_.notifications[0].hint, addsLines ? 0x0003u : 0x0101u);
        EXPECT_EQ(view_.notifications[0].line, at.y);
        CheckTrackedPositions(editOffset, 0, Size(model_) - sizeBefore);
        RecordedEdit(position, true, at, end, text, action);
        CheckHook(source, calls, action, text);
    }

    void Delete() {
        TextPosition start = AnyPosition();
        TextPosition end = start;
        if (Pick(0, 9) < 6) {
            end.x = Pick(start.x, static_cast<int>(model_[start.y].size()));
        } else {
            end.y = Pick(start.y, std::min(start.y + 3, static_cast<int>(model_.size()) - 1));
            end.x = Pick(end.y == start.y ? start.x : 0, static_cast<int>(model_[end.y].size()));
        }
        CTextBufferObserver* source = Pick(0, 1) ? &view_ : nullptr;
        EditAction action = static_cast<EditAction>(Pick(0, 10));
        action_ = "delete (" + std::to_string(start.x) + ", " + std::to_string(start.y) + ") to (" +
                  std::to_string(end.x) + ", " + std::to_string(end.y) + ")";
        std::string copied;
        buffer_.CopyRange(start.y, start.x, end.y, end.x, copied, "\n");
        ASSERT_EQ(copied, ModelCopy(model_, start, end, "\n"));
        const std::string removed = ModelCopy(model_, start, end, "\r\n");
        TrackSomePositions();
        long editOffset = Offset(model_, start);
        long removedLength = Offset(model_, end) - editOffset;
        int position = buffer_.HistoryPosition();
        std::size_t calls = view_.afterEditCalls.size();

        ASSERT_TRUE(buffer_.DeleteRange(source, start.y, start.x, end.y, end.x, action));
        ModelDelete(model_, start, end);
        ASSERT_EQ(view_.notifications.size(), 1u);
        EXPECT_EQ(view_.notifications[0].source, source);
        EXPECT_EQ(view_.notifications[0].hint, start.y == end.y ? 0x0101u : 0x0003u);
        EXPECT_EQ(view_.notifications[0].line, start.y);
        CheckTrackedPositions(editOffset, removedLength, 0);
        RecordedEdit(position, false, start, end, removed, action);
        CheckHook(source, calls, action, removed);
    }

    // Follows the history after an edit recorded at the given position: the redo part goes,
    // and the oldest records may go when the history is full.
    void RecordedEdit(int position, bool insertion, TextPosition start, TextPosition end,
                      const std::string& text, EditAction action) {
        states_.resize(position + 1);
        if (modelSaved_ > position)
            modelSaved_ = -1;
        states_.push_back(model_);
        int discarded = position + 1 - buffer_.HistorySize();
        ASSERT_GE(discarded, 0);
        states_.erase(states_.begin(), states_.begin() + discarded);
        if (modelSaved_ != -1) {
            modelSaved_ -= discarded;
            if (modelSaved_ < 0)
                modelSaved_ = -1;
        }
        ASSERT_EQ(buffer_.HistoryPosition(), buffer_.HistorySize());
        const auto& record = buffer_.HistoryRecord(buffer_.HistorySize() - 1);
        EXPECT_EQ(record.IsInsertion(), insertion);
        EXPECT_EQ(record.start, start);
        EXPECT_EQ(record.end, end);
        EXPECT_EQ(record.Text(), text);
        EXPECT_EQ(record.action, action);
        EXPECT_TRUE(buffer_.IsModified());
    }

    void CheckHook(CTextBufferObserver* source, std::size_t calls, EditAction action,
                   const std::string& text) {
        bool hooked = source != nullptr && !groupOpen_;
        ASSERT_EQ(view_.afterEditCalls.size(), calls + (hooked ? 1 : 0));
        if (hooked) {
            EXPECT_EQ(view_.afterEditCalls.back(), (kivra_test::AfterEditCall{action, text}));
        }
    }

    void Undo() {
        action_ = "undo";
        TrackSomePositions();
        int from = buffer_.HistoryPosition();
        TextPosition position{-1, -1};
        ASSERT_TRUE(buffer_.StepBack(position));
        int to = buffer_.HistoryPosition();
        ASSERT_LT(to, from);
        EXPECT_TRUE(buffer_.HistoryRecord(to).StartsGroup());
        for (int index = to + 1; index < from; ++index) {
            EXPECT_FALSE(buffer_.HistoryRecord(index).StartsGroup()) << "undo passed a group start";
        }
        AfterStep(to, position);
    }

    void Redo() {
        action_ = "redo";
        TrackSomePositions();
        int from = buffer_.HistoryPosition();
        TextPosition position{-1, -1};
        ASSERT_TRUE(buffer_.StepForward(position));
        int to = buffer_.HistoryPosition();
        ASSERT_GT(to, from);
        EXPECT_TRUE(to == buffer_.HistorySize() || buffer_.HistoryRecord(to).StartsGroup());
        for (int index = from + 1; index < to; ++index) {
            EXPECT_FALSE(buffer_.HistoryRecord(index).StartsGroup()) << "redo passed a group start";
        }
        AfterStep(to, position);
    }

    void AfterStep(int to, TextPosition position) {
        model_ = states_[to];
        EXPECT_TRUE(IsInside(model_, position)) << "caret position of the step";
        for (TextPosition tracked : view_.tracked)
            EXPECT_TRUE(IsInside(model_, tracked));
        EXPECT_EQ(buffer_.IsModified(), to != buffer_.SavedPosition());
        CheckAll();
    }

    void Store() {
        action_ = "store";
        std::string path = folder_.File("random.cir");
        ASSERT_TRUE(buffer_.StoreFile(path.c_str(), LineEndingStyle::Win, true));
        EXPECT_EQ(ReadBytes(path), Join(model_, "\r\n"));
        EXPECT_FALSE(buffer_.IsModified());
        savedText_ = model_;
        modelSaved_ = buffer_.HistoryPosition();
        CheckAll();
    }

    void CheckAll() {
        ASSERT_EQ(LinesOf(buffer_), model_);
        for (int line = 0; line < buffer_.LineTotal(); ++line) {
            const auto& info = buffer_.LineInfo(line);
            ASSERT_GE(info.capacity, info.length) << "line " << line;
            // Only a line never edited since it was read has a reserve of its own length.
            if (!settings_.loaded) {
                ASSERT_EQ(info.capacity % 16, 0) << "line " << line;
            }
        }
        ASSERT_EQ(static_cast<int>(states_.size()), buffer_.HistorySize() + 1);
        ASSERT_EQ(states_[buffer_.HistoryPosition()], model_);
        int limit = buffer_.HistoryLimit();
        EXPECT_LE(buffer_.HistorySize(), limit);
        if (buffer_.HistorySize() > 0) {
            EXPECT_TRUE(buffer_.HistoryRecord(0).StartsGroup());
        }
        EXPECT_EQ(buffer_.SavedPosition(), modelSaved_);
        if (modelSaved_ != -1) {
            EXPECT_EQ(states_[modelSaved_], savedText_);
        }
        if (!buffer_.IsModified()) {
            EXPECT_EQ(model_, savedText_) << "unmodified, yet not the saved text";
        }
    }

    Settings settings_;
    std::mt19937 random_;
    TestBuffer buffer_;
    RecordingObserver view_;
    TempFolder folder_;

    Lines model_;
    Lines startingText_;
    Lines savedText_;
    std::vector<Lines> states_;  // the text at each history position
    int modelSaved_ = 0;
    bool groupOpen_ = false;
    int groupRemaining_ = 0;
    std::vector<long> trackedOffsets_;
    std::string action_;
};

class RandomEdits : public ::testing::TestWithParam<Settings> {};

TEST_P(RandomEdits, BufferFollowsAPlainModelThroughEditsUndoRedoAndStores) {
    const Settings settings = GetParam();
    EditSession run(settings);
    ASSERT_NO_FATAL_FAILURE(run.Start());
    for (int step = 0; step < settings.steps; ++step) {
        run.Step();
        if (HasFailure()) {
            FAIL() << "seed " << settings.seed << ", step " << step << ": " << run.LastAction();
        }
    }
    run.UnwindAndReplay();
    if (HasFailure())
        FAIL() << "seed " << settings.seed << ", while undoing and redoing everything";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEdits,
                         ::testing::Values(Settings{1, 0, 5000}, Settings{2, 0, 5000},
                                           Settings{3, 0, 5000}, Settings{4, 0, 5000},
                                           Settings{11, 40, 5000}, Settings{12, 40, 5000},
                                           Settings{21, 6, 5000}, Settings{22, 6, 5000},
                                           Settings{31, 0, 5000, true},
                                           Settings{32, 40, 5000, true}),
                         [](const ::testing::TestParamInfo<Settings>& info) {
                             std::string name = "Seed" + std::to_string(info.param.seed);
                             if (info.param.historyLimit > 0)
                                 name += "Limit" + std::to_string(info.param.historyLimit);
                             if (info.param.loaded)
                                 name += "Loaded";
                             return name;
                         });

}  // namespace
