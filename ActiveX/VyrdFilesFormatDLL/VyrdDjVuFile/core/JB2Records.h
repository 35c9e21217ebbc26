#pragma once
// The vocabulary of a JB2 stream: its record types, and the number contexts
// its values are coded with (one tree of adaptive contexts each, in this
// order).

#include <cstdint>

namespace vyrd {

enum JB2RecordType : int32_t {
    kStartOfImage = 0,
    kNewSymbolLibraryAndImage = 1,
    kNewSymbolLibraryOnly = 2,
    kNewSymbolImageOnly = 3,
    kRefinedSymbolLibraryAndImage = 4,
    kRefinedSymbolLibraryOnly = 5,
    kRefinedSymbolImageOnly = 6,
    kMatchedCopy = 7,
    kNonSymbolData = 8,
    kRequiredDictionaryOrReset = 9,
    kComment = 10,
    kEndOfData = 11,
};

enum JB2NumberContext : int {
    kRecordType,
    kImageSize,
    kMatchIndex,
    kSymbolWidth,
    kSymbolHeight,
    kWidthDifference,
    kHeightDifference,
    kNewRowX,
    kNewRowY,
    kSameRowX,
    kSameRowY,
    kAbsoluteX,
    kAbsoluteY,
    kInheritedCount,
    kCommentLength,
    kCommentByte,
    kNumberContextCount
};

}  // namespace vyrd
