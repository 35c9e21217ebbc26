#include "ConnectionPoint.h"

#include "ComObject.h"

#include <new>
#include <utility>

namespace {

// Each enumerated item carries one reference of its own while the enumerator
// holds it, and hands a new one to the caller of Next.
void AddRefItem(const CONNECTDATA& item) {
    item.pUnk->AddRef();
}
void ReleaseItem(const CONNECTDATA& item) {
    item.pUnk->Release();
}
void AddRefItem(IConnectionPoint* item) {
    item->AddRef();
}
void ReleaseItem(IConnectionPoint* item) {
    item->Release();
}

// IEnumConnections / IEnumConnectionPoints over a fixed snapshot of items.
template <class IEnum, class Item>
class Enumerator final : public ComObject<Enumerator<IEnum, Item>, IEnum> {
public:
    // Takes one reference to each item; null when memory runs out.
    static Enumerator* Create(const Item* items, std::size_t count, std::size_t position) {
        auto* e = new (std::nothrow) Enumerator();
        if (!e) {
            return nullptr;
        }
        if (count > 0) {
            e->items_.reset(new (std::nothrow) Item[count]);
            if (!e->items_) {
                e->Release();
                return nullptr;
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            e->items_[i] = items[i];
            AddRefItem(items[i]);
        }
        e->count_ = count;
        e->position_ = position;
        return e;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Item* out, ULONG* fetched) override {
        if (!out) {
            return E_POINTER;
        }
        // The count of items fetched may only be left out when one item is asked for.
        if (!fetched && wanted != 1) {
            return E_INVALIDARG;
        }
        ULONG n = 0;
        while (n < wanted && position_ < count_) {
            out[n] = items_[position_++];
            AddRefItem(out[n]);
            ++n;
        }
        if (fetched) {
            *fetched = n;
        }
        return n == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG n) override {
        const std::size_t left = count_ - position_;
        const bool all = n <= left;
        position_ += all ? n : left;
        return all ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** clone) override {
        if (!clone) {
            return E_POINTER;
        }
        *clone = Create(items_.get(), count_, position_);
        return *clone ? S_OK : E_OUTOFMEMORY;
    }

    // Public for ComObject, which deletes the object on its last Release.
    ~Enumerator() {
        for (std::size_t i = 0; i < count_; ++i) {
            ReleaseItem(items_[i]);
        }
    }

private:
    Enumerator() = default;

    std::unique_ptr<Item[]> items_;
    std::size_t count_ = 0;
    std::size_t position_ = 0;
};

using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA>;
using ConnectionPointEnumerator = Enumerator<IEnumConnectionPoints, IConnectionPoint*>;

}  // namespace

ConnectionPoint::ConnectionPoint(IConnectionPointContainer& container, REFIID eventIid)
    : container_(container), eventIid_(eventIid) {}

ConnectionPoint::~ConnectionPoint() {
    UnadviseAll();
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() {
    return container_.AddRef();
}

ULONG ConnectionPoint::Release() {
    return container_.Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) {
        return E_POINTER;
    }
    *iid = eventIid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** cpc) {
    if (!cpc) {
        return E_POINTER;
    }
    container_.AddRef();
    *cpc = &container_;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) {
        return E_POINTER;
    }
    *cookie = 0;
    if (!sink) {
        return E_POINTER;
    }
    ComPtr<IUnknown> held;
    if (FAILED(sink->QueryInterface(eventIid_, held.PutVoid())) || !held) {
        return CONNECT_E_CANNOTCONNECT;
    }
    if (count_ == capacity_) {
        const std::size_t grown = capacity_ ? capacity_ * 2 : 4;
        std::unique_ptr<Sink[]> bigger(new (std::nothrow) Sink[grown]);
        if (!bigger) {
            return E_OUTOFMEMORY;
        }
        for (std::size_t i = 0; i < count_; ++i) {
            bigger[i] = std::move(sinks_[i]);
        }
        sinks_ = std::move(bigger);
        capacity_ = grown;
    }
    sinks_[count_].cookie = nextCookie_++;
    sinks_[count_].unknown = std::move(held);
    *cookie = sinks_[count_].cookie;
    ++count_;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    for (std::size_t i = 0; i < count_; ++i) {
        if (sinks_[i].cookie == cookie) {
            // Keep advise order: close the gap, then release the sink last, so a
            // sink whose release re-enters this object sees a consistent list.
            ComPtr<IUnknown> gone = std::move(sinks_[i].unknown);
            for (std::size_t j = i + 1; j < count_; ++j) {
                sinks_[j - 1] = std::move(sinks_[j]);
            }
            --count_;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (!connections) {
        return E_POINTER;
    }
    *connections = nullptr;
    std::unique_ptr<CONNECTDATA[]> data;
    if (count_ > 0) {
        data.reset(new (std::nothrow) CONNECTDATA[count_]);
        if (!data) {
            return E_OUTOFMEMORY;
        }
    }
    for (std::size_t i = 0; i < count_; ++i) {
        data[i].pUnk = sinks_[i].unknown.Get();
        data[i].dwCookie = sinks_[i].cookie;
    }
    *connections = ConnectionEnumerator::Create(data.get(), count_, 0);
    return *connections ? S_OK : E_OUTOFMEMORY;
}

std::size_t ConnectionPoint::InvokeAll(DISPID id, DISPPARAMS* params) const {
    if (count_ == 0) {
        return 0;
    }
    std::unique_ptr<ComPtr<IDispatch>[]> targets(new (std::nothrow) ComPtr<IDispatch>[count_]);
    if (!targets) {
        return 0;
    }
    const std::size_t n = count_;
    for (std::size_t i = 0; i < n; ++i) {
        targets[i] = sinks_[i].unknown.As<IDispatch>(IID_IDispatch);
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    std::size_t called = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (targets[i]) {
            targets[i]->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                               params ? params : &none, nullptr, nullptr, nullptr);
            ++called;
        }
    }
    return called;
}

void ConnectionPoint::UnadviseAll() {
    // Release outside the list, newest first, for the same reason as Unadvise.
    while (count_ > 0) {
        --count_;
        ComPtr<IUnknown> gone = std::move(sinks_[count_].unknown);
    }
}

HRESULT FindConnectionPointIn(std::span<ConnectionPoint* const> points, REFIID iid,
                              IConnectionPoint** cp) {
    if (!cp) {
        return E_POINTER;
    }
    *cp = nullptr;
    for (ConnectionPoint* point : points) {
        if (point->EventIid() == iid) {
            point->AddRef();
            *cp = point;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EnumConnectionPointsOf(std::span<ConnectionPoint* const> points,
                               IEnumConnectionPoints** enumerator) {
    if (!enumerator) {
        return E_POINTER;
    }
    std::unique_ptr<IConnectionPoint*[]> items;
    if (!points.empty()) {
        items.reset(new (std::nothrow) IConnectionPoint*[points.size()]);
        if (!items) {
            *enumerator = nullptr;
            return E_OUTOFMEMORY;
        }
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        items[i] = points[i];
    }
    *enumerator = ConnectionPointEnumerator::Create(items.get(), points.size(), 0);
    return *enumerator ? S_OK : E_OUTOFMEMORY;
}
