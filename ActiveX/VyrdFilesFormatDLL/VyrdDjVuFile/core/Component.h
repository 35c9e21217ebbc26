#pragma once
// Component files of a multi-page document that pages share: included files
// (shape dictionaries) and shared annotations. Both are FORMs of type DJVI.

#include "DocumentBytes.h"
#include "IffChunk.h"
#include "RefCounted.h"

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
};

// A component whose annotations (ANTa, ANTz) apply to every page that
// includes it.
class CDjVuSharedAnnotations final : public CDjVuComponent {
public:
    using CDjVuComponent::CDjVuComponent;
};

}  // namespace vyrd
