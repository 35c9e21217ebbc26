#pragma once
// Component files of a multi-page document that pages share: included files
// (shape dictionaries) and shared annotations. Both are FORMs of type DJVI.

#include "Directory.h"
#include "DocumentBytes.h"
#include "IffChunk.h"
#include "JB2Dictionary.h"
#include "RefCounted.h"

#include <cstddef>
#include <utility>
#include <optional>
#include <string>
#include <vector>

namespace vyrd {

// A DJVI component inside the document's bytes. Holds a reference to those
// bytes, so its chunk ranges stay readable as long as it lives. Created by the
// container on first request and cached until the document is closed.
class CDjVuComponent : public CRefCounted {
public:
    static constexpr uint32_t kFormType = kIdDJVI;

    // `form` must be a FORM of type DJVI inside `bytes`.
    CDjVuComponent(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form);

    const CIffForm& Form() const noexcept { return *form_; }
    const std::vector<CIffChunk>& Chunks() const noexcept { return form_->Children(); }

private:
    RefPtr<CDocumentBytes> bytes_;
    RefPtr<CIffForm> form_;
};

// A component named by pages' INCL chunks for its shape dictionaries (Djbz).
class CDjVuIncludedFile final : public CDjVuComponent {
public:
    using CDjVuComponent::CDjVuComponent;

    // The shapes of all the file's Djbz chunks, one child dictionary per chunk
    // in file order (a new reference), or null when the file has none.
    // Decoded on the first call after construction or after
    // ReleaseShapeDictionary. Throws std::bad_alloc.
    RefPtr<CJB2Dictionary> GetShapeDictionary();

    // Drops the file's own reference to its decoded dictionary; holders of
    // references keep theirs.
    void ReleaseShapeDictionary() noexcept;

private:
    RefPtr<CJB2Dictionary> dictionary_;
    bool decoded_ = false;
};

// A component whose annotations (ANTa, ANTz) apply to every page that
// includes it.
class CDjVuSharedAnnotations final : public CDjVuComponent {
public:
    using CDjVuComponent::CDjVuComponent;

    // The texts of the component's ANTa chunks, then of its ANTz chunks
    // (AnnotationText.h). Read on the first call and kept. Throws
    // std::bad_alloc only.
    const std::u16string& GetAnnotationText();

private:
    std::optional<std::u16string> annotationText_;
};

// The shapes of every Djbz chunk in `chunks`, decoded in order, each chunk's
// library a child of the returned dictionary; null when there is no Djbz
// chunk. Throws std::bad_alloc.
RefPtr<CJB2Dictionary> DecodeDictionaryChunks(const std::vector<CIffChunk>& chunks);

// The FORM of type `formType` that a directory entry points at inside the
// document, or null when the entry is null, reaches past the end of the file or
// leads to something else.
RefPtr<CIffForm> FindComponentForm(const CDocumentBytes& bytes, const CDirEntry* entry,
                                   uint32_t formType);

// The object for a position of a directory list, created with
// `make(form)` on first request and kept in `cache`; null when the position is
// outside the list or its component cannot be found (see FindComponentForm).
template <class T, class Make>
RefPtr<T> GetCachedComponent(std::vector<RefPtr<T>>& cache, const CDocumentBytes& bytes,
                             const CDirList& list, int position, Make&& make) {
    const CDirEntry* entry = list.At(position);
    if (entry == nullptr) {
        return nullptr;
    }
    const auto slot = static_cast<std::size_t>(position);
    if (cache.size() <= slot) {
        cache.resize(slot + 1);
    }
    if (!cache[slot]) {
        RefPtr<CIffForm> form = FindComponentForm(bytes, entry, T::kFormType);
        if (!form) {
            return nullptr;
        }
        cache[slot] = make(std::move(form));
    }
    return cache[slot];
}

}  // namespace vyrd
