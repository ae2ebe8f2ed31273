#include "LoadedLineBlock.h"

bool CLoadedLineBlock::AppendSlowly(const char* characters, int count, std::uint32_t& offset) {
    const std::size_t used = UsedBytes();
    const std::size_t needed = (count < kLongLength ? 1 : 5) + static_cast<std::size_t>(count);
    if (used > limit_ || needed > limit_ - used)
        return false;
    if (needed > storage_.Bytes() - used) {
        // By half again at least: growing moves no bytes (the pages are remapped), but each
        // step is a call into the system, and a file of a gigabyte should not take thousands.
        std::size_t stepped = storage_.Bytes() + storage_.Bytes() / 2;
        if (stepped < (std::size_t{1} << 20))
            stepped = std::size_t{1} << 20;
        storage_.Grow(used + needed > stepped ? used + needed : stepped);
        cursor_ = Base() + used;
        PlaceEnd();
    }
    char* at = cursor_;
    if (count < kLongLength) {
        *at++ = static_cast<char>(count);
    } else {
        *at++ = static_cast<char>(kLongLength);
        std::uint32_t length = static_cast<std::uint32_t>(count);
        std::memcpy(at, &length, sizeof length);
        at += sizeof length;
    }
    if (count > 0)
        std::memcpy(at, characters, static_cast<std::size_t>(count));
    offset = static_cast<std::uint32_t>(used);
    cursor_ = at + count;
    return true;
}

void CLoadedLineBlock::SetLimit(std::size_t bytes) {
    limit_ = bytes < kDefaultLimit ? bytes : kDefaultLimit;
    PlaceEnd();
}

void CLoadedLineBlock::PlaceEnd() {
    const std::size_t room = storage_.Bytes() < limit_ ? storage_.Bytes() : limit_;
    end_ = Base() == nullptr ? nullptr : Base() + room;
    if (end_ < cursor_)
        end_ = cursor_;
}

void CLoadedLineBlock::Release() {
    storage_.Release();
    cursor_ = end_ = nullptr;
}
