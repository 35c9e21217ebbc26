#include "XmlStore.h"

#include "Bstr.h"

#include <shlwapi.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vyrdapp {

namespace {

// MinGW's msxml2.h maps CLSID_DOMDocument to a GUID its import library does not
// carry, so the version-independent DOMDocument class is named here.
constexpr CLSID kClsidDomDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// MSXML's NODE_ELEMENT as createNode expects its type: a VT_I2 variant.
constexpr short kNodeElement = 1;

// A VARIANT that borrows a BSTR owned by the caller: MSXML only reads its [in]
// arguments, so nothing is cleared here.
VARIANT BorrowedBstrVariant(const Bstr& text) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text.Get();
    return v;
}

VARIANT IntVariant(int value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

void SetAttrVariant(IXMLDOMNode* node, std::wstring_view name, const VARIANT& value) {
    if (!node) {
        return;
    }
    ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid())) || !element) {
        return;
    }
    const Bstr bstrName(name);
    if (!bstrName.Get()) {
        return;
    }
    element->setAttribute(bstrName.Get(), value);
}

bool IsCSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    }
    return out;
}

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

}  // namespace

ComPtr<IXMLDOMDocument> CreateDomDocument() {
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, IID_IXMLDOMDocument,
                                document.PutVoid()))) {
        document.Reset();
    }
    return document;
}

bool XmlStore::EnsureLoaded(std::wstring_view rootName) {
    if (document_) {
        return true;
    }
    ComPtr<IXMLDOMDocument> document = CreateDomDocument();
    if (!document) {
        return false;
    }
    // Asynchronous loading stays at MSXML's default: a local file is parsed
    // before load returns, and the success flag reports the parse.
    const Bstr path(path_);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!path.Get() || document->load(BorrowedBstrVariant(path), &loaded) != S_OK ||
        loaded != VARIANT_TRUE) {
        return false;
    }
    document_ = std::move(document);
    const Bstr root(rootName);
    if (root.Get()) {
        document_->selectSingleNode(root.Get(), root_.Put());
    }
    if (!root_) {
        Close();
        return false;
    }
    return true;
}

bool XmlStore::Save() {
    if (!document_) {
        return false;
    }
    const Bstr path(path_);
    return path.Get() && SUCCEEDED(document_->save(BorrowedBstrVariant(path)));
}

void XmlStore::Close() {
    root_.Reset();
    document_.Reset();
}

ComPtr<IXMLDOMNode> XmlCreateElement(std::wstring_view name, IXMLDOMDocument* document,
                                     IXMLDOMNode* parent) {
    ComPtr<IXMLDOMDocument> fresh;
    if (!document) {
        fresh = CreateDomDocument();
        document = fresh.Get();
        if (!document) {
            return {};
        }
    }
    const Bstr bstrName(name);
    const Bstr noNamespace(std::wstring_view{});
    if (!bstrName.Get()) {
        return {};
    }
    VARIANT type;
    VariantInit(&type);
    V_VT(&type) = VT_I2;
    V_I2(&type) = kNodeElement;
    ComPtr<IXMLDOMNode> created;
    if (FAILED(document->createNode(type, bstrName.Get(), noNamespace.Get(), created.Put())) ||
        !created) {
        return {};
    }
    IXMLDOMNode* target = parent ? parent : document;
    ComPtr<IXMLDOMNode> appended;
    if (FAILED(target->appendChild(created.Get(), appended.Put()))) {
        appended.Reset();
    }
    return appended;
}

ComPtr<IXMLDOMNode> XmlGetChild(IXMLDOMNode* parent, std::wstring_view name,
                                IXMLDOMDocument* document, bool create, bool clear) {
    if (!parent) {
        return {};
    }
    ComPtr<IXMLDOMNode> child;
    const Bstr bstrName(name);
    if (bstrName.Get() && parent->selectSingleNode(bstrName.Get(), child.Put()) != S_OK) {
        child.Reset();
    }
    if (!child && create) {
        child = XmlCreateElement(name, document, parent);
    }
    if (child && clear) {
        // Setting the text of an element replaces all its child nodes with one
        // (here empty) text; its attributes are not child nodes and stay.
        const Bstr empty(std::wstring_view{});
        child->put_text(empty.Get());
    }
    return child;
}

std::wstring XmlGetAttr(IXMLDOMNode* node, std::wstring_view name, std::wstring_view defaultText) {
    if (!node || name.empty()) {
        return std::wstring(defaultText);
    }
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (node->get_attributes(attributes.Put()) != S_OK || !attributes) {
        return std::wstring(defaultText);
    }
    const Bstr bstrName(name);
    ComPtr<IXMLDOMNode> attribute;
    if (!bstrName.Get() || attributes->getNamedItem(bstrName.Get(), attribute.Put()) != S_OK ||
        !attribute) {
        return std::wstring(defaultText);
    }
    Bstr text;
    if (FAILED(attribute->get_text(text.Put()))) {
        return std::wstring(defaultText);
    }
    return std::wstring(text.View());
}

void XmlSetAttrText(IXMLDOMNode* node, std::wstring_view name, std::wstring_view text) {
    const Bstr value(text);
    if (!value.Get()) {
        return;
    }
    SetAttrVariant(node, name, BorrowedBstrVariant(value));
}

void XmlSetAttrInt(IXMLDOMNode* node, std::wstring_view name, int value) {
    SetAttrVariant(node, name, IntVariant(value));
}

void XmlSetAttrBool(IXMLDOMNode* node, std::wstring_view name, bool value) {
    SetAttrVariant(node, name, IntVariant(value ? 1 : 0));
}

void XmlCreateFileIfMissing(const std::wstring& path, std::wstring_view rootName) {
    if (PathFileExistsW(path.c_str())) {
        return;
    }
    // Text mode: each line feed reaches the file as carriage return + line feed.
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"wt"));
    if (!file) {
        return;
    }
    const std::string root = Narrow(rootName);
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<" + root + ">\n</" + root + ">";
    fputs(text.c_str(), file.get());
}

int XmlParseInt(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Unsigned arithmetic gives the 32-bit wrap-around of the C conversion
    // without signed overflow.
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10u + static_cast<uint32_t>(text[i] - L'0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int>(value);
}

}  // namespace vyrdapp
