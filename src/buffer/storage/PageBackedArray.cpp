#include "PageBackedArray.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

#if defined(__linux__)
std::size_t RoundToPages(std::size_t bytes) {
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}
#endif

}  // namespace

CPageBackedArray::~CPageBackedArray() {
    Release();
}

void CPageBackedArray::Grow(std::size_t bytes) {
    if (bytes <= bytes_)
        return;
#if defined(__linux__)
    bytes = RoundToPages(bytes);
    void* grown = data_ == nullptr ? ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                   : ::mremap(data_, bytes_, bytes, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED)
        throw std::bad_alloc();
#else
    void* grown = std::realloc(data_, bytes);
    if (grown == nullptr)
        throw std::bad_alloc();
#endif
    data_ = grown;
    bytes_ = bytes;
}

void CPageBackedArray::Release() {
    if (data_ == nullptr)
        return;
#if defined(__linux__)
    ::munmap(data_, bytes_);
#else
    std::free(data_);
#endif
    data_ = nullptr;
    bytes_ = 0;
}
