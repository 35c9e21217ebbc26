// The page image class of VyrdViewer.dll, through its vtable slots: the values
// readers set, and the ownership of the pixel block handed to it.

#include "Contract.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace testwin;

BYTE* NewHeapBlock(SIZE_T bytes, BYTE fill) {
    auto* block = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    EXPECT_NE(block, nullptr);
    if (block) {
        std::memset(block, fill, bytes);
    }
    return block;
}

TEST(PageImage, StartsEmpty) {
    RawPageImage image = RawPageImage::Create();
    ASSERT_TRUE(image.Get());
    for (int slot :
         {kGetPixelType, kGetWidth, kGetHeight, kGetBytesPerRow, kGetFlags, kGetByteCount}) {
        EXPECT_EQ(image.GetLong(slot), 0) << "slot " << slot;
    }
    EXPECT_EQ(image.Pixels(), nullptr);
}

TEST(PageImage, GettersReturnWhatWasSet) {
    struct Case {
        int put;
        int get;
        LONG value;
    };
    const Case cases[] = {
        {kPutPixelType, kGetPixelType, 1},
        {kPutPixelType, kGetPixelType, 3},
        {kPutWidth, kGetWidth, 2539},
        {kPutHeight, kGetHeight, 3295},
        {kPutBytesPerRow, kGetBytesPerRow, 7617},
        {kPutFlags, kGetFlags, 2},
        {kPutWidth, kGetWidth, -1},
        {kPutFlags, kGetFlags, 0x7FFFFFFF},
    };
    RawPageImage image = RawPageImage::Create();
    ASSERT_TRUE(image.Get());
    for (const Case& c : cases) {
        EXPECT_EQ(image.PutLong(c.put, c.value), S_OK);
        EXPECT_EQ(image.GetLong(c.get), c.value) << "slot " << c.get;
    }
    // Each property is its own: setting one left the others as last set.
    EXPECT_EQ(image.GetLong(kGetPixelType), 3);
    EXPECT_EQ(image.GetLong(kGetHeight), 3295);
    EXPECT_EQ(image.GetLong(kGetBytesPerRow), 7617);
}

TEST(PageImage, AttachedBlockBelongsToTheImage) {
    RawPageImage image = RawPageImage::Create();
    ASSERT_TRUE(image.Get());
    BYTE* block = NewHeapBlock(4096, 0x5A);
    ASSERT_TRUE(IsBusyProcessHeapBlock(block));
    ASSERT_EQ(image.Attach(block, 4096), S_OK);
    EXPECT_EQ(image.Pixels(), block);
    EXPECT_EQ(image.GetLong(kGetByteCount), 4096);
    EXPECT_EQ(block[4095], 0x5A);  // taken as it is, not copied
    EXPECT_TRUE(IsBusyProcessHeapBlock(block));
    image.Reset();
    EXPECT_FALSE(IsBusyProcessHeapBlock(block));
}

TEST(PageImage, AttachingTheHeldBlockAgainKeepsIt) {
    RawPageImage image = RawPageImage::Create();
    BYTE* block = NewHeapBlock(1000, 1);
    ASSERT_EQ(image.Attach(block, 1000), S_OK);
    ASSERT_EQ(image.Attach(block, 500), S_OK);
    EXPECT_TRUE(IsBusyProcessHeapBlock(block));
    EXPECT_EQ(image.Pixels(), block);
    EXPECT_EQ(image.GetLong(kGetByteCount), 500);
    image.Reset();
    EXPECT_FALSE(IsBusyProcessHeapBlock(block));
}

TEST(PageImage, AttachingAnotherBlockFreesTheFirst) {
    RawPageImage image = RawPageImage::Create();
    BYTE* first = NewHeapBlock(1000, 1);
    BYTE* second = NewHeapBlock(2000, 2);
    ASSERT_EQ(image.Attach(first, 1000), S_OK);
    ASSERT_EQ(image.Attach(second, 2000), S_OK);
    EXPECT_FALSE(IsBusyProcessHeapBlock(first));
    EXPECT_TRUE(IsBusyProcessHeapBlock(second));
    // Null lets go of the block.
    ASSERT_EQ(image.Attach(nullptr, 0), S_OK);
    EXPECT_FALSE(IsBusyProcessHeapBlock(second));
    EXPECT_EQ(image.Pixels(), nullptr);
    EXPECT_EQ(image.GetLong(kGetByteCount), 0);
}

TEST(PageImage, RefusedBlockStaysWithTheCaller) {
    RawPageImage image = RawPageImage::Create();
    BYTE* block = NewHeapBlock(64, 0);
    EXPECT_EQ(image.Attach(block, -1), E_INVALIDARG);
    EXPECT_EQ(image.Pixels(), nullptr);
    image.Reset();
    EXPECT_TRUE(IsBusyProcessHeapBlock(block));
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, block));
}

TEST(PageImage, CopiedPixelsAreTheImagesOwn) {
    RawPageImage image = RawPageImage::Create();
    BYTE source[300];
    for (int i = 0; i < 300; ++i) {
        source[i] = static_cast<BYTE>(i);
    }
    ASSERT_EQ(image.Copy(source, 300), S_OK);
    BYTE* pixels = image.Pixels();
    ASSERT_NE(pixels, nullptr);
    EXPECT_NE(pixels, source);
    EXPECT_EQ(std::memcmp(pixels, source, 300), 0);
    EXPECT_TRUE(IsBusyProcessHeapBlock(pixels));
    image.Reset();
    EXPECT_FALSE(IsBusyProcessHeapBlock(pixels));
}

// Many hand-overs leave the process heap as it was: every block is freed once.
TEST(PageImage, RepeatedHandOversDoNotLeak) {
    auto busyBytes = [] {
        HANDLE heap = GetProcessHeap();
        SIZE_T total = 0;
        HeapLock(heap);
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                total += entry.cbData;
            }
        }
        HeapUnlock(heap);
        return total;
    };
    // Warm up COM's own caches first.
    RawPageImage::Create();
    const SIZE_T before = busyBytes();
    constexpr int kRounds = 10000;
    constexpr SIZE_T kBlock = 1024;
    for (int i = 0; i < kRounds; ++i) {
        RawPageImage image = RawPageImage::Create();
        ASSERT_TRUE(image.Get());
        ASSERT_EQ(image.Attach(NewHeapBlock(kBlock, 0), kBlock), S_OK);
    }
    const SIZE_T after = busyBytes();
    // Leaking the blocks would add kRounds * kBlock bytes (10 MB).
    EXPECT_LT(after, before + kRounds * kBlock / 100) << before << " -> " << after;
}

TEST(PageImage, AnswersItsInterfacesOnly) {
    RawPageImage image = RawPageImage::Create();
    ASSERT_TRUE(image.Get());
    struct Case {
        GUID iid;
        HRESULT expected;
    };
    const Case cases[] = {
        {IID_IUnknown, S_OK},
        {IID_IDispatch, S_OK},
        {Guid(contract::kIidPageImage), S_OK},
        {Guid(contract::kIidVyrdFile), E_NOINTERFACE},
        {Guid(contract::kIidViewerCtrl), E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        ComPtr<IUnknown> itf;
        EXPECT_EQ(image.Get()->QueryInterface(c.iid, itf.PutVoid()), c.expected);
        EXPECT_EQ(static_cast<bool>(itf), c.expected == S_OK);
    }
}

TEST(PageImage, ServerCanUnloadOnlyWithoutLiveObjects) {
    RawPageImage image = RawPageImage::Create();
    ASSERT_TRUE(image.Get());
    HMODULE module = GetModuleHandleW(contract::kViewerDll);
    ASSERT_NE(module, nullptr);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = reinterpret_cast<CanUnloadNow>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    RawPageImage second = RawPageImage::Create();
    image.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    second.Reset();
    EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
