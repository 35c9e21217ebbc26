#pragma once
// The bytes of one open document, shared by the container and its pages.

#include "ByteRange.h"
#include "Platform.h"
#include "RefCounted.h"

#include <span>
#include <string>

namespace vyrd {

// Either a read-only mapping of the document file, or memory that the caller
// owns (tests, fuzzing). Every chunk range of the document points into it; the
// container and each page object hold a reference, so the bytes outlive every
// object that can reach them. Immutable once created.
class CDocumentBytes final : public CRefCounted {
public:
    // Maps `path`; null when it cannot be mapped (see CMappedFile::Open).
    static RefPtr<CDocumentBytes> MapFile(const std::u16string& path);

    // Borrows `bytes`, which must stay unchanged and alive as long as this object.
    // Null when the size is 0 or above kMaxMappedFileSize, like a mapped file.
    static RefPtr<CDocumentBytes> Borrow(std::span<const uint8_t> bytes);

    const CByteRange& Bytes() const noexcept { return bytes_; }

private:
    CDocumentBytes() = default;

    CMappedFile file_;
    CByteRange bytes_;
};

}  // namespace vyrd
