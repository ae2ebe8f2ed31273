#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "LineEndingStyle.h"

class CCorvelTextBuffer;

// The bytes of a buffer's text as a file would hold them, copied a slice at a time so that a
// large text never holds up the window, and still one consistent text: a line the copy has passed
// that changes within itself (typing) is copied again in its place; a change that adds or removes
// lines before the copy's point takes the copy back to the first changed line; changes further on
// are copied when the copy gets there. Complete, it is the text as it was after the last change.
class CTextSnapshot {
public:
    explicit CTextSnapshot(const CCorvelTextBuffer& buffer);

    // Copies on for about the given time; true once the whole text is in.
    bool CopySlice(std::chrono::microseconds budget);
    // The buffer changed from this line on; a negative line means the whole text. withinLine:
    // only that line changed, and no line was added or removed.
    void TextChangedFrom(int line, bool withinLine = false);

    bool Complete() const { return complete; }
    LineEndingStyle LineEnding() const { return lineEnding; }
    // The copied bytes in order, ready to be written one after another. Empties the snapshot.
    std::vector<std::string> TakeBytes();

private:
    struct Position {
        int line = 0;
        int character = 0;  // a slice may stop inside a very long line
    };
    struct Chunk {
        Position start;
        std::string bytes;
    };

    void Restart();
    // Drops what was copied from the start of the line on.
    void CutBackTo(int line);
    // Copies the line again where it lies inside one chunk; false when it does not.
    bool CopyLineAgain(int line);
    // The bytes from one position to another, as lines unchanged since they were copied hold.
    std::size_t BytesBetween(Position from, Position to) const;
    Position EndOf(std::size_t chunk) const;

    const CCorvelTextBuffer& buffer;
    LineEndingStyle lineEnding;
    std::vector<Chunk> chunks;
    Position next;
    bool complete = false;
};
