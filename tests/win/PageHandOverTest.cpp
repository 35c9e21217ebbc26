// GetPage seen from the page image's side: a stand-in for the page image class,
// registered in this process under the class identifier the reader creates,
// records every slot call. That shows the order and values of the hand-over,
// and what happens to the pixel block when the image refuses it.

#include "Contract.h"
#include "IffBuilder.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using namespace testwin;

struct SlotCall {
    int slot;
    LONG value;
    bool operator==(const SlotCall&) const = default;
};

// Shared by the stand-in objects of one test.
struct Recorder {
    std::vector<SlotCall> calls;
    BYTE* block = nullptr;  // what slot 20 was given
    HRESULT attachResult = S_OK;
    int liveObjects = 0;
};

// Methods in the order of the page image's table: IUnknown, IDispatch, then
// slots 7 to 20.
class FakePageImage final {
public:
    explicit FakePageImage(Recorder& recorder) : recorder_(recorder) { ++recorder_.liveObjects; }

    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == Guid(contract::kIidPageImage)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    virtual ULONG STDMETHODCALLTYPE AddRef() { return ++refs_; }
    virtual ULONG STDMETHODCALLTYPE Release() {
        const ULONG n = --refs_;
        if (n == 0) {
            Destroy();
        }
        return n;
    }
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                             EXCEPINFO*, UINT*) {
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE Get7(LONG*) { return Unexpected(7); }
    virtual HRESULT STDMETHODCALLTYPE Put8(LONG v) { return Record(8, v); }
    virtual HRESULT STDMETHODCALLTYPE Get9(LONG*) { return Unexpected(9); }
    virtual HRESULT STDMETHODCALLTYPE Put10(LONG v) { return Record(10, v); }
    virtual HRESULT STDMETHODCALLTYPE Get11(LONG*) { return Unexpected(11); }
    virtual HRESULT STDMETHODCALLTYPE Put12(LONG v) { return Record(12, v); }
    virtual HRESULT STDMETHODCALLTYPE Get13(LONG*) { return Unexpected(13); }
    virtual HRESULT STDMETHODCALLTYPE Put14(LONG v) { return Record(14, v); }
    virtual HRESULT STDMETHODCALLTYPE Get15(LONG*) { return Unexpected(15); }
    virtual HRESULT STDMETHODCALLTYPE Put16(LONG v) { return Record(16, v); }
    virtual HRESULT STDMETHODCALLTYPE Slot17(LONG*) { return Unexpected(17); }
    virtual HRESULT STDMETHODCALLTYPE Slot18(BYTE**) { return Unexpected(18); }
    virtual HRESULT STDMETHODCALLTYPE Slot19(BYTE*, LONG) { return Unexpected(19); }
    virtual HRESULT STDMETHODCALLTYPE Attach20(BYTE* pixels, LONG bytes) {
        recorder_.calls.push_back({20, bytes});
        recorder_.block = pixels;
        if (FAILED(recorder_.attachResult)) {
            // A refusal with a description, as a real component would give it.
            ComPtr<ICreateErrorInfo> create;
            if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
                create->SetDescription(const_cast<LPOLESTR>(L"image refused the pixels"));
                ComPtr<IErrorInfo> info = create.As<IErrorInfo>(IID_IErrorInfo);
                SetErrorInfo(0, info.Get());
            }
            return recorder_.attachResult;
        }
        owned_ = pixels;
        return S_OK;
    }

private:
    // No virtual destructor: it would take table slots of its own. The class is
    // final, so deleting it as itself is exact.
    ~FakePageImage() = default;
    void Destroy() {
        if (owned_) {
            HeapFree(GetProcessHeap(), 0, owned_);
        }
        --recorder_.liveObjects;
        delete this;
    }
    HRESULT Record(int slot, LONG value) {
        recorder_.calls.push_back({slot, value});
        return S_OK;
    }
    HRESULT Unexpected(int slot) {
        ADD_FAILURE() << "the reader called slot " << slot;
        return E_UNEXPECTED;
    }

    Recorder& recorder_;
    ULONG refs_ = 1;
    BYTE* owned_ = nullptr;
};

class FakeFactory final : public IClassFactory {
public:
    explicit FakeFactory(Recorder& recorder) : recorder_(recorder) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        EXPECT_EQ(outer, nullptr);
        auto* image = new FakePageImage(recorder_);
        const HRESULT hr = image->QueryInterface(iid, ppv);
        image->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    Recorder& recorder_;
};

// The stand-in replaces the page image class for this process while it lives.
class PageHandOver : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoRegisterClassObject(Guid(contract::kClsidPageImage), &factory_,
                                        CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_),
                  S_OK);
        ASSERT_TRUE(file_.Get());
    }
    void TearDown() override {
        file_ = RawVyrdFile(nullptr);
        CoRevokeClassObject(cookie_);
    }

    Recorder recorder_;
    FakeFactory factory_{recorder_};
    DWORD cookie_ = 0;
    RawVyrdFile file_ = RawVyrdFile::Create();
};

TEST_F(PageHandOver, SlotsAreCalledInTheContractsOrder) {
    TempFile doc(testiff::SinglePage(37, 23));
    ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
    IUnknown* image = nullptr;
    ASSERT_EQ(file_.GetPage(0, 1.0, &image), S_OK);
    ASSERT_NE(image, nullptr);
    // Width, height; pixel type and row bytes of a bilevel page; bottom-up
    // flag; then the pixel block of one byte per pixel.
    const std::vector<SlotCall> expected = {
        {10, 37}, {12, 23}, {8, 3}, {14, 37}, {16, 2}, {20, 37 * 23},
    };
    EXPECT_EQ(recorder_.calls, expected);
    ASSERT_NE(recorder_.block, nullptr);
    EXPECT_TRUE(IsBusyProcessHeapBlock(recorder_.block));
    // The reader returns the object's IUnknown and keeps no reference of its own.
    EXPECT_EQ(recorder_.liveObjects, 1);
    EXPECT_EQ(image->Release(), 0u);
    EXPECT_EQ(recorder_.liveObjects, 0);
    EXPECT_FALSE(IsBusyProcessHeapBlock(recorder_.block));
}

TEST_F(PageHandOver, RefusedPixelsEndTheCallWithTheImagesError) {
    recorder_.attachResult = E_ACCESSDENIED;
    TempFile doc(testiff::SinglePage(16, 8));
    ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
    SetErrorInfo(0, nullptr);
    IUnknown* image = reinterpret_cast<IUnknown*>(0x10);
    EXPECT_EQ(file_.GetPage(0, 1.0, &image), E_ACCESSDENIED);
    EXPECT_EQ(image, nullptr);
    // The image did not take the block, so the reader freed it; the image
    // object itself is gone as well.
    ASSERT_NE(recorder_.block, nullptr);
    EXPECT_FALSE(IsBusyProcessHeapBlock(recorder_.block));
    EXPECT_EQ(recorder_.liveObjects, 0);
    // The image's description of the failure reaches the caller.
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
    ASSERT_TRUE(info);
    BSTR description = nullptr;
    ASSERT_EQ(info->GetDescription(&description), S_OK);
    EXPECT_STREQ(description, L"image refused the pixels");
    SysFreeString(description);

    // The object is still usable: the lock was released and the next call works.
    recorder_.attachResult = S_OK;
    recorder_.calls.clear();
    ASSERT_EQ(file_.GetPage(0, 1.0, &image), S_OK);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(recorder_.calls.size(), 6u);
    image->Release();
}

}  // namespace
