// CDjVuFile: the DjVu document reader object of VyrdDjVuFile.dll.
//
// One object reads one document at a time through IVyrdFile (open, close, page
// count, page size and resolution, page pixels), IVyrdFileContent (a cursor over
// the outline), IVyrdFileText (text layer) and IVyrdFileInternalLinks (links),
// and offers the event interface _IVyrdFileEvents through one connection point
// (no event is ever sent).
//
// Threading: apartment-threaded. All IVyrdFile, IVyrdFileText and
// IVyrdFileInternalLinks methods hold the object's critical section for their
// whole duration; the outline cursor methods take no lock.
//
// Errors: methods answer S_OK for work done and S_FALSE when there is nothing to
// give. Failures inside the document model (E_INVALIDARG, E_OUTOFMEMORY) and a
// failing page image object end the call through ComBoundary with their HRESULT;
// no exception leaves a method.
//
// The methods of each interface live in a file of their own: DjVuFileReader.cpp
// (IVyrdFile), DjVuFileContent.cpp, DjVuFileText.cpp, DjVuFileLinks.cpp.
#pragma once

#include "ComObject.h"
#include "ComPtr.h"
#include "ConnectionPoint.h"
#include "Container.h"
#include "Dispatch.h"
#include "LinkCache.h"
#include "OutlineTree.h"
#include "Platform.h"
#include "RefCounted.h"
#include "TextCache.h"
#include "VyrdFilesFormat.h"

#include <vector>

// IDispatch of IVyrdFile: names are matched by hand (case-insensitively, with
// the "get_" forms of the properties); type information and Invoke come from
// the module's type library like every other interface of the object.
class CVyrdFileDispatch : public DispatchImpl<IVyrdFile> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
};

class CDjVuFile final
    : public ComObject<CDjVuFile, CVyrdFileDispatch, DispatchImpl<IVyrdFileContent>,
                       DispatchImpl<IVyrdFileText>, DispatchImpl<IVyrdFileInternalLinks>,
                       IConnectionPointContainer, IProvideClassInfo> {
public:
    // Starts closed. May throw std::bad_alloc (the class factory maps it).
    CDjVuFile();
    ~CDjVuFile();

    // IVyrdFile (DjVuFileReader.cpp)
    HRESULT STDMETHODCALLTYPE OpenFile(BSTR FilePath) override;
    HRESULT STDMETHODCALLTYPE CloseFile() override;
    HRESULT STDMETHODCALLTYPE get_PageCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_PageWidth(LONG Index, LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_PageHeight(LONG Index, LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_PageHorizontalDPI(LONG Index, double* pVal) override;
    HRESULT STDMETHODCALLTYPE get_PageVerticalDPI(LONG Index, double* pVal) override;
    HRESULT STDMETHODCALLTYPE get_HasInternalZoom(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE GetPage(LONG Index, double Zoom, IUnknown** pImage) override;

    // IVyrdFileContent (DjVuFileContent.cpp)
    HRESULT STDMETHODCALLTYPE get_ChildsCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE GotoRoot() override;
    HRESULT STDMETHODCALLTYPE GotoParent() override;
    HRESULT STDMETHODCALLTYPE GotoChilds() override;
    HRESULT STDMETHODCALLTYPE GotoFirst() override;
    HRESULT STDMETHODCALLTYPE GotoPrevious() override;
    HRESULT STDMETHODCALLTYPE GotoNext() override;
    HRESULT STDMETHODCALLTYPE GotoLast() override;
    HRESULT STDMETHODCALLTYPE GetCurrentItem(IVyrdFileContentItem** pItem) override;
    HRESULT STDMETHODCALLTYPE GetItem(LONG lItemID, IVyrdFileContentItem** pItem) override;

    // IVyrdFileText (DjVuFileText.cpp)
    HRESULT STDMETHODCALLTYPE GetPageText(LONG PageIndex, BSTR* pText) override;
    HRESULT STDMETHODCALLTYPE GetTextRectsByRect(LONG PageIndex, RECT rc,
                                                 SAFEARRAY** psaRectangles) override;
    HRESULT STDMETHODCALLTYPE GetTextRectsByTextIndex(LONG PageIndex, LONG TextStartIndex,
                                                      LONG TextLength,
                                                      SAFEARRAY** psaRectangles) override;
    HRESULT STDMETHODCALLTYPE GetTextByRect(LONG PageIndex, RECT rc, BSTR* pText) override;
    HRESULT STDMETHODCALLTYPE GetTextIndexByRect(LONG PageIndex, RECT rc, LONG* pTextStartIndex,
                                                 LONG* pTextLength) override;

    // IVyrdFileInternalLinks (DjVuFileLinks.cpp)
    HRESULT STDMETHODCALLTYPE IsInLink(LONG PageIndex, POINT pt, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE GetLink(LONG PageIndex, POINT pt, LONG* pDstPageIndex,
                                      POINT* pDstTopLeft) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // IProvideClassInfo: the coclass CDjVuFile of the module's type library.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;

private:
    // Size and resolution of one page, read from its INFO chunk on first use.
    struct PageInfoEntry {
        LONG width = 0;
        LONG height = 0;
        LONG horizontalDpi = 0;
        LONG verticalDpi = 0;
        int valid = 0;
    };

    // The page-information entry of `index`, filled from the page's INFO when
    // it is not valid yet; null when the page or its INFO cannot be had (the
    // table then stays as it was). Call with the lock held and a document open.
    const PageInfoEntry* EnsurePageInfo(LONG index);
    // The getters' common rule: *value = 0; nothing open: S_OK; page
    // information unavailable: S_FALSE; else *value = pick(entry), S_OK.
    template <class T, class Pick>
    HRESULT PageQuery(LONG index, T* value, Pick pick);

    // The text queries' common rule: missing outputs: S_FALSE; otherwise, with
    // the lock held, nothing open: S_FALSE; else body() through ComBoundary.
    template <class Body>
    HRESULT TextQuery(bool outputsGiven, Body body);
    // The text layer of a page through the text cache; null when the page has
    // none. Lock held, a document open.
    vyrd::RefPtr<vyrd::CPageTextLayer> TextLayer(LONG pageIndex);

    // Drops the open document and every cache. Lock held; never throws.
    void CloseLocked() noexcept;
    // Rebuilds the outline tree from the open document (DjVuFileContent.cpp).
    void RebuildOutline();

    // Serialises the reader's calls; recursive, so OpenFile may call CloseFile.
    vyrd::CCriticalSection lock_;
    // The document, created with the object and reused for every OpenFile.
    vyrd::RefPtr<vyrd::CDjVuContainer> document_;
    // The link cache, which holds a second reference to the document while it
    // is open: taking or dropping that reference empties the cache.
    vyrd::CLinkCache links_;
    int open_ = 0;
    // By page index; grows to cover an index when its entry is written.
    std::vector<PageInfoEntry> pageInfo_;
    // The last few pages' decoded text layers.
    vyrd::CTextCache textCache_;

    COutlineTree outline_;

    ConnectionPoint fileEvents_;
};
