#pragma once
// The annotation text of pages and shared-annotation components: the UTF-8
// text of their ANTa chunks (plain) and ANTz chunks (BZZ-compressed), as
// UTF-16.

#include "IffChunk.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vyrd {

class CDjVuContainer;
class CDjVuPage;

inline constexpr uint32_t kIdANTa = ChunkId("ANTa");
inline constexpr uint32_t kIdANTz = ChunkId("ANTz");

// The most bytes one ANTz chunk may decompress to; the rest is dropped. Real
// annotations are a few kilobytes; this only stops a hostile chunk from
// filling memory.
inline constexpr uint32_t kMaxAnnotationChunkBytes = 16u << 20;

// The texts of all ANTa chunks of `chunks`, in order, followed by the texts of
// all ANTz chunks, in order, without separators. An ANTz chunk's text is its
// decompressed bytes up to the first 0 byte; a corrupt stream gives what it
// decoded. Throws std::bad_alloc only.
std::u16string ReadAnnotationChunks(const std::vector<CIffChunk>& chunks);

// The annotation text of the page at `pageIndex` of `document`: first the
// texts of the shared-annotation components named by the page's INCL chunks
// (in INCL order; identifiers missing from the directory's shared-annotation
// list contribute nothing), then the page's own chunks as above. Kept with the
// page object once computed. An unavailable page has no text. Throws
// std::bad_alloc only.
std::u16string PageAnnotationText(CDjVuContainer& document, int pageIndex);

}  // namespace vyrd
