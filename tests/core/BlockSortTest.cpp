// The inverse block sort: blocks sorted here by brute force come back intact,
// and walking a block in one chain or in many gives the same bytes and the
// same verdict, for valid and for damaged blocks.

#include "BlockSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct SortedBlock {
    Bytes column;  // last column of the sorted rotations, marker as 0
    uint32_t marker;
};

// The block sort of `text` followed by an end marker that sorts before every
// byte: rotations of text + marker, sorted, last symbol of each.
SortedBlock Sort(const Bytes& text) {
    const uint32_t size = static_cast<uint32_t>(text.size() + 1);
    // Symbol values 0 (the marker) and 1 + byte.
    std::vector<int> symbols(size);
    for (std::size_t i = 0; i < text.size(); ++i) {
        symbols[i] = 1 + text[i];
    }
    symbols[size - 1] = 0;
    // Rotations sorted by prefix doubling: the ranks of 2^k-long prefixes.
    std::vector<uint32_t> order(size), rank(size), next(size);
    std::iota(order.begin(), order.end(), 0u);
    for (uint32_t i = 0; i < size; ++i) {
        rank[i] = static_cast<uint32_t>(symbols[i]);
    }
    for (uint32_t length = 1;; length *= 2) {
        auto key = [&](uint32_t i) { return std::make_pair(rank[i], rank[(i + length) % size]); };
        std::sort(order.begin(), order.end(),
                  [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
        next[order[0]] = 0;
        for (uint32_t i = 1; i < size; ++i) {
            next[order[i]] = next[order[i - 1]] + (key(order[i - 1]) < key(order[i]) ? 1 : 0);
        }
        rank = next;
        if (rank[order[size - 1]] == size - 1 || length >= size) {
            break;
        }
    }
    SortedBlock block{Bytes(size), 0};
    for (uint32_t r = 0; r < size; ++r) {
        const int s = symbols[(order[r] + size - 1) % size];
        if (s == 0) {
            block.marker = r;
            block.column[r] = 0;
        } else {
            block.column[r] = static_cast<uint8_t>(s - 1);
        }
    }
    return block;
}

struct Result {
    bool ok;
    Bytes text;
};

Result Invert(const SortedBlock& block, unsigned chains) {
    Bytes data = block.column;
    std::vector<uint32_t> link(data.size());
    const bool ok = vyrd::InverseBlockSort(
        data.data(), link.data(), static_cast<uint32_t>(data.size()), block.marker, chains);
    data.resize(data.size() - 1);
    return {ok, data};
}

Bytes Sample(std::size_t n, unsigned alphabet, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random() % alphabet);
    }
    return bytes;
}

TEST(InverseBlockSort, RestoresSortedBlocksWithAnyNumberOfChains) {
    const std::vector<Bytes> texts = {
        {'a'},
        {'a', 'a', 'a'},
        Sample(1000, 2, 1),
        Sample(70000, 4, 2),     // long runs of few symbols
        Sample(150000, 256, 3),  // every byte value
        Bytes(100000, 'z'),      // one symbol only
    };
    for (const Bytes& text : texts) {
        const SortedBlock block = Sort(text);
        ASSERT_GE(block.marker, 1u);
        for (unsigned chains : {1u, 2u, 7u, 16u, 32u, 100u}) {
            const Result r = Invert(block, chains);
            EXPECT_TRUE(r.ok) << text.size() << " chains " << chains;
            EXPECT_TRUE(r.text == text) << text.size() << " chains " << chains;
        }
    }
}

TEST(InverseBlockSort, DamagedBlocksGetTheSameVerdictWithAnyNumberOfChains) {
    std::mt19937 random(17);
    const SortedBlock good = Sort(Sample(120000, 16, 4));
    for (int round = 0; round < 40; ++round) {
        SortedBlock block = good;
        switch (round % 4) {
            case 0:  // one symbol changed: the walk leaves some rows unvisited
                block.column[random() % block.column.size()] ^= 1;
                break;
            case 1:  // the marker moved
                block.marker = 1 + random() % (block.column.size() - 1);
                break;
            case 2:  // two symbols swapped
                std::swap(block.column[random() % block.column.size()],
                          block.column[random() % block.column.size()]);
                break;
            default:  // noise
                block.column = Sample(block.column.size(), 256, random());
                break;
        }
        const Result one = Invert(block, 1);
        const Result many = Invert(block, 16);
        EXPECT_EQ(one.ok, many.ok) << round;
        if (one.ok && many.ok) {
            EXPECT_TRUE(one.text == many.text) << round;
        }
    }
}

}  // namespace
