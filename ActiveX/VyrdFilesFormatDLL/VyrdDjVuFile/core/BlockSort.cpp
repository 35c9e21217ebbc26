#include "BlockSort.h"

#include <algorithm>

namespace vyrd {

namespace {

// link[row]: the row's symbol in the top byte, then a flag, then in the low 22
// bits the number of equal symbols before it in the column (a block holds at
// most 2^22 symbols, so the count fits and leaves two bits free).
constexpr uint32_t kSegmentStart = 0x800000;
constexpr uint32_t kOccurrence = 0x3FFFFF;
constexpr unsigned kMaxChains = 32;
// Below this many symbols per chain, splitting the walk does not pay.
constexpr uint32_t kMinSymbolsPerChain = 4096;

inline uint32_t Step(uint32_t entry, const uint32_t* start) {
    return start[entry >> 24] + (entry & kOccurrence);
}

// The walk from row 0 to the marker, in one chain, writing backwards.
bool WalkOneChain(uint8_t* data, const uint32_t* link, const uint32_t* start, uint32_t size,
                  uint32_t marker) {
    uint32_t row = 0;
    for (uint32_t out = size - 1; out > 0;) {
        const uint32_t entry = link[row];
        data[--out] = static_cast<uint8_t>(entry >> 24);
        row = Step(entry, start);
    }
    return row == marker;
}

// The same walk cut into segments at flagged rows. A first pass walks every
// segment side by side to measure it and find the row where it ends (the
// start of the next segment, or the marker); chaining the segments from row 0
// then tells where each one's bytes go, and a second pass walks them again,
// writing. Two passes of many parallel chains beat one pass of one chain by
// far when the block does not fit in the caches.
bool WalkSegments(uint8_t* data, uint32_t* link, const uint32_t* start, uint32_t size,
                  uint32_t marker, unsigned chains) {
    const uint32_t symbols = size - 1;
    uint32_t first[kMaxChains];
    first[0] = 0;
    for (unsigned k = 1; k < chains; ++k) {
        // Spread over the rows; rows are at least kMinSymbolsPerChain apart, so
        // moving off the marker cannot meet a neighbour.
        uint32_t row = static_cast<uint32_t>(uint64_t{k} * size / chains);
        if (row == marker) {
            ++row;
        }
        first[k] = row;
        link[row] |= kSegmentStart;
    }

    // Pass 1: length and end row of every segment. A valid block takes exactly
    // `symbols` steps in all; more means the walks go round in circles.
    uint32_t row[kMaxChains];
    uint32_t length[kMaxChains] = {};
    uint32_t end[kMaxChains];
    bool walking[kMaxChains];
    std::copy(first, first + chains, row);
    std::fill(walking, walking + chains, true);
    uint32_t steps = 0;
    for (unsigned active = chains; active > 0;) {
        for (unsigned k = 0; k < chains; ++k) {
            if (!walking[k]) {
                continue;
            }
            const uint32_t entry = link[row[k]];
            if (row[k] == marker || (length[k] > 0 && (entry & kSegmentStart) != 0)) {
                end[k] = row[k];
                walking[k] = false;
                --active;
                continue;
            }
            row[k] = Step(entry, start);
            ++length[k];
            if (++steps > symbols) {
                return false;
            }
        }
    }

    // Chain the segments from row 0 to the marker; bytes are written from the
    // back, so each segment ends where the one before it in the walk begins.
    uint32_t writeEnd[kMaxChains];
    bool placed[kMaxChains] = {};
    uint32_t remaining = symbols;
    for (unsigned k = 0;;) {
        if (placed[k] || length[k] > remaining) {
            return false;
        }
        placed[k] = true;
        writeEnd[k] = remaining;
        remaining -= length[k];
        if (end[k] == marker) {
            break;
        }
        k = static_cast<unsigned>(std::find(first, first + chains, end[k]) - first);
        if (k == chains) {
            return false;
        }
    }
    if (remaining != 0) {
        return false;
    }

    // Pass 2: the same walks, writing.
    std::copy(first, first + chains, row);
    for (unsigned active = chains; active > 0;) {
        active = 0;
        for (unsigned k = 0; k < chains; ++k) {
            if (length[k] == 0) {
                continue;
            }
            const uint32_t entry = link[row[k]];
            data[--writeEnd[k]] = static_cast<uint8_t>(entry >> 24);
            row[k] = Step(entry, start);
            --length[k];
            ++active;
        }
    }
    return true;
}

}  // namespace

bool InverseBlockSort(uint8_t* data, uint32_t* link, uint32_t size, uint32_t marker,
                      unsigned chains) {
    uint32_t start[256] = {};
    for (uint32_t i = 0; i < size; ++i) {
        if (i == marker) {
            link[i] = 0;
            continue;
        }
        const uint8_t c = data[i];
        link[i] = (uint32_t{c} << 24) | start[c];
        ++start[c];
    }
    // Sorted position of each symbol's first occurrence; row 0 belongs to the
    // marker, which sorts before everything. Every step therefore lands on a
    // row below size.
    uint32_t next = 1;
    for (uint32_t& s : start) {
        const uint32_t count = s;
        s = next;
        next += count;
    }
    chains = std::clamp(chains, 1u, kMaxChains);
    while (chains > 1 && (size - 1) / chains < kMinSymbolsPerChain) {
        chains /= 2;
    }
    if (chains <= 1) {
        return WalkOneChain(data, link, start, size, marker);
    }
    return WalkSegments(data, link, start, size, marker, chains);
}

}  // namespace vyrd
