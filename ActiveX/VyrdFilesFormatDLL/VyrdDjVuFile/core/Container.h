#pragma once
// The DjVu document: the file's chunk structure and its pages.

#include "Component.h"
#include "Directory.h"
#include "DjVuPage.h"
#include "DocumentBytes.h"
#include "IffChunk.h"
#include "IncludedFiles.h"
#include "RefCounted.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyrd {

// A DjVu document, opened from a file or from memory. One container belongs to
// one reader object and is reused across opens: OpenDocument and CloseDocument
// fill and empty it. Not thread-safe: the reader object serialises its calls.
//
// Errors: opening returns 0 for every property of the file that makes it
// unreadable. A directory whose string table runs short makes OpenDocument
// throw HResultError(E_INVALIDARG); std::bad_alloc may escape from any call.
// An open that throws leaves the container closed.
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
    // out of range or the page cannot be found: a directory entry that reaches
    // past the end of the file or does not lead to a DJVU FORM (as in a
    // directory of separate files, whose offsets are all 0).
    RefPtr<CDjVuPage> GetPageObject(int index);

    // The component at a position of the directory's include list, or of its
    // shared-annotation list (a new reference), or null under the same rules as
    // pages, with form type DJVI. Cached until CloseDocument.
    RefPtr<CDjVuIncludedFile> GetIncludedFile(int position);
    RefPtr<CDjVuSharedAnnotations> GetSharedAnnotations(int position);

    // The parsed multi-page directory, or null (single-page documents, and
    // bundles whose first child is not DIRM). Owned by the container.
    const CDjVuDirectory* Directory() const noexcept { return directory_.get(); }

    // Structure as read, for tools: the top-level chunks (null when closed) and
    // the document FORM (null when the first top-level chunk is not a FORM).
    const CIffChunkList* TopLevelChunks() const noexcept { return chunks_.get(); }
    const CIffForm* DocumentForm() const noexcept { return documentForm_.get(); }
    // The directory and outline chunks of a bundled document; invalid when absent.
    const CIffChunk& DirectoryChunk() const noexcept { return dirmChunk_; }
    const CIffChunk& OutlineChunk() const noexcept { return navmChunk_; }

private:
    int Open(RefPtr<CDocumentBytes> bytes);
    void ReadStructure();
    bool IsBundle() const noexcept;

    RefPtr<CDocumentBytes> bytes_;
    RefPtr<CIffChunkList> chunks_;
    RefPtr<CIffForm> documentForm_;
    CIffChunk dirmChunk_;
    CIffChunk navmChunk_;
    RefPtr<CDjVuDirectory> directory_;
    // By page index. A single-page document fills it on open; a bundle fills
    // its slots on demand.
    std::vector<RefPtr<CDjVuPage>> pages_;
    // The include list's files, shared with the pages; null without a
    // directory.
    RefPtr<CIncludedFiles> includedFiles_;
    // By position in the directory's shared-annotation list.
    std::vector<RefPtr<CDjVuSharedAnnotations>> sharedAnnotations_;
};

}  // namespace vyrd
