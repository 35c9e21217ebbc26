#pragma once
// One page of a document: a FORM of type DJVU and its layer chunks.

#include "DocumentBytes.h"
#include "IffChunk.h"
#include "PageInfo.h"
#include "RefCounted.h"

#include <string>
#include <vector>

namespace vyrd {

// Created by the container on first request and cached until the document is
// closed. Holds a reference to the document's bytes, so its chunk ranges stay
// readable as long as the page lives. Used by one thread at a time.
class CDjVuPage final : public CRefCounted {
public:
    static constexpr uint32_t kFormType = kIdDJVU;

    // `form` must be a FORM of type DJVU inside `bytes`.
    CDjVuPage(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form);

    const CIffForm& Form() const noexcept { return *form_; }
    // The direct children of the page FORM, in file order.
    const std::vector<CIffChunk>& Chunks() const noexcept { return form_->Children(); }

    // The page information, or null when the page's first chunk is not INFO (the
    // page then has no size and cannot be rendered). Parsed on the first call.
    RefPtr<CPageInfo> GetInfo();

    // The identifiers named by the page's INCL chunks, in file order: each
    // chunk's bytes up to its first zero byte, read in the ANSI code page like
    // the directory's identifiers. Collected on the first call.
    const std::vector<std::u16string>& GetIncludeIds();

private:
    RefPtr<CDocumentBytes> bytes_;
    RefPtr<CIffForm> form_;
    RefPtr<CPageInfo> info_;
    bool infoParsed_ = false;
    std::vector<std::u16string> includeIds_;
    bool includeIdsCollected_ = false;
};

}  // namespace vyrd
