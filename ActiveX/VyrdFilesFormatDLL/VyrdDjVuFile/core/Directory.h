#pragma once
// The directory of a multi-page document (its DIRM chunk): every component
// file, in document order, with its place, kind and identifiers.

#include "ByteRange.h"
#include "RefCounted.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vyrd {

enum class ComponentType : uint8_t {
    IncludeFile = 0,
    PageFile = 1,
    ThumbnailFile = 2,
    SharedAnnotationFile = 3,
};

// One component of a multi-page document.
struct CDirEntry {
    static constexpr uint8_t kNameFlag = 0x80;
    static constexpr uint8_t kTitleFlag = 0x40;
    static constexpr uint8_t kTypeMask = 0x3F;

    // File offset of the component's FORM header (from the first byte of the
    // file); 0 when the directory is not self-contained.
    uint32_t offset = 0;
    // Byte size of the component (24 bits are stored).
    uint32_t size = 0;
    // Name and title bits, and the component type in the low six bits.
    uint8_t flags = 0;
    std::u16string id;
    // The id when the directory stores no separate name or title.
    std::u16string name;
    std::u16string title;

    uint8_t Type() const noexcept { return flags & kTypeMask; }
};

// Components in directory order, with a lookup from identifier to position. A
// later duplicate identifier takes over the lookup from an earlier one.
class CDirList {
public:
    void Add(const CDirEntry& entry);

    const std::vector<CDirEntry>& Entries() const noexcept { return entries_; }
    int Count() const noexcept { return static_cast<int>(entries_.size()); }
    // The entry at `position`, or null outside the list.
    const CDirEntry* At(int position) const noexcept;
    // The position of the entry with this identifier, or -1.
    int Find(const std::u16string& id) const;

private:
    std::vector<CDirEntry> entries_;
    std::unordered_map<std::u16string, int> positions_;
};

// The parsed directory. Immutable once parsed; owned by the container.
class CDjVuDirectory final : public CRefCounted {
public:
    // Parses the data of a DIRM chunk. A version above 1 gives an empty
    // directory. Throws HResultError(E_INVALIDARG) when the string table runs
    // out before every component has its identifiers; std::bad_alloc when
    // memory does.
    static RefPtr<CDjVuDirectory> Parse(CByteRange dirm);

    // Set when every component lies inside this file.
    bool SelfContained() const noexcept { return selfContained_; }
    int Version() const noexcept { return version_; }

    const CDirList& All() const noexcept { return all_; }
    // The position of an entry in the page list is its page index.
    const CDirList& Pages() const noexcept { return pages_; }
    const CDirList& Includes() const noexcept { return includes_; }
    const CDirList& Thumbnails() const noexcept { return thumbnails_; }
    const CDirList& SharedAnnotations() const noexcept { return sharedAnnotations_; }

private:
    CDjVuDirectory() = default;
    void Add(const CDirEntry& entry);

    bool selfContained_ = false;
    int version_ = 0;
    CDirList all_;
    CDirList pages_;
    CDirList includes_;
    CDirList thumbnails_;
    CDirList sharedAnnotations_;
};

}  // namespace vyrd
