// One XML file of the application held as an MSXML DOM document, and the node
// and attribute operations every data file of the application shares.
//
// All of it runs on the user-interface thread. None of it throws: a COM call
// that fails leaves its output null (or the default), and callers treat a null
// node as an absent element.
#pragma once

#include "ComPtr.h"

#include <windows.h>
#include <msxml2.h>

#include <string>
#include <string_view>

namespace vyrdapp {

// A fresh DOMDocument (CLSCTX_ALL, IXMLDOMDocument), or null.
ComPtr<IXMLDOMDocument> CreateDomDocument();

class XmlStore {
public:
    XmlStore() = default;
    explicit XmlStore(std::wstring path) : path_(std::move(path)) {}
    XmlStore(const XmlStore&) = delete;
    XmlStore& operator=(const XmlStore&) = delete;

    const std::wstring& Path() const { return path_; }
    void SetPath(std::wstring path) { path_ = std::move(path); }

    // Loads the file when no document is loaded and selects the root element
    // named `rootName`. True when a document with that root is loaded.
    bool EnsureLoaded(std::wstring_view rootName);
    // Writes the loaded document to Path() (IXMLDOMDocument::save). False when
    // nothing is loaded or the save fails.
    bool Save();
    // Releases the root, then the document.
    void Close();

    IXMLDOMDocument* Document() const { return document_.Get(); }
    IXMLDOMNode* Root() const { return root_.Get(); }
    bool IsLoaded() const { return static_cast<bool>(document_); }

private:
    std::wstring path_;
    ComPtr<IXMLDOMDocument> document_;
    ComPtr<IXMLDOMNode> root_;
};

// Creates element `name` and appends it to `parent`, or to `document` itself
// when `parent` is null. A null `document` gets a fresh DOMDocument for the
// call. Returns the appended node, or null.
ComPtr<IXMLDOMNode> XmlCreateElement(std::wstring_view name, IXMLDOMDocument* document,
                                     IXMLDOMNode* parent);

// The child `name` of `parent` (selectSingleNode); created when absent and
// `create` is set; its child nodes removed (attributes kept) when `clear` is set.
// Null when `parent` is null or nothing was found or created.
ComPtr<IXMLDOMNode> XmlGetChild(IXMLDOMNode* parent, std::wstring_view name,
                                IXMLDOMDocument* document, bool create, bool clear);

// The text of attribute `name`, or `defaultText` when the node is null, the
// name empty, or the attribute absent.
std::wstring XmlGetAttr(IXMLDOMNode* node, std::wstring_view name, std::wstring_view defaultText);

// Set an attribute through IXMLDOMElement::setAttribute (VT_BSTR, VT_I4, VT_I4
// 0/1); nothing happens for a null node or one that is not an element.
void XmlSetAttrText(IXMLDOMNode* node, std::wstring_view name, std::wstring_view text);
void XmlSetAttrInt(IXMLDOMNode* node, std::wstring_view name, int value);
void XmlSetAttrBool(IXMLDOMNode* node, std::wstring_view name, bool value);

// Writes "<?xml ...?>\n<root>\n</root>" in text mode when `path` does not exist.
void XmlCreateFileIfMissing(const std::wstring& path, std::wstring_view rootName);

// The C library's decimal conversion: leading white space, optional sign,
// digits up to the first other character, 32-bit wrap-around, 0 without digits.
int XmlParseInt(std::wstring_view text);

}  // namespace vyrdapp
