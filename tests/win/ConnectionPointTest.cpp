// Connection points: the reader's _IVyrdFileEvents point as a client uses it,
// and the shared ConnectionPoint implementation on its own.

#include "ConnectionPoint.h"
#include "Contract.h"
#include "EventSink.h"
#include "IffBuilder.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace testwin;

class ReaderEvents : public testing::Test {
protected:
    void SetUp() override {
        file_ = Create(Guid(contract::kClsidDjVuFile), IID_IUnknown);
        ASSERT_TRUE(file_);
        ASSERT_EQ(file_->QueryInterface(IID_IConnectionPointContainer, container_.PutVoid()), S_OK);
    }

    ComPtr<IUnknown> file_;
    ComPtr<IConnectionPointContainer> container_;
    const GUID events_ = Guid(contract::kDiidVyrdFileEvents);
};

TEST_F(ReaderEvents, OnePointForTheFileEvents) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container_->FindConnectionPoint(events_, point.Put()), S_OK);
    IID iid = GUID_NULL;
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualGUID(iid, events_));
    ComPtr<IConnectionPointContainer> back;
    ASSERT_EQ(point->GetConnectionPointContainer(back.Put()), S_OK);
    EXPECT_EQ(back.Get(), container_.Get());

    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(container_->FindConnectionPoint(IID_IDispatch, none.Put()), CONNECT_E_NOCONNECTION);
    EXPECT_FALSE(none);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container_->EnumConnectionPoints(points.Put()), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0], point.Get());
    listed[0]->Release();
}

TEST_F(ReaderEvents, AdviseUnadviseAndNoEventOnOpen) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container_->FindConnectionPoint(events_, point.Put()), S_OK);
    EventSink sink(events_);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_GT(sink.Refs(), 1u);  // the point holds the sink

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.Put()), S_OK);
    CONNECTDATA data = {};
    ASSERT_EQ(connections->Next(1, &data, nullptr), S_OK);
    EXPECT_EQ(data.dwCookie, cookie);
    data.pUnk->Release();
    connections.Reset();

    // Opening and closing a document sends nothing.
    RawVyrdFile reader(file_.As<IUnknown>(Guid(contract::kIidVyrdFile)));
    TempFile doc(testiff::SinglePage(20, 20));
    EXPECT_EQ(reader.OpenFile(doc.Path()), S_OK);
    EXPECT_EQ(reader.CloseFile(), S_OK);
    EXPECT_TRUE(sink.calls.empty());

    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.Refs(), 1u);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(ReaderEvents, SinkWithoutTheEventInterfaceCannotConnect) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container_->FindConnectionPoint(events_, point.Put()), S_OK);
    EventSink sink(GUID_NULL);
    DWORD cookie = 77;
    EXPECT_EQ(point->Advise(&sink, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(sink.Refs(), 1u);
}

TEST_F(ReaderEvents, PointKeepsTheReaderAlive) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container_->FindConnectionPoint(events_, point.Put()), S_OK);
    EventSink sink(events_);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    container_.Reset();
    file_.Reset();
    // Only the point's reference is left; the object is still there to use.
    ComPtr<IConnectionPointContainer> again;
    ASSERT_EQ(point->GetConnectionPointContainer(again.Put()), S_OK);
    ComPtr<IConnectionPoint> same;
    EXPECT_EQ(again->FindConnectionPoint(events_, same.Put()), S_OK);
    EXPECT_EQ(same.Get(), point.Get());
    same.Reset();
    again.Reset();
    point.Reset();  // the reader goes, and lets go of the sink
    EXPECT_EQ(sink.Refs(), 1u);
}

// ConnectionPoint on its own, inside a minimal container.
class FakeContainer final : public IConnectionPointContainer {
public:
    explicit FakeContainer(const GUID& events) : point(*this, events) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid == IID_IUnknown || iid == IID_IConnectionPointContainer) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** e) override {
        ConnectionPoint* const points[] = {&point};
        return EnumConnectionPointsOf(points, e);
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** cp) override {
        ConnectionPoint* const points[] = {&point};
        return FindConnectionPointIn(points, iid, cp);
    }

    ULONG refs = 1;
    ConnectionPoint point;
};

const GUID kTestEvents = {0x1b2c3d4e, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST(ConnectionPointUnit, ReferencesAreTheContainers) {
    FakeContainer container(kTestEvents);
    container.point.AddRef();
    EXPECT_EQ(container.refs, 2u);
    container.point.Release();
    EXPECT_EQ(container.refs, 1u);
}

TEST(ConnectionPointUnit, InvokeAllReachesEverySinkInAdviseOrder) {
    FakeContainer container(kTestEvents);
    EventSink first(kTestEvents), second(kTestEvents), third(kTestEvents);
    DWORD c1 = 0, c2 = 0, c3 = 0;
    ASSERT_EQ(container.point.Advise(&first, &c1), S_OK);
    ASSERT_EQ(container.point.Advise(&second, &c2), S_OK);
    ASSERT_EQ(container.point.Advise(&third, &c3), S_OK);
    EXPECT_TRUE(c1 != c2 && c2 != c3 && c1 != c3);
    EXPECT_EQ(container.point.SinkCount(), 3u);

    std::vector<EventSink*> order;
    first.onInvoke = [&] { order.push_back(&first); };
    second.onInvoke = [&] { order.push_back(&second); };
    // A sink that unadvises itself while the event is sent.
    third.onInvoke = [&] {
        order.push_back(&third);
        container.point.Unadvise(c3);
    };
    VARIANT args[2];
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = 12;  // last argument first
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = 3;
    DISPPARAMS params = {args, nullptr, 2, 0};
    EXPECT_EQ(container.point.InvokeAll(40, &params), 3u);
    EXPECT_EQ(order, (std::vector<EventSink*>{&first, &second, &third}));
    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.calls[0].id, 40);
    EXPECT_EQ(first.calls[0].flags, DISPATCH_METHOD);
    EXPECT_EQ(first.calls[0].args, (std::vector<LONG>{12, 3}));
    EXPECT_EQ(container.point.SinkCount(), 2u);
    EXPECT_EQ(third.Refs(), 1u);

    // The unadvised sink hears nothing more; the others do, without arguments too.
    EXPECT_EQ(container.point.InvokeAll(50, nullptr), 2u);
    EXPECT_EQ(third.calls.size(), 1u);
    EXPECT_EQ(second.calls.size(), 2u);
    EXPECT_TRUE(second.calls[1].args.empty());

    container.point.UnadviseAll();
    EXPECT_EQ(first.Refs(), 1u);
    EXPECT_EQ(second.Refs(), 1u);
    EXPECT_EQ(container.point.InvokeAll(60, nullptr), 0u);
}

TEST(ConnectionPointUnit, EnumeratorWalksASnapshot) {
    FakeContainer container(kTestEvents);
    EventSink a(kTestEvents), b(kTestEvents), c(kTestEvents);
    DWORD ca = 0, cb = 0, cc = 0;
    container.point.Advise(&a, &ca);
    container.point.Advise(&b, &cb);
    ComPtr<IEnumConnections> e;
    ASSERT_EQ(container.point.EnumConnections(e.Put()), S_OK);
    // Changes after the snapshot do not show.
    container.point.Advise(&c, &cc);
    container.point.Unadvise(ca);

    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(3, data, nullptr), E_INVALIDARG);  // count needed for several
    EXPECT_EQ(e->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].dwCookie, ca);
    EXPECT_EQ(data[1].dwCookie, cb);
    EXPECT_EQ(data[0].pUnk, static_cast<IUnknown*>(&a));
    data[0].pUnk->Release();
    data[1].pUnk->Release();
    EXPECT_EQ(e->Next(1, data, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    ComPtr<IEnumConnections> clone;
    ASSERT_EQ(e->Clone(clone.Put()), S_OK);
    ASSERT_EQ(clone->Next(1, data, nullptr), S_OK);
    EXPECT_EQ(data[0].dwCookie, cb);  // the clone starts where the original was
    data[0].pUnk->Release();
    EXPECT_EQ(e->Skip(5), S_FALSE);

    // The snapshot holds its own references until it goes.
    EXPECT_GT(a.Refs(), 1u);
    e.Reset();
    clone.Reset();
    EXPECT_EQ(a.Refs(), 1u);
    container.point.UnadviseAll();
    EXPECT_EQ(b.Refs(), 1u);
    EXPECT_EQ(c.Refs(), 1u);
}

}  // namespace
