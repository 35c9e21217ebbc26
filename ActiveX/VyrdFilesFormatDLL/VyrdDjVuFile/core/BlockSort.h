#pragma once
// Undoing the block sort (Burrows-Wheeler transform) of one BZZ block.

#include <cstdint>

namespace vyrd {

// `data` holds the last column of the sorted rotations of a block of `size`
// symbols, with the end-of-block marker at `marker` (1 <= marker < size).
// On success data[0 .. size - 2] hold the block's bytes in order. `link` is
// scratch space of `size` entries. Returns false when the block is not a valid
// sort, that is when walking it does not visit every row exactly once before
// the marker; data then holds undefined bytes.
//
// `chains` is how many independent walks may run side by side: each step of a
// walk is a load whose address comes from the previous load, so one walk runs
// at memory latency, and several interleaved walks keep several loads in
// flight. 1 walks the block in a single chain; every count gives the same
// result.
bool InverseBlockSort(uint8_t* data, uint32_t* link, uint32_t size, uint32_t marker,
                      unsigned chains = 16);

}  // namespace vyrd
