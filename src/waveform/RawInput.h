#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The bytes of a raw file, from memory or read from a file in large chunks, looked at a window
// at a time: headers line by line, binary data by the point, ASCII data token by token.
class CRawInput {
public:
    // All the bytes are in memory and stay there while the input is used.
    explicit CRawInput(std::string_view bytes);
    // Reads the open file from its current offset; size is its length, for estimates.
    CRawInput(int descriptor, std::uint64_t size);

    // Makes at least count bytes lie ahead unless the input ends first; the count that does.
    std::size_t Ensure(std::size_t count);
    const char* Ahead() const { return window + begin; }
    std::size_t AheadSize() const { return end - begin; }
    void Skip(std::size_t count) { begin += count; }

    // The next line without its line break (a CR before the LF goes too); false at the end.
    // The view is valid until the input moves on.
    bool NextLine(std::string_view& line);
    // The next run of bytes that are not white space, after skipping white space; empty at the
    // end. Line breaks skipped are counted.
    std::string_view NextToken();
    // Whether the last token ran into the end of the input: a writer ends every value with a
    // line break, so such a token may have been cut.
    bool TokenAtEnd() const { return tokenAtEnd; }
    // After skipping white space, whether the input goes on with the start of a plot's header
    // ("Title:" or "Plotname:"), which is left to be read as lines.
    bool AtHeader();
    // Whether the last NextLine gave up on a line longer than any header line can be.
    bool LineTooLong() const { return lineTooLong; }

    // How many bytes have been passed over, and how many the input has in all.
    std::uint64_t Consumed() const { return consumedBefore + begin; }
    std::uint64_t Size() const { return size; }
    // The number of the line the input stands on, from 1.
    int Line() const { return line; }
    // Whether reading the file failed (not merely ended).
    bool Failed() const { return failed; }

private:
    bool Refill(std::size_t wanted);
    // Passes over white space, counting the line breaks.
    void SkipSpace();

    int descriptor = -1;
    std::vector<char> storage;
    const char* window = nullptr;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::uint64_t consumedBefore = 0;
    std::uint64_t size = 0;
    int line = 1;
    bool ended = false;
    bool failed = false;
    bool tokenAtEnd = false;
    bool lineTooLong = false;
};
