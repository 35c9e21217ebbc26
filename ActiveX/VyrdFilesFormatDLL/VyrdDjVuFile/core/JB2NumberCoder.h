#pragma once
// Numbers of the JB2 bilevel coding: decoded bit by bit through binary trees
// of adaptive contexts.

#include "ZPDecoder.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vyrd {

// Largest and smallest values a JB2 number can take.
inline constexpr int32_t JB2_NUM_MAX = 262142;
inline constexpr int32_t JB2_NUM_MIN = -262143;

// The tree cells of every number context of one stream. A context is the root
// cell of a tree; the cells below it are created as the values decoded walk
// new paths. Cells come from a pool that grows in chunks, so a cell never
// moves while the pool lives. Used by one thread at a time.
class CJB2NumberCoder {
public:
    struct Cell {
        uint8_t context = 0;
        Cell* left = nullptr;
        Cell* right = nullptr;
    };

    static constexpr std::size_t kCellsPerChunk = 10000;

    CJB2NumberCoder();
    CJB2NumberCoder(const CJB2NumberCoder&) = delete;
    CJB2NumberCoder& operator=(const CJB2NumberCoder&) = delete;

    // A fresh cell (context 0, no children). Throws std::bad_alloc.
    Cell* NewCell();

    // Frees every chunk but the first, clears the first and starts allocating
    // from its first cell again. Every cell handed out before is invalid.
    void ResetPool() noexcept;

    // Decodes a value between low and high (inclusive) through the tree under
    // `root`. Values outside the range cannot come out of a consistent tree;
    // when low > high the result is low. Throws std::bad_alloc.
    int32_t Decode(CZPDecoder& zp, Cell* root, int32_t low, int32_t high);

private:
    std::vector<std::unique_ptr<Cell[]>> chunks_;
    std::size_t used_ = 0;  // cells taken from the last chunk
};

}  // namespace vyrd
