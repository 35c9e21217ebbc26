// Connection points for the event interfaces of a COM object.
//
// ConnectionPoint is a member of the object that fires the events (the
// container): its IUnknown forwards AddRef and Release to the container, so a
// client's reference to the connection point keeps the whole object alive. The
// container answers FindConnectionPoint and EnumConnectionPoints with
// FindConnectionPointIn and EnumConnectionPointsOf over its member points.
//
// Apartment-threaded: every call comes from the container's thread. Nothing
// here throws: allocations are nothrow and a failed one becomes E_OUTOFMEMORY,
// so these methods need no exception boundary of their own.
#pragma once

#include "ComModule.h"
#include "ComPtr.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstddef>
#include <memory>
#include <span>

class ConnectionPoint final : public IConnectionPoint {
public:
    // `container` must outlive this object (it owns it). `eventIid` is the
    // outgoing interface; a sink must answer QueryInterface for it to connect.
    ConnectionPoint(IConnectionPointContainer& container, REFIID eventIid);
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;
    ~ConnectionPoint();

    // IUnknown: QueryInterface answers IUnknown and IConnectionPoint; the
    // reference count is the container's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IConnectionPoint
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** cpc) override;
    // Cookies start at 1 and are never reused while the point lives.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    // A snapshot: sinks advised or unadvised later do not change it.
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    const IID& EventIid() const { return eventIid_; }
    std::size_t SinkCount() const { return count_; }

    // Calls IDispatch::Invoke(id, DISPATCH_METHOD, params) on every sink that
    // offers IDispatch, in the order they were advised, and returns how many
    // were called. A sink may advise or unadvise during the call: the list is
    // copied first (when that copy cannot be allocated, nothing is sent).
    // Arguments go in reverse order in params->rgvarg, as IDispatch expects.
    // Failures of a sink are ignored.
    std::size_t InvokeAll(DISPID id, DISPPARAMS* params) const;

    // Drops every sink (when the container goes away or is reset).
    void UnadviseAll();

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IUnknown> unknown;  // the sink's reference for the event interface
    };

    IConnectionPointContainer& container_;
    IID eventIid_;
    // Advised sinks in advise order: sinks_[0, count_) are live.
    std::unique_ptr<Sink[]> sinks_;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
    DWORD nextCookie_ = 1;
};

// FindConnectionPoint over a container's points: a new reference in *cp, or
// CONNECT_E_NOCONNECTION when none serves `iid`.
HRESULT FindConnectionPointIn(std::span<ConnectionPoint* const> points, REFIID iid,
                              IConnectionPoint** cp);
// EnumConnectionPoints over a container's points.
HRESULT EnumConnectionPointsOf(std::span<ConnectionPoint* const> points,
                               IEnumConnectionPoints** enumerator);
