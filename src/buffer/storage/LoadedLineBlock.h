#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "PageBackedArray.h"

// The lines of a file as they were read: one contiguous block holding, for each line, its length
// and then its characters. A line that is never edited costs its characters, one byte of length
// (five from 255 characters on) and the four-byte offset its table entry keeps, instead of a
// reserve and a record of its own.
//
// The block only grows while a file is read; once the lines are in the table it stays where it
// is, so pointers into it stay valid until Release.
class CLoadedLineBlock {
public:
    // Offsets stay below this, so that a table entry can tell them apart by its top bit.
    static constexpr std::size_t kDefaultLimit = std::size_t{1} << 31;

    CLoadedLineBlock() = default;
    CLoadedLineBlock(const CLoadedLineBlock&) = delete;
    CLoadedLineBlock& operator=(const CLoadedLineBlock&) = delete;

    // Appends a line; false, with nothing appended, when the block would pass its limit (the
    // caller then keeps the line elsewhere). Throws std::bad_alloc when memory runs out.
    // Inline for the common short line: a file of millions of lines comes through here.
    bool Append(const char* characters, int count, std::uint32_t& offset) {
        if (count < kLongLength && end_ - cursor_ > count) {
            offset = static_cast<std::uint32_t>(cursor_ - Base());
            *cursor_ = static_cast<char>(count);
            std::size_t bytes = static_cast<std::size_t>(count);
            // Knowing the count is below 255, the compiler would copy with a string
            // instruction that starts slowly; the library's memcpy is faster on short lines.
            asm("" : "+r"(bytes));
            std::memcpy(cursor_ + 1, characters, bytes);
            cursor_ += 1 + count;
            return true;
        }
        return AppendSlowly(characters, count, offset);
    }

    int Length(std::uint32_t offset) const {
        const unsigned char* at = reinterpret_cast<const unsigned char*>(Base()) + offset;
        if (*at < kLongLength)
            return *at;
        std::uint32_t longLength;
        std::memcpy(&longLength, at + 1, sizeof longLength);
        return static_cast<int>(longLength);
    }
    const char* Characters(std::uint32_t offset) const {
        const unsigned char* at = reinterpret_cast<const unsigned char*>(Base()) + offset;
        return reinterpret_cast<const char*>(at + (*at < kLongLength ? 1 : 5));
    }

    // The characters of the line appended at offset, and their count.
    const char* Text(std::uint32_t offset, int& length) const {
        const unsigned char* at = reinterpret_cast<const unsigned char*>(Base()) + offset;
        if (*at < kLongLength) {
            length = *at;
            return reinterpret_cast<const char*>(at + 1);
        }
        std::uint32_t longLength;
        std::memcpy(&longLength, at + 1, sizeof longLength);
        length = static_cast<int>(longLength);
        return reinterpret_cast<const char*>(at + 5);
    }

    // Whether the reserve lies in the block: such a reserve is never handed back on its own.
    bool Holds(const char* reserve) const {
        const char* base = Base();
        return base != nullptr && reserve >= base && reserve < base + storage_.Bytes();
    }

    std::size_t UsedBytes() const { return static_cast<std::size_t>(cursor_ - Base()); }
    // Makes the appends fail once the block would pass the given size.
    void SetLimit(std::size_t bytes);
    void Release();
    std::size_t Limit() const { return limit_; }
    void Swap(CLoadedLineBlock& other) {
        storage_.Swap(other.storage_);
        std::swap(cursor_, other.cursor_);
        std::swap(end_, other.end_);
        std::swap(limit_, other.limit_);
    }

private:
    static constexpr int kLongLength = 255;

    char* Base() const { return static_cast<char*>(storage_.Data()); }
    bool AppendSlowly(const char* characters, int count, std::uint32_t& offset);
    // Where appends must stop: the end of the room, or the limit if that comes first.
    void PlaceEnd();

    CPageBackedArray storage_;
    char* cursor_ = nullptr;  // where the next line goes
    char* end_ = nullptr;
    std::size_t limit_ = kDefaultLimit;
};
