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
    try {
        ReadStructure();
    } catch (...) {
        CloseDocument();
        throw;
    }
    return chunks_->IsValid() ? 1 : 0;
}

void CDjVuContainer::ReadStructure() {
    chunks_ = CIffChunkList::Read(bytes_->Bytes().From(sizeof(kMagic)));
    if (!chunks_->IsValid()) {
        // The mapping stays until the next CloseDocument, like the chunk list.
        return;
    }

    // A valid sequence over at least one byte holds at least one chunk.
    const CIffChunk& first = chunks_->Chunks().front();
    documentForm_ = CIffForm::Parse(first);
    if (IsBundle()) {
        const std::vector<CIffChunk>& children = documentForm_->Children();
        if (!children.empty() && children[0].Id() == kIdDIRM) {
            dirmChunk_ = children[0];
            directory_ = CDjVuDirectory::Parse(dirmChunk_.Data());
            includedFiles_ = MakeRef<CIncludedFiles>(bytes_, directory_);
        }
        if (children.size() > 1 && children[1].Id() == kIdNAVM) {
            navmChunk_ = children[1];
        }
    } else if (documentForm_ && documentForm_->FormType() == kIdDJVU) {
        pages_.push_back(MakeRef<CDjVuPage>(bytes_, documentForm_));
    }
}

void CDjVuContainer::CloseDocument() noexcept {
    pages_.clear();
    includedFiles_.reset();
    sharedAnnotations_.clear();
    directory_.reset();
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
        return directory_ ? directory_->Pages().Count() : 0;
    }
    return static_cast<int>(pages_.size());
}

RefPtr<CDjVuPage> CDjVuContainer::GetPageObject(int index) {
    if (!IsBundle()) {
        if (index < 0 || static_cast<std::size_t>(index) >= pages_.size()) {
            return nullptr;
        }
        return pages_[static_cast<std::size_t>(index)];
    }
    if (!directory_) {
        return nullptr;
    }
    return GetCachedComponent(
        pages_, *bytes_, directory_->Pages(), index, [this](RefPtr<CIffForm> form) {
            return MakeRef<CDjVuPage>(bytes_, std::move(form), includedFiles_);
        });
}

RefPtr<CDjVuIncludedFile> CDjVuContainer::GetIncludedFile(int position) {
    if (!includedFiles_) {
        return nullptr;
    }
    return includedFiles_->At(position);
}

RefPtr<CDjVuSharedAnnotations> CDjVuContainer::GetSharedAnnotations(int position) {
    if (!directory_) {
        return nullptr;
    }
    return GetCachedComponent(sharedAnnotations_, *bytes_, directory_->SharedAnnotations(),
                              position, [this](RefPtr<CIffForm> form) {
                                  return MakeRef<CDjVuSharedAnnotations>(bytes_, std::move(form));
                              });
}

}  // namespace vyrd
