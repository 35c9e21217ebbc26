#include "Container.h"

#include <cstring>
#include <utility>

namespace vyrd {

namespace {

constexpr uint8_t kMagic[4] = {0x41, 0x54, 0x26, 0x54};  // "AT&T"

}  // namespace

CDjVuContainer::~CDjVuContainer() {
    CloseDocument();
}

int CDjVuContainer::OpenDocument(const std::u16string& path) {
    CloseDocument();
    return Open(CDocumentBytes::MapFile(path));
}

int CDjVuContainer::OpenDocumentFromMemory(std::span<const uint8_t> bytes) {
    CloseDocument();
    return Open(CDocumentBytes::Borrow(bytes));
}

int CDjVuContainer::Open(RefPtr<CDocumentBytes> bytes) {
    if (!bytes) {
        return 0;
    }
    const CByteRange& file = bytes->Bytes();
    // Too short or wrong magic: `bytes` goes out of scope and the file is
    // unmapped at once.
    if (file.Length() <= sizeof(kMagic) || std::memcmp(file.Data(), kMagic, sizeof(kMagic)) != 0) {
        return 0;
    }
    bytes_ = std::move(bytes);
    chunks_ = CIffChunkList::Read(file.From(sizeof(kMagic)));
    if (!chunks_->IsValid()) {
        // The mapping stays until the next CloseDocument, like the chunk list.
        return 0;
    }

    // A valid sequence over at least one byte holds at least one chunk.
    const CIffChunk& first = chunks_->Chunks().front();
    documentForm_ = CIffForm::Parse(first);
    if (IsBundle()) {
        const std::vector<CIffChunk>& children = documentForm_->Children();
        if (!children.empty() && children[0].Id() == kIdDIRM) {
            dirmChunk_ = children[0];
        }
        if (children.size() > 1 && children[1].Id() == kIdNAVM) {
            navmChunk_ = children[1];
        }
    } else if (documentForm_ && documentForm_->FormType() == kIdDJVU) {
        pages_.push_back(MakeRef<CDjVuPage>(bytes_, documentForm_));
    }
    return 1;
}

void CDjVuContainer::CloseDocument() noexcept {
    pages_.clear();
    dirmChunk_ = CIffChunk();
    navmChunk_ = CIffChunk();
    documentForm_.reset();
    chunks_.reset();
    bytes_.reset();
}

bool CDjVuContainer::IsBundle() const noexcept {
    return documentForm_ && documentForm_->FormType() == kIdDJVM;
}

int CDjVuContainer::CountPages() const noexcept {
    if (IsBundle()) {
        // The directory's page list; not read yet, so a bundle has no pages.
        return 0;
    }
    return static_cast<int>(pages_.size());
}

RefPtr<CDjVuPage> CDjVuContainer::GetPageObject(int index) {
    if (IsBundle() || index < 0 || static_cast<std::size_t>(index) >= pages_.size()) {
        return nullptr;
    }
    return pages_[static_cast<std::size_t>(index)];
}

}  // namespace vyrd
