#include "LanguageResources.h"

#include "Bstr.h"
#include "XmlStore.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>
#include <utility>

namespace vyrdapp {

namespace {

// The fallback face of a dialog that asks for a font (DS_SETFONT) but names
// none in the file.
constexpr wchar_t kDefaultFontName[] = L"MS Shell Dlg";
constexpr uint16_t kDefaultFontSize = 8;

// Query texts. "Parent/Child" lists every child; "Parent/Child[@Key="value"]"
// picks the one whose key attribute has the given text. Numbers are compared
// as their decimal text, so "ID" must be written without leading zeros.
std::wstring ChildPath(std::wstring_view parent, std::wstring_view child) {
    std::wstring path(parent);
    path += L'/';
    path += child;
    return path;
}

std::wstring KeyedPath(std::wstring_view parent, std::wstring_view child, std::wstring_view key,
                       std::wstring_view value) {
    std::wstring path = ChildPath(parent, child);
    path += L"[@";
    path += key;
    path += L"=\"";
    path += value;
    path += L"\"]";
    return path;
}

std::wstring KeyedPath(std::wstring_view parent, std::wstring_view child, std::wstring_view key,
                       int value) {
    return KeyedPath(parent, child, key, std::to_wstring(value));
}

ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* parent, const std::wstring& query) {
    ComPtr<IXMLDOMNode> node;
    const Bstr text(query);
    if (!parent || !text.Get() || parent->selectSingleNode(text.Get(), node.Put()) != S_OK) {
        node.Reset();
    }
    return node;
}

template <class Fn>
void ForEachInList(IXMLDOMNodeList* list, Fn&& fn) {
    long length = 0;
    if (!list || FAILED(list->get_length(&length))) {
        return;
    }
    for (long i = 0; i < length; ++i) {
        ComPtr<IXMLDOMNode> item;
        if (list->get_item(i, item.Put()) == S_OK && item) {
            fn(item.Get());
        }
    }
}

// Calls `fn` for every node `query` selects under `parent`, in document order.
template <class Fn>
void ForEachSelected(IXMLDOMNode* parent, const std::wstring& query, Fn&& fn) {
    const Bstr text(query);
    ComPtr<IXMLDOMNodeList> list;
    if (!parent || !text.Get() || FAILED(parent->selectNodes(text.Get(), list.Put()))) {
        return;
    }
    ForEachInList(list.Get(), fn);
}

bool IsElement(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT;
}

// Missing attributes read as the empty text, that is 0.
int ReadInt(IXMLDOMNode* node, std::wstring_view name) {
    return XmlParseInt(XmlGetAttr(node, name, L""));
}

// The file's 16-bit fields keep the low 16 bits of the decimal value, and its
// 32-bit style fields the 32 bits the conversion wrapped to: "4294967295" and
// "-1" are the same style.
int16_t ReadShort(IXMLDOMNode* node, std::wstring_view name) {
    return static_cast<int16_t>(ReadInt(node, name));
}
uint16_t ReadWord(IXMLDOMNode* node, std::wstring_view name) {
    return static_cast<uint16_t>(ReadInt(node, name));
}
uint32_t ReadDword(IXMLDOMNode* node, std::wstring_view name) {
    return static_cast<uint32_t>(ReadInt(node, name));
}

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to) {
    for (size_t at = text.find(from); at != std::wstring::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// String data: backslash-r, -n, -t become CR, LF, tab, in that order. There is
// no escape for the backslash itself, so "\\n" keeps one backslash before the
// line feed.
std::wstring UnescapeStringData(std::wstring text) {
    ReplaceAll(text, L"\\r", L"\r");
    ReplaceAll(text, L"\\n", L"\n");
    ReplaceAll(text, L"\\t", L"\t");
    return text;
}

// Menu texts only know the tab, which separates the accelerator text.
std::wstring UnescapeMenuText(std::wstring text) {
    ReplaceAll(text, L"\\t", L"\t");
    return text;
}

// Appends one `MenuItem` element (and, for a popup, everything below it) to
// `parent`. A submenu belongs to its parent once appended; until then it is
// owned here, so a failed append does not leak it.
void AppendMenuItem(HMENU parent, IXMLDOMNode* item) {
    const bool popup = ReadInt(item, L"Popup") != 0;
    const UINT grayed = ReadInt(item, L"Grayed") != 0 ? MF_GRAYED : 0;
    const int id = ReadInt(item, L"ID");
    const std::wstring text = UnescapeMenuText(XmlGetAttr(item, L"Data", L""));
    if (popup) {
        UniqueMenu submenu(CreatePopupMenu());
        if (!submenu) {
            return;
        }
        ForEachSelected(item, L"MenuItem",
                        [&](IXMLDOMNode* child) { AppendMenuItem(submenu.get(), child); });
        if (AppendMenuW(parent, MF_POPUP | grayed, reinterpret_cast<UINT_PTR>(submenu.get()),
                        text.c_str())) {
            submenu.release();
        }
    } else if (id == -1 && text == L"-") {
        AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
    } else {
        AppendMenuW(parent, MF_STRING | grayed, static_cast<UINT_PTR>(static_cast<UINT>(id)),
                    text.c_str());
    }
}

DialogControlDescription ReadControl(IXMLDOMNode* node) {
    DialogControlDescription control;
    control.id = ReadWord(node, L"ID");
    control.style = ReadDword(node, L"Style");
    control.extStyle = ReadDword(node, L"ExtStyle");
    control.x = ReadShort(node, L"X");
    control.y = ReadShort(node, L"Y");
    control.width = ReadShort(node, L"Width");
    control.height = ReadShort(node, L"Height");
    control.systemClass = ReadWord(node, L"SystemClass");
    control.className = XmlGetAttr(node, L"ClassName", L"");
    control.captionId = ReadWord(node, L"CaptionID");
    control.caption = XmlGetAttr(node, L"Caption", L"");
    return control;
}

DialogDescription ReadDialog(IXMLDOMNode* node) {
    DialogDescription dialog;
    dialog.style = ReadDword(node, L"Style");
    dialog.extStyle = ReadDword(node, L"ExtStyle");
    dialog.x = ReadShort(node, L"X");
    dialog.y = ReadShort(node, L"Y");
    dialog.width = ReadShort(node, L"Width");
    dialog.height = ReadShort(node, L"Height");
    dialog.caption = XmlGetAttr(node, L"Caption", L"");
    // The template has a font block only when the style asks for one, so a
    // `Font` element of a dialog without DS_SETFONT is not even read.
    if (dialog.style & DS_SETFONT) {
        if (ComPtr<IXMLDOMNode> font = SelectSingle(node, L"Font")) {
            dialog.fontSize = ReadWord(font.Get(), L"Size");
            dialog.fontName = XmlGetAttr(font.Get(), L"Name", L"");
        } else {
            dialog.fontSize = kDefaultFontSize;
            dialog.fontName = kDefaultFontName;
        }
    }
    ForEachSelected(node, L"Control",
                    [&](IXMLDOMNode* control) { dialog.controls.push_back(ReadControl(control)); });
    return dialog;
}

}  // namespace

LanguageResources::LanguageResources(HINSTANCE module) : module_(module) {}

bool LanguageResources::Load(std::wstring path) {
    strings_.clear();
    languageElement_.Reset();
    document_.Reset();
    // A second load lists the languages of the new file only.
    languages_.clear();
    path_ = std::move(path);

    ComPtr<IXMLDOMDocument> document = CreateDomDocument();
    const Bstr bstrPath(path_);
    if (!document || !bstrPath.Get()) {
        return false;
    }
    // MSXML only reads the path: the variant borrows the BSTR.
    VARIANT source;
    VariantInit(&source);
    V_VT(&source) = VT_BSTR;
    V_BSTR(&source) = bstrPath.Get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (document->load(source, &loaded) != S_OK || loaded != VARIANT_TRUE) {
        return false;
    }
    document_ = std::move(document);

    ForEachSelected(document_.Get(), ChildPath(L"Languages", L"Language"), [&](IXMLDOMNode* node) {
        languages_.push_back({XmlGetAttr(node, L"Name", L""), XmlGetAttr(node, L"ID", L"")});
    });
    return true;
}

bool LanguageResources::SelectLanguage() {
    strings_.clear();
    languageElement_.Reset();
    // An empty identifier is "no language chosen", even if some `Language`
    // element carries an empty "ID".
    if (!document_ || language_.empty()) {
        return false;
    }
    languageElement_ =
        SelectSingle(document_.Get(), KeyedPath(L"Languages", L"Language", L"ID", language_));
    if (!languageElement_) {
        return false;
    }
    ComPtr<IXMLDOMNode> table = SelectSingle(languageElement_.Get(), L"Strings");
    ComPtr<IXMLDOMNodeList> entries;
    if (table && SUCCEEDED(table->get_childNodes(entries.Put()))) {
        // Entries may have any element name; comments and other non-element
        // children carry no string. Assignment lets a later duplicate win.
        ForEachInList(entries.Get(), [&](IXMLDOMNode* entry) {
            if (IsElement(entry)) {
                strings_[ReadInt(entry, L"ID")] =
                    UnescapeStringData(XmlGetAttr(entry, L"Data", L""));
            }
        });
    }
    return true;
}

void LanguageResources::Close() {
    strings_.clear();
    languageElement_.Reset();
    document_.Reset();
}

std::wstring LanguageResources::GetString(int id) const {
    if (const auto found = strings_.find(id); found != strings_.end()) {
        return found->second;
    }
    // With a zero buffer size LoadStringW hands out a pointer into the
    // resource itself and the full length, so no string is ever cut short.
    const wchar_t* builtIn = nullptr;
    const int length =
        LoadStringW(module_, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&builtIn), 0);
    if (length <= 0 || !builtIn) {
        return {};
    }
    return std::wstring(builtIn, static_cast<size_t>(length));
}

std::wstring LanguageResources::FormatStringRaw(int id, ...) const {
    const std::wstring format = GetString(id);
    va_list args;
    va_start(args, id);
    // The C runtime's own wide functions (not MinGW's C99 replacements): their
    // %s takes a wide string, which is what the string table's formats mean.
    // The first pass measures, the second writes into a buffer of that size.
    va_list measuring;
    va_copy(measuring, args);
    const int length = _vscwprintf(format.c_str(), measuring);
    va_end(measuring);
    std::wstring out;
    if (length >= 0) {
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
        const int written = _vsnwprintf(buffer.data(), buffer.size() - 1, format.c_str(), args);
        // The count excludes the last slot, which stays the terminator even
        // when the runtime fills the count exactly and adds none.
        if (written >= 0) {
            out.assign(buffer.data(), static_cast<size_t>(written));
        }
    }
    va_end(args);
    return out;
}

UniqueMenu LanguageResources::BuildMenu(int id) const {
    ComPtr<IXMLDOMNode> node =
        SelectSingle(languageElement_.Get(), KeyedPath(L"Menus", L"Menu", L"ID", id));
    if (!node) {
        return nullptr;
    }
    UniqueMenu menu(CreateMenu());
    if (!menu) {
        return nullptr;
    }
    ForEachSelected(node.Get(), L"MenuItem",
                    [&](IXMLDOMNode* item) { AppendMenuItem(menu.get(), item); });
    return menu;
}

DialogTemplate LanguageResources::BuildDialogTemplate(int id) const {
    ComPtr<IXMLDOMNode> node =
        SelectSingle(languageElement_.Get(), KeyedPath(L"Dialogs", L"Dialog", L"ID", id));
    if (!node) {
        return {};
    }
    return DialogTemplate::Write(ReadDialog(node.Get()));
}

INT_PTR LanguageResources::RunModalDialog(int id, HWND parent, DLGPROC proc, LPARAM param) const {
    // The block lives until the dialog has ended.
    const DialogTemplate block = BuildDialogTemplate(id);
    if (block) {
        return DialogBoxIndirectParamW(module_, block.Get(), parent, proc, param);
    }
    return DialogBoxParamW(module_, MAKEINTRESOURCEW(id), parent, proc, param);
}

HWND LanguageResources::CreateModelessDialog(int id, HWND parent, DLGPROC proc,
                                             LPARAM param) const {
    // The window copies what it needs during creation; the block can go after.
    const DialogTemplate block = BuildDialogTemplate(id);
    if (block) {
        return CreateDialogIndirectParamW(module_, block.Get(), parent, proc, param);
    }
    return CreateDialogParamW(module_, MAKEINTRESOURCEW(id), parent, proc, param);
}

}  // namespace vyrdapp
