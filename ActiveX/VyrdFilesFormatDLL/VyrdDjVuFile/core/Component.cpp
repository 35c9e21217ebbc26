#include "Component.h"

#include "AnnotationText.h"
#include "JB2Decoder.h"

#include <cassert>
#include <utility>

namespace vyrd {

CDjVuComponent::CDjVuComponent(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form)
    : bytes_(std::move(bytes)), form_(std::move(form)) {
    assert(form_ && form_->FormType() == kIdDJVI);
}

RefPtr<CJB2Dictionary> CDjVuIncludedFile::GetShapeDictionary() {
    if (!decoded_) {
        dictionary_ = DecodeDictionaryChunks(Chunks());
        decoded_ = true;
    }
    return dictionary_;
}

void CDjVuIncludedFile::ReleaseShapeDictionary() noexcept {
    dictionary_.reset();
    decoded_ = false;
}

RefPtr<CJB2Dictionary> DecodeDictionaryChunks(const std::vector<CIffChunk>& chunks) {
    RefPtr<CJB2Dictionary> dictionary;
    CJB2Decoder decoder;
    for (const CIffChunk& chunk : chunks) {
        if (chunk.Id() != kIdDjbz) {
            continue;
        }
        if (!dictionary) {
            dictionary = MakeRef<CJB2Dictionary>();
        }
        // A damaged stream still contributes the shapes decoded before the
        // damage, so that the numbers of later chunks stay where they were.
        decoder.DecodeStream(chunk.Data(), JB2StreamKind::kDictionary);
        dictionary->AddChild(decoder.GetLibrary());
    }
    return dictionary;
}

RefPtr<CIffForm> FindComponentForm(const CDocumentBytes& bytes, const CDirEntry* entry,
                                   uint32_t formType) {
    if (entry == nullptr) {
        return nullptr;
    }
    // Offsets count from the first byte of the file, the magic included. Both
    // values are below 2^32, so the sum cannot overflow 64 bits.
    const CByteRange& file = bytes.Bytes();
    if (uint64_t{entry->offset} + entry->size > file.Length()) {
        return nullptr;
    }
    RefPtr<CIffForm> form = CIffForm::Parse(CIffChunk::Read(file, entry->offset));
    if (!form || form->FormType() != formType) {
        return nullptr;
    }
    return form;
}

const std::u16string& CDjVuSharedAnnotations::GetAnnotationText() {
    if (!annotationText_) {
        annotationText_ = ReadAnnotationChunks(Chunks());
    }
    return *annotationText_;
}

}  // namespace vyrd
