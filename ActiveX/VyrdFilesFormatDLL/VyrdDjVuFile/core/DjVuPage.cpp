#include "DjVuPage.h"

#include "Platform.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace vyrd {

CDjVuPage::CDjVuPage(RefPtr<CDocumentBytes> bytes, RefPtr<CIffForm> form)
    : bytes_(std::move(bytes)), form_(std::move(form)) {
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

}  // namespace vyrd
