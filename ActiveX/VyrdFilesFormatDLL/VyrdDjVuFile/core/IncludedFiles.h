#pragma once
// The included files of a multi-page document and the shape dictionaries
// they lend to pages.

#include "Component.h"
#include "Directory.h"
#include "DocumentBytes.h"
#include "JB2Dictionary.h"
#include "RefCounted.h"

#include <deque>
#include <string>
#include <vector>

namespace vyrd {

// Shared by the container and its pages, so that pages still alive after the
// document closes keep everything they read from. Only the most recently used
// files keep their decoded dictionaries: decoding them is the expensive part,
// and a document may include hundreds. Used by one thread at a time.
class CIncludedFiles final : public CRefCounted {
public:
    // How many files keep their decoded dictionary at a time.
    static constexpr std::size_t kRecentLimit = 5;

    CIncludedFiles(RefPtr<CDocumentBytes> bytes, RefPtr<CDjVuDirectory> directory);

    // The file at a position of the directory's include list (a new
    // reference), or null when the position is outside the list, the
    // component reaches past the end of the file or is not a DJVI form.
    RefPtr<CDjVuIncludedFile> At(int position);

    // The shape dictionary of the file that `id` names (a new reference), or
    // null when no usable file has that identifier or it has no Djbz chunk.
    // The file becomes the most recently used one; the least recently used
    // beyond the limit gives up its decoded dictionary (pages built from it
    // keep their own references). Throws std::bad_alloc.
    RefPtr<CJB2Dictionary> DictionaryOf(const std::u16string& id);

private:
    void MarkUsed(const RefPtr<CDjVuIncludedFile>& file);

    RefPtr<CDocumentBytes> bytes_;
    RefPtr<CDjVuDirectory> directory_;
    std::vector<RefPtr<CDjVuIncludedFile>> files_;
    std::deque<RefPtr<CDjVuIncludedFile>> recent_;
};

}  // namespace vyrd
