#pragma once

#include <cstring>
#include <type_traits>
#include <utility>

#include "PageBackedArray.h"

// An ordered table of trivially copyable records with room reserved in steps of a given number of
// records. Inserting or removing in the middle moves only the records after that place.
template <typename Record>
class CRecordTable {
    static_assert(std::is_trivially_copyable_v<Record>);

public:
    int Size() const { return size_; }
    Record& operator[](int index) { return Records()[index]; }
    const Record& operator[](int index) const { return Records()[index]; }
    Record* begin() { return Records(); }
    Record* end() { return Records() + size_; }

    // Reservations grow by whole steps, and by at least half the table so that building a large
    // table one record at a time stays linear.
    void SetGrowthStep(int records) { growthStep_ = records > 0 ? records : 1; }

    void Append(const Record& record) {
        if (static_cast<std::size_t>(size_) * sizeof(Record) + sizeof(Record) > storage_.Bytes())
            Reserve(size_ + 1);
        Records()[size_++] = record;
    }

    void InsertAt(int index, const Record& record) {
        Reserve(size_ + 1);
        Record* records = Records();
        std::memmove(records + index + 1, records + index, (size_ - index) * sizeof(Record));
        records[index] = record;
        ++size_;
    }

    // Inserts count records before index with one move of the records after it.
    void InsertRange(int index, const Record* records, int count) {
        Reserve(size_ + count);
        Record* table = Records();
        std::memmove(table + index + count, table + index, (size_ - index) * sizeof(Record));
        std::memcpy(table + index, records, count * sizeof(Record));
        size_ += count;
    }

    void RemoveRange(int first, int count) {
        Record* records = Records();
        std::memmove(records + first, records + first + count,
                     (size_ - first - count) * sizeof(Record));
        size_ -= count;
    }

    // Forgets every record without giving back the room.
    void MakeEmpty() { size_ = 0; }

    void Reserve(int records) {
        int capacity = static_cast<int>(storage_.Bytes() / sizeof(Record));
        if (records <= capacity)
            return;
        int wanted = records > capacity + capacity / 2 ? records : capacity + capacity / 2;
        wanted = (wanted + growthStep_ - 1) / growthStep_ * growthStep_;
        storage_.Grow(static_cast<std::size_t>(wanted) * sizeof(Record));
    }

    void Swap(CRecordTable& other) {
        storage_.Swap(other.storage_);
        std::swap(size_, other.size_);
        std::swap(growthStep_, other.growthStep_);
    }

private:
    Record* Records() const { return static_cast<Record*>(storage_.Data()); }

    CPageBackedArray storage_;
    int size_ = 0;
    int growthStep_ = 1024;
};
