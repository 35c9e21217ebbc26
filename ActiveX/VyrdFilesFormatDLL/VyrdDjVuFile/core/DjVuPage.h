#pragma once
// One page of a document: a FORM of type DJVU and its layer chunks.

#include "DocumentBytes.h"
#include "FgPalette.h"
#include "IffChunk.h"
#include "IncludedFiles.h"
#include "JB2Dictionary.h"
#include "JB2Layer.h"
#include "PageInfo.h"
#include "PageTextLayer.h"
#include "Raster.h"
#include "RefCounted.h"

#include <optional>
#include <string>
#include <vector>

namespace vyrd {

class CDjVuContainer;

// Created by the container on first request and cached until the document is
// closed. Holds a reference to the document's bytes, so its chunk ranges stay
// readable as long as the page lives. Used by one thread at a time.
class CDjVuPage final : public CRefCounted {
public:
    static constexpr uint32_t kFormType = kIdDJVU;

    // `form` must be a FORM of type DJVU inside `bytes`. `includedFiles` lends
    // the shape dictionaries the page's INCL chunks name; null for a document
    // without a directory.
    CDjVuPage(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form,
              RefPtr<CIncludedFiles> includedFiles = nullptr);

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

    // Every shape the page's mask may refer to, in number order: the shapes of
    // the included files (in INCL order), then those of the page's own Djbz
    // chunks. Built once, flat. Throws std::bad_alloc.
    RefPtr<CJB2Dictionary> GetShapeDictionary();

    // The page's bilevel layer from its first Sjbz chunk (later ones are
    // ignored), or null without one. A damaged stream gives the blits decoded
    // before the damage. Decoded anew on every call. Throws std::bad_alloc.
    RefPtr<CJB2Layer> DecodeMask();

    // The background (BG44 chunks) or foreground colour image (FG44 chunks):
    // all chunks of the kind, in file order, fed to one wavelet decoder until
    // it rejects one. YCC_PLANES or GRAY_PLANE at the image's own size; null
    // when the page has no such chunk or no chunk started an image. Decoded
    // anew on every call. Throws std::bad_alloc.
    RefPtr<CRasterImage> DecodeBackground();
    RefPtr<CRasterImage> DecodeForeground();

    // The palette of the page's first FGbz chunk, or null without one. Throws
    // std::bad_alloc.
    RefPtr<CFgPalette> GetPalette();

    // The hidden text layer, decoded from the page's first TXTz chunk (TXTa
    // is not read) on every call; the caller keeps it. Null when the page has
    // no TXTz, no INFO (nothing to place the zones on), or a stream that
    // yields no root zone. Zones are top-down when bit 0 of the INFO
    // orientation code is set, bottom-up otherwise. May throw std::bad_alloc.
    RefPtr<CPageTextLayer> GetText();

    // The annotation text of the page, shared annotations of the components it
    // includes first (AnnotationText.h). `document` is the container that
    // handed out this page. Computed on the first call and kept. Throws
    // std::bad_alloc only.
    const std::u16string& GetAnnotationText(CDjVuContainer& document);

private:
    RefPtr<CRasterImage> DecodeWaveletLayer(uint32_t chunkId);

    RefPtr<CDocumentBytes> bytes_;
    RefPtr<CIffForm> form_;
    RefPtr<CIncludedFiles> includedFiles_;
    RefPtr<CPageInfo> info_;
    bool infoParsed_ = false;
    std::vector<std::u16string> includeIds_;
    bool includeIdsCollected_ = false;
    RefPtr<CJB2Dictionary> shapeDictionary_;

    std::optional<std::u16string> annotationText_;
};

}  // namespace vyrd
