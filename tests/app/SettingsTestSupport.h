#pragma once
// Helpers of the settings tests: a temporary folder tree, raw file bytes, and
// reading back what a saved XML file holds through the real MSXML.

#include "Bstr.h"
#include "TestSupport.h"
#include "XmlStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settingstest {

inline bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

// A fresh folder in the run's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() : path_(testwin::TempFile::UniquePath(L"_dir")) {
        EXPECT_TRUE(CreateDirectoryW(path_.c_str(), nullptr)) << "cannot create the test folder";
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder without a trailing backslash.
    const std::wstring& Path() const { return path_; }
    // A file or folder inside it.
    std::wstring operator/(std::wstring_view name) const {
        return path_ + L"\\" + std::wstring(name);
    }

private:
    std::wstring path_;
};

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

// The bytes of a file; nullopt when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, n);
    }
    return bytes;
}

inline void WriteBytes(const std::wstring& path, std::string_view bytes) {
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"wb"));
    ASSERT_TRUE(file) << "cannot write the fixture file";
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
}

// A document loaded from a file, to look at what was saved.
inline ComPtr<IXMLDOMDocument> LoadDocument(const std::wstring& path) {
    ComPtr<IXMLDOMDocument> document = vyrdapp::CreateDomDocument();
    if (!document) {
        ADD_FAILURE() << "no DOMDocument";
        return document;
    }
    Bstr bstrPath(path);
    VARIANT source;
    VariantInit(&source);
    V_VT(&source) = VT_BSTR;
    V_BSTR(&source) = bstrPath.Get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (document->load(source, &loaded) != S_OK || loaded != VARIANT_TRUE) {
        ADD_FAILURE() << "the saved file does not load";
        document.Reset();
    }
    return document;
}

// The node at an XPath-like `path` ("Setting/General/Language"), or null.
inline ComPtr<IXMLDOMNode> Select(IXMLDOMNode* from, std::wstring_view path) {
    ComPtr<IXMLDOMNode> node;
    Bstr query(path);
    if (!from || from->selectSingleNode(query.Get(), node.Put()) != S_OK) {
        node.Reset();
    }
    return node;
}

// The text of attribute `name` of the node at `path`, or nullopt when the node
// or the attribute is missing.
inline std::optional<std::wstring> AttrAt(IXMLDOMNode* from, std::wstring_view path,
                                          std::wstring_view name) {
    const ComPtr<IXMLDOMNode> node = Select(from, path);
    if (!node) {
        return std::nullopt;
    }
    ComPtr<IXMLDOMElement> element = node.As<IXMLDOMElement>(IID_IXMLDOMElement);
    if (!element) {
        return std::nullopt;
    }
    ComPtr<IXMLDOMAttribute> attribute;
    Bstr bstrName(name);
    if (element->getAttributeNode(bstrName.Get(), attribute.Put()) != S_OK || !attribute) {
        return std::nullopt;
    }
    Bstr text;
    attribute->get_text(text.Put());
    return std::wstring(text.View());
}

// The names of the element children of `node`, in document order.
inline std::vector<std::wstring> ChildElementNames(IXMLDOMNode* node) {
    std::vector<std::wstring> names;
    if (!node) {
        return names;
    }
    ComPtr<IXMLDOMNode> child;
    node->get_firstChild(child.Put());
    while (child) {
        DOMNodeType type = NODE_INVALID;
        child->get_nodeType(&type);
        if (type == NODE_ELEMENT) {
            Bstr name;
            child->get_nodeName(name.Put());
            names.emplace_back(name.View());
        }
        ComPtr<IXMLDOMNode> next;
        child->get_nextSibling(next.Put());
        child = std::move(next);
    }
    return names;
}

inline std::wstring XmlOf(IXMLDOMNode* node) {
    Bstr xml;
    if (node) {
        node->get_xml(xml.Put());
    }
    return std::wstring(xml.View());
}

}  // namespace settingstest
