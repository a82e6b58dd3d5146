#pragma once

#include "data/firebird/Sqlda.h"

#include <cstddef>
#include <deque>
#include <memory>

namespace tavim {

// Fetched rows held compactly until they are read back, oldest first: per
// variable a null flag and only the bytes its value uses (a varying text's
// length and characters, not its declared width). Blocks are released as
// they are read. Thread: its statement's; no lock.
class FbRowBuffer {
public:
    // Copies the row the output descriptor now holds.
    void append(const Sqlda& row);
    // Puts the oldest row back into the descriptor it came from; false when
    // none is left.
    bool takeInto(Sqlda& row);
    void clear();

private:
    // Below malloc's mmap threshold (128 KiB): a block read and freed goes back
    // to the heap for the values expanded from it, rather than being unmapped
    // and its pages faulted in again.
    static constexpr std::size_t kBlockSize = 64 * 1024;

    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t size = 0;
    };
    char* reserve(std::size_t size);

    std::deque<Block> m_blocks;
    std::size_t m_readAt = 0; // in the front block
    std::size_t m_rows = 0;
};

} // namespace tavim
