#include "JB2NumberCoder.h"

#include <algorithm>

namespace vyrd {

CJB2NumberCoder::CJB2NumberCoder() {
    chunks_.push_back(std::make_unique<Cell[]>(kCellsPerChunk));
}

CJB2NumberCoder::Cell* CJB2NumberCoder::NewCell() {
    if (used_ == kCellsPerChunk) {
        chunks_.push_back(std::make_unique<Cell[]>(kCellsPerChunk));
        used_ = 0;
    }
    return &chunks_.back()[used_++];
}

void CJB2NumberCoder::ResetPool() noexcept {
    chunks_.resize(1);
    std::fill_n(chunks_.front().get(), kCellsPerChunk, Cell{});
    used_ = 0;
}

int32_t CJB2NumberCoder::Decode(CZPDecoder& zp, Cell* root, int32_t low, int32_t high) {
    // The value is found in three stages: its sign, then doubling until the
    // magnitude's bound is passed, then a binary search inside that bound.
    // Each step decodes at most one bit; a bit that the range already decides
    // is taken without decoding.
    int32_t split = 0;
    int stage = 1;
    int32_t step = 0;  // anything but 1 until the search stage sets it
    bool negative = false;
    Cell* cell = root;
    Cell** link = nullptr;
    while (step != 1) {
        if (cell == nullptr) {
            cell = NewCell();
            *link = cell;
        }
        bool bit;
        if (low >= split) {
            bit = true;
        } else if (high >= split) {
            bit = zp.decode(cell->context) != 0;
        } else {
            bit = false;
        }
        link = bit ? &cell->right : &cell->left;
        cell = *link;
        switch (stage) {
            case 1:
                negative = !bit;
                if (negative) {
                    const int32_t oldLow = low;
                    low = -high - 1;
                    high = -oldLow - 1;
                }
                stage = 2;
                split = 1;
                break;
            case 2:
                if (bit) {
                    split = 2 * split + 1;
                } else {
                    stage = 3;
                    step = (split + 1) / 2;
                    split = step == 1 ? 0 : split - step / 2;
                }
                break;
            default:
                step /= 2;
                if (step != 1) {
                    split += bit ? step / 2 : -(step / 2);
                } else if (!bit) {
                    split -= 1;
                }
                break;
        }
    }
    return negative ? -split - 1 : split;
}

}  // namespace vyrd
