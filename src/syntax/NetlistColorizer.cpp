#include "NetlistColorizer.h"

#include <array>
#include <cstring>
#include <iterator>

namespace {

constexpr const char* kKeywords[] = {
    ".end",  ".op",    ".tran",   "uic",   ".dc",    ".ac",    ".disto", ".noise",   ".pz",
    ".temp", ".tf",    ".sens",   ".ic",   ".model", ".print", ".plot",  ".options", ".option",
    ".opt",  ".width", ".subckt", ".ends", "print",  "plot",   "cross",  "run",
};

constexpr int kShortestKeyword = 3;
constexpr int kLongestKeyword = 8;

struct KeywordEntry {
    const char* word = nullptr;
};

// The keywords grouped by length, each group ended by an empty entry.
constexpr auto kKeywordsByLength = [] {
    std::array<std::array<KeywordEntry, std::size(kKeywords) + 1>, kLongestKeyword + 1> table{};
    std::array<int, kLongestKeyword + 1> used{};
    for (const char* word : kKeywords) {
        int length = 0;
        while (word[length] != '\0')
            ++length;
        table[length][used[length]++].word = word;
    }
    return table;
}();

// Plain ASCII tests: bytes above 0x7F (Cyrillic in comments) are neither letters, digits nor
// white space.
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Letters, digits, '_' and '.': the bytes that always belong to a token.
constexpr auto kPlainTokenByte = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '.';
    }
    return table;
}();

// One line being coloured.
class LineScan {
public:
    LineScan(LineScanState state, const char* text, int length, ColorRun* runs, int& runCount)
        : state_(state), text_(text), length_(length), runs_(runs), runCount_(runCount) {}
    // Only the runs that colour the characters from .. to - 1 are stored.
    void KeepWindow(int from, int to, bool wholeLine) {
        windowed_ = true;
        from_ = from;
        to_ = to;
        // Past a few characters after the window only an open token can still colour it: its
        // run is stored at its start when it closes. "Error" reaches back four characters.
        stopAt_ = wholeLine ? -1 : to + 4;
    }

    LineScanState Run();

private:
    // Runs never go backwards: a run that would start before the last one is dropped.
    void Store(int position, ColorRole role) {
        if (runs_ == nullptr)
            return;
        if (windowed_) {
            StoreInWindow(position, role);
            return;
        }
        if (runCount_ > 0 && runs_[runCount_ - 1].start > position)
            return;
        runs_[runCount_++] = {position, role};
    }

    // The last run starting at or before the window's start is the one in force there: it
    // replaces any before it and starts at the window. Runs from the window's end on colour
    // nothing in it.
    void StoreInWindow(int position, ColorRole role) {
        if (position < lastStart_)
            return;
        lastStart_ = position;
        if (position <= from_) {
            runs_[0] = {from_, role};
            runCount_ = 1;
        } else if (position < to_) {
            runs_[runCount_++] = {position, role};
        }
    }

    ColorRole StateColor() const {
        if (state_ & (ErrorTail | BlockComment))
            return Comment;
        if (state_ & (DoubleQuoted | SingleQuoted))
            return String;
        if (state_ & StarComment)
            return Dimmed;
        return NormalText;
    }

    bool IsTokenCharacter(int position) const {
        char c = text_[position];
        return kPlainTokenByte[static_cast<unsigned char>(c)] ||
               (c == '*' && position + 1 < length_ && text_[position + 1] == '#');
    }

    bool Preceded(int position, char c) const { return position > 0 && text_[position - 1] == c; }

    void CloseToken(int end) {
        const char* token = text_ + tokenStart_;
        int length = end - tokenStart_;
        if (IsNetlistKeyword(token, length)) {
            Store(tokenStart_, Keyword);
        } else if (IsNumericToken(token, length)) {
            Store(tokenStart_, Number);
        }
        tokenStart_ = -1;
    }

    // The rules of one position; false when the scan of the line ends here.
    bool Examine(int position);
    void ExamineNormalText(int position);

    LineScanState state_;
    const char* text_;
    int length_;
    ColorRun* runs_;
    int& runCount_;
    bool firstCharacter_ = false;
    bool pendingRestart_ = true;
    bool oneBack_ = false;
    int tokenStart_ = -1;
    bool windowed_ = false;
    int from_ = 0;
    int to_ = 0;
    int lastStart_ = 0;
    int stopAt_ = -1;
};

LineScanState LineScan::Run() {
    if (length_ == 0)
        return state_ & BlockComment;

    firstCharacter_ = (state_ & ~BlockComment) == 0;
    int position = 0;
    for (;; ++position) {
        if (stopAt_ >= 0 && position >= stopAt_ && (tokenStart_ == -1 || tokenStart_ >= to_))
            return state_;
        if (pendingRestart_) {
            Store(oneBack_ ? position - 1 : position, StateColor());
            pendingRestart_ = oneBack_ = false;
        }
        if (position == length_)
            break;
        // Inside a token in plain text only the token's end and the word "Error" matter.
        char c = text_[position];
        if (tokenStart_ != -1 && state_ == 0 && c != 'r' &&
            kPlainTokenByte[static_cast<unsigned char>(c)]) {
            continue;
        }
        if (!Examine(position))
            break;
    }
    if (tokenStart_ != -1)
        CloseToken(position);

    // A trailing backslash carries every state into the next line.
    if (text_[length_ - 1] == '\\')
        return state_;
    return state_ & BlockComment;
}

bool LineScan::Examine(int position) {
    char c = text_[position];
    if (state_ & ErrorTail) {
        Store(position, Comment);
        return false;
    }
    if (state_ & DoubleQuoted) {
        if (c == '"' && !Preceded(position, '\\')) {
            state_ &= ~DoubleQuoted;
            pendingRestart_ = true;
        }
        return true;
    }
    if (state_ & SingleQuoted) {
        if (c == '\'' && !Preceded(position, '\\')) {
            state_ &= ~SingleQuoted;
            pendingRestart_ = true;
        }
        return true;
    }
    if (state_ & BlockComment) {
        if (c == '/' && Preceded(position, '*')) {
            state_ &= ~BlockComment;
            pendingRestart_ = true;
        }
        return true;
    }
    // The case-sensitive word "Error", even inside a longer word, turns the rest of the line red.
    if (c == 'r' && position >= 4 && std::memcmp(text_ + position - 4, "Erro", 4) == 0) {
        Store(position - 4, Comment);
        state_ |= ErrorTail;
        return false;
    }
    if (state_ & StarComment) {
        if (c == '*' && Preceded(position, '/')) {
            Store(position - 1, Comment);
            state_ |= BlockComment;
        }
        return true;
    }
    ExamineNormalText(position);
    return true;
}

void LineScan::ExamineNormalText(int position) {
    char c = text_[position];
    if (c == '"') {
        Store(position, String);
        state_ |= DoubleQuoted;
        return;
    }
    if (c == '\'') {
        Store(position, String);
        state_ |= SingleQuoted;
        return;
    }
    if (c == '*' && Preceded(position, '/')) {
        Store(position - 1, Comment);
        state_ |= BlockComment;
        return;
    }
    if (firstCharacter_ && c == '*') {
        // Past the end of the line there is no character, and a line never holds a NUL.
        char next = position + 1 < length_ ? text_[position + 1] : '\0';
        if (next == '*') {
            Store(position, Dimmed);
            state_ |= StarComment;
            return;
        }
        if (next != '#') {
            Store(position, CommentLine);
            state_ |= StarComment;
            return;
        }
        // "*#" is a command line, not a comment: the '*' joins the token that follows.
    }
    if (firstCharacter_ && !IsWhiteSpace(c))
        firstCharacter_ = false;

    if (runs_ == nullptr)
        return;
    if (IsTokenCharacter(position)) {
        if (tokenStart_ == -1)
            tokenStart_ = position;
    } else if (tokenStart_ != -1) {
        CloseToken(position);
        pendingRestart_ = true;
        oneBack_ = true;
    }
}

}  // namespace

bool IsNetlistKeyword(const char* token, int length) {
    // Most tokens are element names and values: their length or first character rules them out
    // before any word is compared.
    if (length < kShortestKeyword || length > kLongestKeyword)
        return false;
    char first = AsciiLower(token[0]);
    if (first != '.' && first != 'u' && first != 'p' && first != 'c' && first != 'r')
        return false;
    for (const KeywordEntry& entry : kKeywordsByLength[length]) {
        if (entry.word == nullptr)
            break;
        int index = 0;
        while (index < length && AsciiLower(token[index]) == entry.word[index])
            ++index;
        if (index == length)
            return true;
    }
    return false;
}

bool IsNumericToken(const char* token, int length) {
    if (length <= 0)
        return false;
    if (length >= 3 && token[0] == '0' && token[1] == 'x') {
        for (int index = 2; index < length; ++index) {
            if (!IsHexDigit(token[index]))
                return false;
        }
        return true;
    }
    return IsAsciiDigit(token[0]);
}

LineScanState ClassifyNetlistLine(LineScanState state, const char* text, int length, ColorRun* runs,
                                  int& runCount) {
    return LineScan(state, text, length, runs, runCount).Run();
}

LineScanState ClassifyNetlistLineWindow(LineScanState state, const char* text, int length, int from,
                                        int to, ColorRun* runs, int& runCount, bool wholeLine) {
    LineScan scan(state, text, length, runs, runCount);
    scan.KeepWindow(from, to, wholeLine);
    return scan.Run();
}
