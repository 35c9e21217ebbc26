#pragma once
// The DjVu document: the file's chunk structure and its pages.

#include "DjVuPage.h"
#include "DocumentBytes.h"
#include "IffChunk.h"
#include "RefCounted.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyrd {

class CDjVuDirectory;  // the multi-page directory (DIRM)

// A DjVu document, opened from a file or from memory. One container belongs to
// one reader object and is reused across opens: OpenDocument and CloseDocument
// fill and empty it. Not thread-safe: the reader object serialises its calls.
//
// Errors: opening returns 0 for every property of the file that makes it
// unreadable; std::bad_alloc and HResultError may escape from any call and
// leave the container closed or partly filled (CloseDocument always cleans up).
class CDjVuContainer final : public CRefCounted {
public:
    CDjVuContainer() = default;
    ~CDjVuContainer() override;

    // Closes whatever is open, maps the file and reads its structure.
    // Returns 1 on success, 0 when the file is missing, empty, 4 GiB or larger,
    // unmappable, 4 bytes or shorter, lacks the "AT&T" magic, or has a broken
    // top-level chunk sequence. A document without a usable page still opens.
    int OpenDocument(const std::u16string& path);

    // The same over bytes the caller owns: they must stay alive and unchanged
    // until CloseDocument and until every page object obtained is released.
    int OpenDocumentFromMemory(std::span<const uint8_t> bytes);

    // Releases the structure and every page; the page count becomes 0. The file
    // is unmapped once the last page object handed out is released as well.
    void CloseDocument() noexcept;

    // DJVM: the number of pages in the directory (0 without one); otherwise 1
    // for a single-page document and 0 when the file holds no usable page.
    int CountPages() const noexcept;

    // The page at a 0-based index (a new reference), or null when the index is
    // out of range or the page cannot be found.
    RefPtr<CDjVuPage> GetPageObject(int index);

    // The parsed multi-page directory, or null (single-page documents, and
    // bundles whose first child is not DIRM). Owned by the container.
    const CDjVuDirectory* Directory() const noexcept { return nullptr; }

    // Structure as read, for tools: the top-level chunks (null when closed) and
    // the document FORM (null when the first top-level chunk is not a FORM).
    const CIffChunkList* TopLevelChunks() const noexcept { return chunks_.get(); }
    const CIffForm* DocumentForm() const noexcept { return documentForm_.get(); }
    // The directory and outline chunks of a bundled document; invalid when absent.
    const CIffChunk& DirectoryChunk() const noexcept { return dirmChunk_; }
    const CIffChunk& OutlineChunk() const noexcept { return navmChunk_; }

private:
    int Open(RefPtr<CDocumentBytes> bytes);
    bool IsBundle() const noexcept;

    RefPtr<CDocumentBytes> bytes_;
    RefPtr<CIffChunkList> chunks_;
    RefPtr<CIffForm> documentForm_;
    CIffChunk dirmChunk_;
    CIffChunk navmChunk_;
    // By page index. A single-page document fills it on open; a bundle will fill
    // its slots on demand once the directory is read.
    std::vector<RefPtr<CDjVuPage>> pages_;
};

}  // namespace vyrd
