#include "Container.h"
#include "HResultError.h"

#include "IffBuilder.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace testiff;
using testfs::TempFile;
using vyrd::CDjVuContainer;
using vyrd::CDjVuPage;
using vyrd::MakeRef;
using vyrd::RefPtr;

std::vector<std::string> ChunkIds(const std::vector<vyrd::CIffChunk>& chunks) {
    std::vector<std::string> ids;
    for (const vyrd::CIffChunk& chunk : chunks) {
        ids.push_back(vyrd::ChunkIdToString(chunk.Id()));
    }
    return ids;
}

// A document opened over bytes the test keeps alive (declared before the
// container, so the container goes first).
struct MemoryDoc {
    explicit MemoryDoc(Bytes b) : bytes(std::move(b)) {
        result = doc->OpenDocumentFromMemory(bytes);
    }
    Bytes bytes;
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    int result = 0;
};

struct OpenCase {
    const char* name;
    Bytes bytes;
    int opens;
    int pages;
};

std::vector<OpenCase> OpenCases() {
    const Bytes info = Chunk("INFO", InfoBody(100, 50));
    const Bytes page = Form("DJVU", {info});
    return {
        {"exactly the magic", Text("AT&T"), 0, 0},
        {"shorter than the magic", Text("AT&"), 0, 0},
        {"wrong magic", Concat({Text("AT&U"), page}), 0, 0},
        {"magic in lower case", Concat({Text("at&t"), page}), 0, 0},
        {"single page", File({page}), 1, 1},
        {"garbage shorter than a chunk header", Concat({Text("AT&T"), Bytes{1, 2, 3}}), 0, 0},
        {"page followed by 5 bytes of garbage", Concat({File({page}), Bytes{1, 2, 3, 4, 5}}), 0, 0},
        {"page followed by another chunk", File({page, Chunk("JUNK", {1, 2})}), 1, 1},
        {"first chunk is not a FORM", File({info}), 1, 0},
        {"FORM of type DJVI", File({Form("DJVI", {info})}), 1, 0},
        {"FORM of unknown type", File({Form("ABCD", {info})}), 1, 0},
        {"FORM too short for a form type", File({Chunk("FORM", Text("DJ"))}), 1, 0},
        {"bundle with directory", File({Form("DJVM", {Chunk("DIRM", {0x81, 0, 0}), page})}), 1, 0},
        {"bundle without directory", File({Form("DJVM", {page})}), 1, 0},
        {"FORM length beyond the file",
         Concat({Text("AT&T"), RawChunk("FORM", 4000, Concat({Text("DJVU"), info}))}), 1, 1},
        {"FORM length with the top bit set",
         Concat({Text("AT&T"), RawChunk("FORM", 0x80000000u, Concat({Text("DJVU"), info}))}), 1, 1},
        {"empty page FORM", File({Form("DJVU", {})}), 1, 1},
    };
}

TEST(ContainerOpen, FromMemory) {
    for (const OpenCase& c : OpenCases()) {
        MemoryDoc d(c.bytes);
        EXPECT_EQ(d.result, c.opens) << c.name;
        EXPECT_EQ(d.doc->CountPages(), c.pages) << c.name;
    }
}

// The file path goes through the mapping; it must agree with memory.
TEST(ContainerOpen, FromFileAgreesWithMemory) {
    for (const OpenCase& c : OpenCases()) {
        TempFile file(c.bytes);
        RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
        EXPECT_EQ(doc->OpenDocument(file.U16()), c.opens) << c.name;
        EXPECT_EQ(doc->CountPages(), c.pages) << c.name;
    }
}

TEST(ContainerOpen, RefusesWhatCannotBeMapped) {
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    TempFile empty(Bytes{});
    EXPECT_EQ(doc->OpenDocument(empty.U16()), 0);
    EXPECT_EQ(doc->OpenDocument(TempFile::UniquePath(".missing").u16string()), 0);
    EXPECT_EQ(doc->OpenDocument(std::filesystem::temp_directory_path().u16string()), 0);
    EXPECT_EQ(doc->OpenDocument(u""), 0);
    EXPECT_EQ(doc->OpenDocumentFromMemory({}), 0);
    EXPECT_EQ(doc->CountPages(), 0);
}

TEST(ContainerOpen, BrokenTopLevelSequenceLeavesNoChunks) {
    MemoryDoc d(Concat({File({Form("DJVU", {})}), Bytes{1, 2, 3}}));
    EXPECT_EQ(d.result, 0);
    ASSERT_NE(d.doc->TopLevelChunks(), nullptr);
    EXPECT_FALSE(d.doc->TopLevelChunks()->IsValid());
    EXPECT_TRUE(d.doc->TopLevelChunks()->Chunks().empty());
    EXPECT_EQ(d.doc->DocumentForm(), nullptr);
    EXPECT_EQ(d.doc->GetPageObject(0), nullptr);
}

TEST(ContainerStructure, FormLengthBeyondTheFileReadsToTheEnd) {
    const Bytes info = Chunk("INFO", InfoBody(100, 50));
    // The last child also claims more than there is: clamped to the FORM's end.
    MemoryDoc d(Concat(
        {Text("AT&T"),
         RawChunk("FORM", 5000, Concat({Text("DJVU"), info, RawChunk("TXTz", 900, {1, 2, 3})}))}));
    ASSERT_EQ(d.result, 1);
    RefPtr<CDjVuPage> page = d.doc->GetPageObject(0);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Form().Chunk().Data().Length(), 4u + info.size() + 11u);
    ASSERT_EQ(ChunkIds(page->Chunks()), (std::vector<std::string>{"INFO", "TXTz"}));
    EXPECT_EQ(page->Chunks()[1].Data().Length(), 3u);
    EXPECT_EQ(page->Chunks()[1].Data().Data()[2], 3);
    ASSERT_TRUE(page->GetInfo());
    EXPECT_EQ(page->GetInfo()->width, 100);
}

TEST(ContainerStructure, LengthWithTopBitSetIsClampedToTheRest) {
    MemoryDoc d(File({Form(
        "DJVU", {Chunk("INFO", InfoBody(8, 9)), RawChunk("BG44", 0xFFFFFFF0u, {7, 7, 7, 7})})}));
    ASSERT_EQ(d.result, 1);
    const auto& chunks = d.doc->GetPageObject(0)->Chunks();
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1].Data().Length(), 4u);
}

TEST(ContainerStructure, OddChunkIsFollowedByItsPadByte) {
    MemoryDoc d(File({Form("DJVU", {Chunk("INFO", InfoBody(10, 10)), Chunk("ODD1", {1, 2, 3}),
                                    Chunk("NEXT", {4, 5})})}));
    ASSERT_EQ(d.result, 1);
    const auto& chunks = d.doc->GetPageObject(0)->Chunks();
    ASSERT_EQ(ChunkIds(chunks), (std::vector<std::string>{"INFO", "ODD1", "NEXT"}));
    EXPECT_EQ(chunks[1].Data().Length(), 3u);
    EXPECT_EQ(chunks[2].Data().Length(), 2u);
    EXPECT_EQ(chunks[2].Data().Data()[0], 4);
    // The header of NEXT starts after the pad: 4 (type) + 18 (INFO) + 11 + 1.
    EXPECT_EQ(chunks[2].Offset(), 34u);
}

TEST(ContainerStructure, OddTopLevelChunkIsPaddedToo) {
    // Pad bytes count from the start of the top-level sequence (after "AT&T").
    MemoryDoc d(File({Chunk("ODD3", {1, 2, 3}), Form("DJVU", {})}));
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(ChunkIds(d.doc->TopLevelChunks()->Chunks()),
              (std::vector<std::string>{"ODD3", "FORM"}));
    EXPECT_EQ(d.doc->CountPages(), 0) << "only the first top-level chunk can be the page";
}

TEST(ContainerStructure, FormWithTrailingBytesHasNoChildren) {
    // INFO, then 5 bytes: too few for another header, so the FORM has no children.
    MemoryDoc d(File({Form("DJVU", {Chunk("INFO", InfoBody(10, 10)), Bytes{1, 2, 3, 4, 5, 0}})}));
    ASSERT_EQ(d.result, 1);
    EXPECT_EQ(d.doc->CountPages(), 1);
    RefPtr<CDjVuPage> page = d.doc->GetPageObject(0);
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->Chunks().empty());
    EXPECT_EQ(page->GetInfo(), nullptr);
}

TEST(ContainerStructure, BundleKeepsItsDirectoryAndOutlineChunks) {
    const Bytes page = Form("DJVU", {Chunk("INFO", InfoBody(10, 10))});
    {
        // A directory of no components: nothing to decompress.
        MemoryDoc d(File({Form("DJVM", {Chunk("DIRM", {0x81, 0, 0}), Chunk("NAVM", {9}), page})}));
        ASSERT_EQ(d.result, 1);
        ASSERT_NE(d.doc->DocumentForm(), nullptr);
        EXPECT_EQ(d.doc->DocumentForm()->FormType(), vyrd::kIdDJVM);
        EXPECT_EQ(d.doc->DirectoryChunk().Id(), vyrd::kIdDIRM);
        EXPECT_EQ(d.doc->DirectoryChunk().Data().Length(), 3u);
        EXPECT_EQ(d.doc->OutlineChunk().Id(), vyrd::kIdNAVM);
        ASSERT_NE(d.doc->Directory(), nullptr);
        EXPECT_TRUE(d.doc->Directory()->SelfContained());
        EXPECT_EQ(d.doc->CountPages(), 0);
        EXPECT_EQ(d.doc->GetPageObject(0), nullptr);
    }
    {
        // NAVM counts only as the second child, DIRM only as the first.
        MemoryDoc d(File({Form("DJVM", {Chunk("NAVM", {9}), Chunk("DIRM", {0x81, 0, 1})})}));
        ASSERT_EQ(d.result, 1);
        EXPECT_FALSE(d.doc->DirectoryChunk().IsValid());
        EXPECT_FALSE(d.doc->OutlineChunk().IsValid());
        EXPECT_EQ(d.doc->Directory(), nullptr);
        EXPECT_EQ(d.doc->CountPages(), 0);
    }
    {
        // One component promised and no string table to name it: refused.
        RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
        const Bytes bytes = File({Form("DJVM", {Chunk("DIRM", {0x81, 0, 1}), page})});
        EXPECT_THROW(doc->OpenDocumentFromMemory(bytes), vyrd::HResultError);
        EXPECT_EQ(doc->DocumentForm(), nullptr);
    }
}

TEST(ContainerPages, IndexOutsideThePageListGivesNothing) {
    MemoryDoc d(SinglePage(10, 20));
    ASSERT_EQ(d.result, 1);
    for (int index : {-1, 1, 2, INT_MAX, INT_MIN}) {
        EXPECT_EQ(d.doc->GetPageObject(index), nullptr) << index;
    }
    RefPtr<CDjVuPage> first = d.doc->GetPageObject(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(d.doc->GetPageObject(0), first) << "pages are cached";
}

TEST(ContainerLifecycle, CloseThenReopen) {
    TempFile one(SinglePage(10, 20));
    TempFile bundle(File({Form("DJVM", {Chunk("DIRM", {0x81, 0, 0})})}));
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    ASSERT_EQ(doc->OpenDocument(one.U16()), 1);
    EXPECT_EQ(doc->CountPages(), 1);
    doc->CloseDocument();
    EXPECT_EQ(doc->CountPages(), 0);
    EXPECT_EQ(doc->GetPageObject(0), nullptr);
    EXPECT_EQ(doc->TopLevelChunks(), nullptr);
    doc->CloseDocument();  // twice is harmless
    ASSERT_EQ(doc->OpenDocument(one.U16()), 1);
    EXPECT_EQ(doc->CountPages(), 1);
    // Opening another document replaces the first.
    ASSERT_EQ(doc->OpenDocument(bundle.U16()), 1);
    EXPECT_EQ(doc->CountPages(), 0);
    ASSERT_EQ(doc->OpenDocument(one.U16()), 1);
    // A failed open leaves nothing open, also after a successful one.
    EXPECT_EQ(doc->OpenDocument(TempFile::UniquePath(".missing").u16string()), 0);
    EXPECT_EQ(doc->CountPages(), 0);
    EXPECT_EQ(doc->GetPageObject(0), nullptr);
}

TEST(ContainerLifecycle, PageOutlivesClose) {
    TempFile file(SinglePage(31, 17, 150));
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    ASSERT_EQ(doc->OpenDocument(file.U16()), 1);
    RefPtr<CDjVuPage> page = doc->GetPageObject(0);
    ASSERT_TRUE(page);
    doc->CloseDocument();
    doc.reset();
    // The page still holds the mapped bytes its chunks point into.
    RefPtr<vyrd::CPageInfo> info = page->GetInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 31);
    EXPECT_EQ(info->height, 17);
    EXPECT_EQ(info->dpi, 150);
}

}  // namespace
