#include "TextSnapshot.h"

#include <algorithm>
#include <cstring>

#include "CorvelTextBuffer.h"

namespace {

// Big enough that writing the pieces costs nothing extra, small enough that a chunk is never
// moved as a whole when it grows.
constexpr std::size_t kChunkBytes = 4 << 20;
// The most of one line copied between two looks at the clock.
constexpr int kPieceBytes = 1 << 20;

}  // namespace

CTextSnapshot::CTextSnapshot(const CCorvelTextBuffer& text)
    : buffer(text), lineEnding(text.CurrentLineEnding()) {}

void CTextSnapshot::Restart() {
    chunks.clear();
    next = Position{};
    complete = false;
    lineEnding = buffer.CurrentLineEnding();
}

void CTextSnapshot::TextChangedFrom(int line, bool withinLine) {
    if (line < 0) {
        Restart();
        return;
    }
    complete = false;
    bool passed = line < next.line || (line == next.line && next.character > 0);
    if (!passed)
        return;
    if (withinLine && line < next.line && CopyLineAgain(line))
        return;
    CutBackTo(line);
}

std::size_t CTextSnapshot::BytesBetween(Position from, Position to) const {
    if (from.line == to.line)
        return static_cast<std::size_t>(to.character - from.character);
    const std::size_t breakLength = std::strlen(LineBreakOf(lineEnding));
    std::size_t bytes =
        static_cast<std::size_t>(buffer.LineLength(from.line) - from.character) + breakLength;
    for (int line = from.line + 1; line < to.line; ++line)
        bytes += static_cast<std::size_t>(buffer.LineLength(line)) + breakLength;
    return bytes + static_cast<std::size_t>(to.character);
}

CTextSnapshot::Position CTextSnapshot::EndOf(std::size_t chunk) const {
    return chunk + 1 < chunks.size() ? chunks[chunk + 1].start : next;
}

bool CTextSnapshot::CopyLineAgain(int line) {
    // The chunk that holds the line's start.
    std::size_t index = chunks.size();
    while (index > 0 && (chunks[index - 1].start.line > line ||
                         (chunks[index - 1].start.line == line &&
                          chunks[index - 1].start.character > 0)))
        --index;
    if (index == 0)
        return false;
    Chunk& chunk = chunks[--index];
    const Position end = EndOf(index);
    // The whole line, with its break, must lie in the chunk.
    if (end.line <= line)
        return false;
    // Only the line itself changed: the lines before and after it say where it lies.
    const std::size_t before = BytesBetween(chunk.start, Position{line, 0});
    const std::size_t after = BytesBetween(Position{line + 1, 0}, end);
    if (before + after > chunk.bytes.size())
        return false;
    std::string again(buffer.LineText(line), static_cast<std::size_t>(buffer.LineLength(line)));
    if (line < buffer.LineTotal() - 1)
        again += LineBreakOf(lineEnding);
    chunk.bytes.replace(before, chunk.bytes.size() - before - after, again);
    return true;
}

void CTextSnapshot::CutBackTo(int line) {
    // The chunks that start at the line or after it go whole.
    while (!chunks.empty() && chunks.back().start.line >= line)
        chunks.pop_back();
    if (chunks.empty()) {
        next = Position{};
        return;
    }
    // The lines before the changed one are as they were when copied, so their lengths today
    // say where the changed line began in the chunk.
    Chunk& last = chunks.back();
    last.bytes.resize(std::min(BytesBetween(last.start, Position{line, 0}), last.bytes.size()));
    next = Position{line, 0};
}

bool CTextSnapshot::CopySlice(std::chrono::microseconds budget) {
    if (complete)
        return true;
    if (buffer.CurrentLineEnding() != lineEnding)
        Restart();
    const auto deadline = std::chrono::steady_clock::now() + budget;
    const char* lineBreak = LineBreakOf(lineEnding);
    const std::size_t breakLength = std::strlen(lineBreak);
    const int total = buffer.LineTotal();
    int sinceLook = 0;
    while (next.line < total) {
        if (chunks.empty() || chunks.back().bytes.size() >= kChunkBytes) {
            chunks.push_back(Chunk{next, std::string()});
            chunks.back().bytes.reserve(kChunkBytes + kPieceBytes + breakLength);
        }
        std::string& bytes = chunks.back().bytes;
        const int length = buffer.LineLength(next.line);
        const int piece = std::min(length - next.character, kPieceBytes);
        bytes.append(buffer.LineText(next.line) + next.character, static_cast<std::size_t>(piece));
        next.character += piece;
        bool lookNow = piece == kPieceBytes;
        if (next.character == length) {
            if (next.line < total - 1)
                bytes.append(lineBreak, breakLength);
            next = Position{next.line + 1, 0};
            lookNow = lookNow || ++sinceLook == 256;
        }
        if (lookNow) {
            sinceLook = 0;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
        }
    }
    complete = true;
    return true;
}

std::vector<std::string> CTextSnapshot::TakeBytes() {
    std::vector<std::string> bytes;
    bytes.reserve(chunks.size());
    for (Chunk& chunk : chunks)
        bytes.push_back(std::move(chunk.bytes));
    Restart();
    return bytes;
}
