#include "DjVuPage.h"

#include "IW44Decoder.h"
#include "JB2Decoder.h"
#include "Platform.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace vyrd {

CDjVuPage::CDjVuPage(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form,
                     RefPtr<CIncludedFiles> includedFiles)
    : bytes_(std::move(bytes)), form_(std::move(form)), includedFiles_(std::move(includedFiles)) {
    assert(form_ && form_->FormType() == kIdDJVU);
}

RefPtr<CPageInfo> CDjVuPage::GetInfo() {
    if (!infoParsed_) {
        infoParsed_ = true;
        // Only the first chunk counts: INFO elsewhere in the page is ignored.
        const std::vector<CIffChunk>& chunks = Chunks();
        if (!chunks.empty() && chunks.front().Id() == kIdINFO) {
            info_ = CPageInfo::Parse(chunks.front().Data());
        }
    }
    return info_;
}

RefPtr<CPageTextLayer> CDjVuPage::GetText() {
    const CIffChunk txtz = form_->FindFirst(kIdTXTz);
    if (!txtz.IsValid()) {
        return nullptr;
    }
    // Without INFO the page has no height to turn the zones top-down with and
    // cannot be shown; its text is not offered either.
    const RefPtr<CPageInfo> info = GetInfo();
    if (!info) {
        return nullptr;
    }
    TextLayerPlacement placement;
    placement.pageHeight = info->height;
    placement.topDown = (info->orientation & 1) != 0;
    return CPageTextLayer::Decode(txtz.Data(), placement);
}

const std::vector<std::u16string>& CDjVuPage::GetIncludeIds() {
    if (!includeIdsCollected_) {
        includeIdsCollected_ = true;
        for (const CIffChunk& chunk : Chunks()) {
            if (chunk.Id() != kIdINCL) {
                continue;
            }
            const std::span<const uint8_t> body = chunk.Data().Span();
            const auto end = std::find(body.begin(), body.end(), uint8_t{0});
            includeIds_.push_back(
                AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(body.data()),
                                             static_cast<std::size_t>(end - body.begin()))));
        }
    }
    return includeIds_;
}

RefPtr<CJB2Dictionary> CDjVuPage::GetShapeDictionary() {
    if (shapeDictionary_) {
        return shapeDictionary_;
    }
    // Kept only once complete: a page whose build ran out of memory tries
    // again next time instead of keeping half its shapes.
    RefPtr<CJB2Dictionary> dictionary = MakeRef<CJB2Dictionary>();
    if (includedFiles_) {
        // A mask inherits the shapes of one shared dictionary: the first
        // included file that has one. Encoders number a page's own shapes
        // after that dictionary's, so the shapes of any further included file
        // must not come in between (files that include two dictionaries exist,
        // and every reader shows them this way). A file that cannot be found
        // contributes nothing.
        for (const std::u16string& id : GetIncludeIds()) {
            if (RefPtr<CJB2Dictionary> shared = includedFiles_->DictionaryOf(id)) {
                dictionary->AddChild(std::move(shared));
                break;
            }
        }
    }
    if (RefPtr<CJB2Dictionary> own = DecodeDictionaryChunks(Chunks())) {
        dictionary->AddChild(std::move(own));
    }
    dictionary->Flatten();
    shapeDictionary_ = dictionary;
    return dictionary;
}

RefPtr<CJB2Layer> CDjVuPage::DecodeMask() {
    const CIffChunk mask = form_->FindFirst(kIdSjbz);
    if (!mask.IsValid()) {
        return nullptr;
    }
    CJB2Decoder decoder;
    decoder.SetInheritedDictionary(GetShapeDictionary());
    // A stream that stops early still shows what it placed before.
    decoder.DecodeStream(mask.Data(), JB2StreamKind::kPage);
    return decoder.GetImage();
}

RefPtr<CRasterImage> CDjVuPage::DecodeWaveletLayer(uint32_t chunkId) {
    CIW44Decoder decoder;
    for (const CIffChunk& chunk : Chunks()) {
        // The first chunk the decoder refuses ends the layer: what came before
        // still shows.
        if (chunk.Id() == chunkId && !decoder.DecodeChunk(chunk.Data())) {
            break;
        }
    }
    return decoder.MakeRaster();
}

RefPtr<CRasterImage> CDjVuPage::DecodeBackground() {
    return DecodeWaveletLayer(kIdBG44);
}

RefPtr<CRasterImage> CDjVuPage::DecodeForeground() {
    return DecodeWaveletLayer(kIdFG44);
}

RefPtr<CFgPalette> CDjVuPage::GetPalette() {
    const CIffChunk palette = form_->FindFirst(kIdFGbz);
    return palette.IsValid() ? CFgPalette::Parse(palette.Data()) : nullptr;
}

}  // namespace vyrd
