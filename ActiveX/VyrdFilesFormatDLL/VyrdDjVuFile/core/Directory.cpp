#include "Directory.h"

#include "ByteReader.h"
#include "BzzDecoder.h"
#include "HResultError.h"
#include "Platform.h"

#include <utility>

namespace vyrd {

namespace {

constexpr uint8_t kSelfContainedFlag = 0x80;
constexpr uint8_t kVersionMask = 0x7F;
constexpr int kLatestVersion = 1;

// Version 0 stored other flag bits: bit 0 "is a page", bit 1 "has a name",
// bit 2 "has a title".
uint8_t ConvertOldFlags(uint8_t old) {
    uint8_t flags =
        static_cast<uint8_t>((old & 1) ? ComponentType::PageFile : ComponentType::IncludeFile);
    if (old & 2) {
        flags |= CDirEntry::kNameFlag;
    }
    if (old & 4) {
        flags |= CDirEntry::kTitleFlag;
    }
    return flags;
}

// The NUL-terminated strings at the end of the compressed part, handed out one
// by one. Running out is a broken directory.
class StringTable {
public:
    explicit StringTable(CBzzDecoder& bzz) : bzz_(bzz) {}

    std::u16string Next() {
        // A string that the data ends in the middle of still counts; an empty
        // read at the end does not.
        const uint64_t before = bzz_.Delivered();
        std::string bytes = bzz_.ReadString();
        if (bzz_.Delivered() == before) {
            throw HResultError(kE_INVALIDARG);
        }
        return AnsiToUtf16(bytes);
    }

private:
    CBzzDecoder& bzz_;
};

}  // namespace

void CDirList::Add(const CDirEntry& entry) {
    positions_[entry.id] = static_cast<int>(entries_.size());
    entries_.push_back(entry);
}

const CDirEntry* CDirList::At(int position) const noexcept {
    if (position < 0 || position >= Count()) {
        return nullptr;
    }
    return &entries_[static_cast<std::size_t>(position)];
}

int CDirList::Find(const std::u16string& id) const {
    const auto found = positions_.find(id);
    return found == positions_.end() ? -1 : found->second;
}

RefPtr<CDjVuDirectory> CDjVuDirectory::Parse(CByteRange dirm) {
    RefPtr<CDjVuDirectory> directory = RefPtr<CDjVuDirectory>::Adopt(new CDjVuDirectory());
    CByteReader reader(dirm);
    const uint8_t head = reader.ReadByte();
    directory->selfContained_ = (head & kSelfContainedFlag) != 0;
    directory->version_ = head & kVersionMask;
    if (directory->version_ > kLatestVersion) {
        return directory;
    }
    const bool oldFormat = directory->version_ == 0;

    // The uncompressed table: where each component lies, when it is here.
    const uint32_t count = reader.ReadU16();
    std::vector<CDirEntry> entries(count);
    if (directory->selfContained_) {
        for (CDirEntry& entry : entries) {
            entry.offset = reader.ReadU32();
            if (oldFormat) {
                entry.size = reader.ReadU24();
            }
        }
    }

    // The compressed rest: sizes (from version 1), flags, then the strings.
    CBzzDecoder bzz(reader.Rest());
    if (!oldFormat) {
        for (CDirEntry& entry : entries) {
            entry.size = bzz.ReadU24();
        }
    }
    for (CDirEntry& entry : entries) {
        const uint8_t flags = bzz.ReadByte();
        entry.flags = oldFormat ? ConvertOldFlags(flags) : flags;
    }
    StringTable strings(bzz);
    for (CDirEntry& entry : entries) {
        entry.id = strings.Next();
        entry.name = (entry.flags & CDirEntry::kNameFlag) ? strings.Next() : entry.id;
        entry.title = (entry.flags & CDirEntry::kTitleFlag) ? strings.Next() : entry.id;
    }

    for (const CDirEntry& entry : entries) {
        directory->Add(entry);
    }
    return directory;
}

void CDjVuDirectory::Add(const CDirEntry& entry) {
    all_.Add(entry);
    switch (static_cast<ComponentType>(entry.Type())) {
        case ComponentType::IncludeFile:
            includes_.Add(entry);
            break;
        case ComponentType::PageFile:
            pages_.Add(entry);
            break;
        case ComponentType::ThumbnailFile:
            thumbnails_.Add(entry);
            break;
        case ComponentType::SharedAnnotationFile:
            sharedAnnotations_.Add(entry);
            break;
        default:
            // Unknown kinds are listed among all components only.
            break;
    }
}

}  // namespace vyrd
