#include "Container.h"
#include "PageInfo.h"

#include "IffBuilder.h"

#include <gtest/gtest.h>

namespace {

using namespace testiff;
using vyrd::CByteRange;
using vyrd::CPageInfo;
using vyrd::RefPtr;

struct InfoCase {
    const char* name;
    Bytes body;
    int width;
    int height;
    int version;
    int dpi;
    double gamma;
    int orientation;
    bool highFlag;
};

// Byte layout: width(2, BE) height(2, BE) minor major dpi(2, LE) gamma*10 flags.
const InfoCase kInfoCases[] = {
    {"full record",
     {0x09, 0xF6, 0x0C, 0xDF, 24, 0, 0x2C, 0x01, 22, 0x01},
     2550,
     3295,
     24,
     300,
     2.2,
     1,
     false},
    {"major version",
     {0, 10, 0, 20, 26, 1, 0x96, 0x00, 10, 0x03},
     10,
     20,
     26 + 256,
     150,
     1.0,
     3,
     false},
    {"orientation from version 22",
     {0, 1, 0, 1, 22, 0, 0x2C, 0x01, 22, 0x06},
     1,
     1,
     22,
     300,
     2.2,
     6,
     false},
    {"version 21 keeps orientation 1",
     {0, 1, 0, 1, 21, 0, 0x2C, 0x01, 22, 0x06},
     1,
     1,
     21,
     300,
     2.2,
     1,
     false},
    {"major 0xFF is absent",
     {0, 1, 0, 1, 21, 0xFF, 0x2C, 0x01, 22, 0x05},
     1,
     1,
     21,
     300,
     2.2,
     1,
     false},
    {"major 0xFF, minor 30",
     {0, 1, 0, 1, 30, 0xFF, 0x2C, 0x01, 22, 0x05},
     1,
     1,
     30,
     300,
     2.2,
     5,
     false},
    {"dpi low byte 0xFF is absent, gamma and flags still read",
     {0, 5, 0, 6, 24, 0, 0xFF, 0x01, 40, 0x82},
     5,
     6,
     24,
     300,
     4.0,
     2,
     true},
    {"dpi 20 is too low", {0, 5, 0, 6, 24, 0, 20, 0, 22, 1}, 5, 6, 24, 300, 2.2, 1, false},
    {"dpi 7000 is too high", {0, 5, 0, 6, 24, 0, 0x58, 0x1B, 22, 1}, 5, 6, 24, 300, 2.2, 1, false},
    {"dpi 25 and 6000 are kept", {0, 5, 0, 6, 24, 0, 25, 0, 22, 1}, 5, 6, 24, 25, 2.2, 1, false},
    {"dpi 6000", {0, 5, 0, 6, 24, 0, 0x70, 0x17, 22, 1}, 5, 6, 24, 6000, 2.2, 1, false},
    {"gamma 0 clamps to 0.3", {0, 5, 0, 6, 24, 0, 0x2C, 0x01, 0, 1}, 5, 6, 24, 300, 0.3, 1, false},
    {"gamma 255 clamps to 5.0",
     {0, 5, 0, 6, 24, 0, 0x2C, 0x01, 255, 1},
     5,
     6,
     24,
     300,
     5.0,
     1,
     false},
    {"high flag with other bits",
     {0, 5, 0, 6, 24, 0, 0x2C, 0x01, 22, 0xF9},
     5,
     6,
     24,
     300,
     2.2,
     1,
     true},
    // Without a flags byte the flags are 0, so from version 22 on orientation is 0.
    {"largest sizes", {0xFF, 0xFF, 0xFF, 0xFF, 24, 0}, 65535, 65535, 24, 300, 2.2, 0, false},
    {"6 bytes, version 21", {0, 5, 0, 6, 21, 0}, 5, 6, 21, 300, 2.2, 1, false},
    {"4 bytes keep every default", {0, 5, 0, 6}, 0, 0, 25, 300, 2.2, 1, false},
    {"empty", {}, 0, 0, 25, 300, 2.2, 1, false},
    {"5 bytes: version from byte 4 only", {0, 5, 0, 6, 26}, 5, 6, 26, 300, 2.2, 0, false},
    {"7 bytes: dpi needs both bytes", {0, 5, 0, 6, 24, 0, 100}, 5, 6, 24, 300, 2.2, 0, false},
    {"9 bytes: no flags byte", {0, 5, 0, 6, 24, 0, 100, 0, 30}, 5, 6, 24, 100, 3.0, 0, false},
    {"extra bytes are ignored",
     {0, 5, 0, 6, 24, 0, 100, 0, 30, 0x81, 0xFF, 0xFF},
     5,
     6,
     24,
     100,
     3.0,
     1,
     true},
};

TEST(PageInfo, ParsesEveryFieldItsLengthAllows) {
    for (const InfoCase& c : kInfoCases) {
        RefPtr<CPageInfo> info =
            CPageInfo::Parse(CByteRange(c.body.data(), uint32_t(c.body.size())));
        ASSERT_TRUE(info) << c.name;
        EXPECT_EQ(info->width, c.width) << c.name;
        EXPECT_EQ(info->height, c.height) << c.name;
        EXPECT_EQ(info->version, c.version) << c.name;
        EXPECT_EQ(info->dpi, c.dpi) << c.name;
        EXPECT_DOUBLE_EQ(info->gamma, c.gamma) << c.name;
        EXPECT_EQ(int(info->orientation), c.orientation) << c.name;
        EXPECT_EQ(info->highFlag, c.highFlag) << c.name;
    }
}

TEST(PageInfo, InvalidRangeGivesDefaults) {
    RefPtr<CPageInfo> info = CPageInfo::Parse(CByteRange());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 0);
    EXPECT_EQ(info->version, 25);
    EXPECT_EQ(info->dpi, 300);
}

// A page has information only when INFO is its first chunk.
TEST(PageInfo, OnlyTheFirstChunkCounts) {
    struct Case {
        const char* name;
        Bytes file;
        bool hasInfo;
        int width;
    };
    const Case cases[] = {
        {"INFO first", File({Form("DJVU", {Chunk("INFO", InfoBody(7, 8)), Chunk("Sjbz", {1})})}),
         true, 7},
        {"INFO second", File({Form("DJVU", {Chunk("Sjbz", {1}), Chunk("INFO", InfoBody(7, 8))})}),
         false, 0},
        {"no chunks", File({Form("DJVU", {})}), false, 0},
        {"short INFO", File({Form("DJVU", {Chunk("INFO", {0, 7})})}), true, 0},
    };
    for (const Case& c : cases) {
        RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocumentFromMemory(c.file), 1) << c.name;
        RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
        ASSERT_TRUE(page) << c.name;
        RefPtr<CPageInfo> info = page->GetInfo();
        EXPECT_EQ(bool(info), c.hasInfo) << c.name;
        if (info) {
            EXPECT_EQ(info->width, c.width) << c.name;
            EXPECT_EQ(page->GetInfo(), info) << "parsed once, then the same record";
        }
    }
}

}  // namespace
