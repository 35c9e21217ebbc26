#include "IncludedFiles.h"

#include <algorithm>
#include <utility>

namespace vyrd {

CIncludedFiles::CIncludedFiles(RefPtr<CDocumentBytes> bytes, RefPtr<CDjVuDirectory> directory)
    : bytes_(std::move(bytes)), directory_(std::move(directory)) {}

RefPtr<CDjVuIncludedFile> CIncludedFiles::At(int position) {
    return GetCachedComponent(files_, *bytes_, directory_->Includes(), position,
                              [this](RefPtr<CIffForm> form) {
                                  return MakeRef<CDjVuIncludedFile>(bytes_, std::move(form));
                              });
}

RefPtr<CJB2Dictionary> CIncludedFiles::DictionaryOf(const std::u16string& id) {
    const RefPtr<CDjVuIncludedFile> file = At(directory_->Includes().Find(id));
    if (!file) {
        return nullptr;
    }
    RefPtr<CJB2Dictionary> dictionary = file->GetShapeDictionary();
    MarkUsed(file);
    return dictionary;
}

void CIncludedFiles::MarkUsed(const RefPtr<CDjVuIncludedFile>& file) {
    // The file joins at the newest end and leaves any older place; the list
    // then never holds it twice, so the oldest entry evicted is another file.
    recent_.push_back(file);
    recent_.erase(std::remove(recent_.begin(), recent_.end() - 1, file), recent_.end() - 1);
    while (recent_.size() > kRecentLimit) {
        recent_.front()->ReleaseShapeDictionary();
        recent_.pop_front();
    }
}

}  // namespace vyrd
