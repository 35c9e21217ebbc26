// The RAII wrappers and helpers of ComSupport, each checked for its effect.

#include "Bstr.h"
#include "ClassFactory.h"
#include "ComBoundary.h"
#include "ComInit.h"
#include "ComModule.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "EventSink.h"
#include "HResultError.h"
#include "Registration.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <oleidl.h>

#include <new>
#include <stdexcept>
#include <thread>

namespace {

using namespace testwin;

// A plain counted object to watch references with.
class Counted final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
};

TEST(ComPtrTest, ReleasesItsReferenceWhenItGoes) {
    Counted object;
    {
        ComPtr<IUnknown> p = ComPtr<IUnknown>::Share(&object);
        EXPECT_EQ(object.refs, 2u);
        ComPtr<IUnknown> moved = std::move(p);
        EXPECT_FALSE(p);
        EXPECT_EQ(object.refs, 2u);  // moving hands the one reference over
    }
    EXPECT_EQ(object.refs, 1u);
}

TEST(ComPtrTest, ResetPutAssignAndDetach) {
    Counted a, b;
    ComPtr<IUnknown> p = ComPtr<IUnknown>::Share(&a);
    *p.Put() = &b;  // Put releases the old reference first
    b.AddRef();
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(b.refs, 2u);
    ComPtr<IUnknown> q = ComPtr<IUnknown>::Share(&a);
    p = std::move(q);  // assignment releases what p held
    EXPECT_EQ(b.refs, 1u);
    EXPECT_EQ(a.refs, 2u);
    IUnknown* raw = p.Detach();
    EXPECT_EQ(raw, &a);
    EXPECT_EQ(a.refs, 2u);  // the caller owns it now
    raw->Release();
    p = ComPtr<IUnknown>::Adopt(&a);
    a.AddRef();
    p.Reset();
    EXPECT_EQ(a.refs, 1u);
    EXPECT_FALSE(p);
}

TEST(ComPtrTest, AsQueriesAndHoldsTheResult) {
    EventSink sink(GUID_NULL);
    ComPtr<IUnknown> p = ComPtr<IUnknown>::Share(&sink);
    {
        ComPtr<IDispatch> d = p.As<IDispatch>(IID_IDispatch);
        EXPECT_EQ(d.Get(), static_cast<IDispatch*>(&sink));
        EXPECT_EQ(sink.Refs(), 3u);
        ComPtr<IClassFactory> none = p.As<IClassFactory>(IID_IClassFactory);
        EXPECT_FALSE(none);
    }
    EXPECT_EQ(sink.Refs(), 2u);
}

// Counts what the task allocator frees, to see Bstr give its string back.
class FreeSpy final : public IMallocSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T n) override { return n; }
    void* STDMETHODCALLTYPE PostAlloc(void* p) override { return p; }
    void* STDMETHODCALLTYPE PreFree(void* p, BOOL) override {
        freed.push_back(static_cast<BYTE*>(p));
        return p;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T n, void** out, BOOL) override {
        *out = p;
        return n;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override { return p; }
    void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T n, BOOL) override { return n; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    // Whether a block that holds the string `s` was freed (the BSTR header lies
    // just before the characters).
    bool FreedString(BSTR s) const {
        const BYTE* text = reinterpret_cast<const BYTE*>(s);
        for (const BYTE* block : freed) {
            if (block <= text && text - block <= 16) {
                return true;
            }
        }
        return false;
    }
    std::vector<BYTE*> freed;
};

class BstrTest : public testing::Test {
protected:
    void SetUp() override {
        // Freed strings must reach the allocator, not the string cache.
        using NoCache = void(WINAPI*)();
        auto noCache = reinterpret_cast<NoCache>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"oleaut32.dll"), "SetOaNoCache")));
        ASSERT_NE(noCache, nullptr);
        noCache();
        ASSERT_EQ(CoRegisterMallocSpy(&spy_), S_OK);
    }
    void TearDown() override { CoRevokeMallocSpy(); }

    FreeSpy spy_;
};

TEST_F(BstrTest, FreesItsStringWhenItGoes) {
    BSTR raw = nullptr;
    {
        Bstr s(L"page text");
        raw = s.Get();
        ASSERT_NE(raw, nullptr);
        EXPECT_EQ(s.View(), L"page text");
        EXPECT_FALSE(spy_.FreedString(raw));
    }
    EXPECT_TRUE(spy_.FreedString(raw));
}

TEST_F(BstrTest, MoveDetachAndPut) {
    Bstr a(L"one");
    BSTR first = a.Get();
    Bstr b = std::move(a);
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(b.Get(), first);
    EXPECT_FALSE(spy_.FreedString(first));
    BSTR* slot = b.Put();  // frees the old string, hands out an empty slot
    EXPECT_TRUE(spy_.FreedString(first));
    spy_.freed.clear();  // the next string may reuse the block just freed
    *slot = SysAllocString(L"two");
    BSTR second = b.Detach();
    EXPECT_EQ(b.Get(), nullptr);
    EXPECT_FALSE(spy_.FreedString(second));
    Bstr adopted = Bstr::Adopt(second);
    EXPECT_EQ(adopted.View(), L"two");
    adopted = Bstr(L"three");  // assignment frees what was held
    EXPECT_TRUE(spy_.FreedString(second));
    EXPECT_EQ(Bstr().View(), L"");
}

APTTYPE ApartmentOfThisThread() {
    APTTYPE type = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    if (CoGetApartmentType(&type, &qualifier) != S_OK) {
        return APTTYPE_CURRENT;  // not initialised
    }
    return type;
}

TEST(ComInitTest, UninitialisesOnlyWhatItInitialised) {
    std::thread([] {
        {
            ComInit sta;
            EXPECT_EQ(sta.Result(), S_OK);
            EXPECT_EQ(ApartmentOfThisThread(), APTTYPE_STA);
            {
                ComInit again;  // same mode: S_FALSE, balanced by its own uninit
                EXPECT_EQ(again.Result(), S_FALSE);
            }
            EXPECT_EQ(ApartmentOfThisThread(), APTTYPE_STA);
        }
        EXPECT_EQ(ApartmentOfThisThread(), APTTYPE_CURRENT);
    }).join();
    std::thread([] {
        ComInit mta(COINIT_MULTITHREADED);
        ASSERT_EQ(mta.Result(), S_OK);
        {
            ComInit sta;  // refused: the thread stays multithreaded
            EXPECT_EQ(sta.Result(), RPC_E_CHANGED_MODE);
        }
        EXPECT_EQ(ApartmentOfThisThread(), APTTYPE_MTA);
    }).join();
}

TEST(ComModuleTest, ObjectLockHoldsTheModule) {
    ASSERT_TRUE(ComModule::CanUnload());
    {
        ComModule::ObjectLock lock;
        EXPECT_FALSE(ComModule::CanUnload());
        ComModule::ObjectLock second;
        EXPECT_FALSE(ComModule::CanUnload());
    }
    EXPECT_TRUE(ComModule::CanUnload());
    ComModule::Lock();
    EXPECT_FALSE(ComModule::CanUnload());
    ComModule::Unlock();
    EXPECT_TRUE(ComModule::CanUnload());
}

TEST(ComBoundaryTest, MapsEveryEscapingError) {
    struct Case {
        const char* what;
        HRESULT (*body)();
        HRESULT expected;
    };
    const Case cases[] = {
        {"result", []() -> HRESULT { return S_FALSE; }, S_FALSE},
        {"invalid argument", []() -> HRESULT { throw vyrd::HResultError(vyrd::kE_INVALIDARG); },
         E_INVALIDARG},
        {"out of memory", []() -> HRESULT { throw vyrd::HResultError(vyrd::kE_OUTOFMEMORY); },
         E_OUTOFMEMORY},
        {"foreign HRESULT", []() -> HRESULT { throw vyrd::HResultError(0x80040154); },
         static_cast<HRESULT>(0x80040154)},
        {"bad_alloc", []() -> HRESULT { throw std::bad_alloc(); }, E_OUTOFMEMORY},
        {"length_error", []() -> HRESULT { throw std::length_error("too long"); }, E_OUTOFMEMORY},
        {"runtime_error", []() -> HRESULT { throw std::runtime_error("x"); }, E_UNEXPECTED},
        {"int", []() -> HRESULT { throw 42; }, E_UNEXPECTED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComBoundary(c.body), c.expected) << c.what;
    }
}

// A creatable class whose constructor fails, to see the factory contain it.
int gThrowingConstructed = 0;
class ThrowingObject final : public IUnknown {
public:
    ThrowingObject() {
        ++gThrowingConstructed;
        throw std::bad_alloc();
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }

private:
    ComModule::ObjectLock lock_;
};

// An object with two interfaces, built on ComObject.
int gTwoInterfacesDestroyed = 0;
class TwoInterfaces final : public ComObject<TwoInterfaces, IPersist, IOleWindow> {
public:
    ~TwoInterfaces() { ++gTwoInterfacesDestroyed; }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
        *id = CLSID_NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = nullptr;
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
};

TEST(ComObjectTest, AnswersItsInterfacesWithOneIdentityAndDiesOnce) {
    const int destroyedBefore = gTwoInterfacesDestroyed;
    auto persist = ComPtr<IPersist>::Adopt(new TwoInterfaces());
    EXPECT_FALSE(ComModule::CanUnload());  // a live object holds the module

    ComPtr<IOleWindow> window = persist.As<IOleWindow>(IID_IOleWindow);
    ASSERT_TRUE(window);
    ComPtr<IUnknown> fromPersist = persist.As<IUnknown>(IID_IUnknown);
    ComPtr<IUnknown> fromWindow = window.As<IUnknown>(IID_IUnknown);
    EXPECT_EQ(fromPersist.Get(), fromWindow.Get());
    EXPECT_EQ(fromPersist.Get(), static_cast<IUnknown*>(persist.Get()));  // the first interface

    // IDispatch only when the first interface is a dispatch interface.
    EXPECT_FALSE(persist.As<IDispatch>(IID_IDispatch));
    void* out = &out;
    EXPECT_EQ(persist->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(persist->QueryInterface(IID_IPersist, nullptr), E_POINTER);

    persist.Reset();
    fromPersist.Reset();
    EXPECT_EQ(gTwoInterfacesDestroyed, destroyedBefore);  // two references remain
    window.Reset();
    fromWindow.Reset();
    EXPECT_EQ(gTwoInterfacesDestroyed, destroyedBefore + 1);
    EXPECT_TRUE(ComModule::CanUnload());
}

TEST(ClassFactoryTest, CreatesObjectsAndContainsFailures) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(GetClassObjectOf<TwoInterfaces>(IID_IClassFactory, factory.PutVoid()), S_OK);
    EXPECT_FALSE(ComModule::CanUnload());  // a live factory holds the module
    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.PutVoid()), S_OK);
    EXPECT_TRUE(object);
    ComPtr<IUnknown> refused;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, refused.PutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(refused);
    Counted outer;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, refused.PutVoid()),
              CLASS_E_NOAGGREGATION);
    object.Reset();
    factory.Reset();
    EXPECT_TRUE(ComModule::CanUnload());

    ComPtr<IClassFactory> throwing;
    ASSERT_EQ(GetClassObjectOf<ThrowingObject>(IID_IClassFactory, throwing.PutVoid()), S_OK);
    ComPtr<IUnknown> none;
    EXPECT_EQ(throwing->CreateInstance(nullptr, IID_IUnknown, none.PutVoid()), E_OUTOFMEMORY);
    EXPECT_EQ(gThrowingConstructed, 1);
    EXPECT_FALSE(none);
    throwing.Reset();
    EXPECT_TRUE(ComModule::CanUnload());  // the half-built object left no lock behind
}

// Registry helpers, on a key of the current user that the test owns.
TEST(RegistrationHelpers, WriteReadAndDelete) {
    const std::wstring root =
        L"Software\\VyrdViewerTests\\" + std::to_wstring(GetCurrentProcessId());
    const std::wstring key = root + L"\\Inner";
    ASSERT_EQ(SetRegistryString(HKEY_CURRENT_USER, key, nullptr, L"default text"), S_OK);
    ASSERT_EQ(SetRegistryString(HKEY_CURRENT_USER, key, L"Named", L""), S_OK);
    std::wstring value;
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, key, nullptr, value));
    EXPECT_EQ(value, L"default text");
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, key, L"Named", value));
    EXPECT_EQ(value, L"");
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, key, L"Missing", value));

    EXPECT_EQ(DeleteRegistryValue(HKEY_CURRENT_USER, key, nullptr), S_OK);
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, key, nullptr, value));
    EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, key, L"Named", value));  // others stay
    EXPECT_EQ(DeleteRegistryValue(HKEY_CURRENT_USER, key, nullptr), S_OK);     // already gone

    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, root), S_OK);
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, key, L"Named", value));
    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, root), S_OK);  // already gone
    EXPECT_EQ(GuidToString(GUID{
                  0x21250E41, 0xF093, 0x4DBF, {0x9D, 0x1E, 0x5B, 0x30, 0x5B, 0x7C, 0xF9, 0x25}}),
              L"{21250E41-F093-4DBF-9D1E-5B305B7CF925}");
}

}  // namespace
