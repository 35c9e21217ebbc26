#include "DocumentBytes.h"

namespace vyrd {

RefPtr<CDocumentBytes> CDocumentBytes::MapFile(const std::u16string& path) {
    RefPtr<CDocumentBytes> doc = RefPtr<CDocumentBytes>::Adopt(new CDocumentBytes());
    if (!doc->file_.Open(path)) {
        return nullptr;
    }
    doc->bytes_ = CByteRange(doc->file_.Data(), doc->file_.Size());
    return doc;
}

RefPtr<CDocumentBytes> CDocumentBytes::Borrow(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxMappedFileSize) {
        return nullptr;
    }
    RefPtr<CDocumentBytes> doc = RefPtr<CDocumentBytes>::Adopt(new CDocumentBytes());
    doc->bytes_ = CByteRange(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return doc;
}

}  // namespace vyrd
