#include "DjVuPage.h"

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

}  // namespace vyrd
