#include "SettingsStore.h"

#include "Bstr.h"

#include <climits>
#include <cwchar>
#include <span>
#include <type_traits>
#include <variant>

namespace vyrdapp {

namespace {

constexpr wchar_t kRootName[] = L"Setting";

// RECT's members are LONG, a distinct 32-bit type on Windows.
using FieldRef = std::variant<bool*, int*, LONG*, std::wstring*>;

// One value of the settings file. Entries of one element follow each other, in
// the order the attributes are written.
struct SettingField {
    const wchar_t* element;  // below the group element; null for the group element itself
    const wchar_t* attribute;
    const wchar_t* defaultText;  // read when the attribute is missing
    FieldRef (*field)(SettingsStore&);
    bool written = true;     // false: read only, the file keeps its own text
    int minValue = INT_MIN;  // integers read outside the range are clamped
    int maxValue = INT_MAX;
};

const SettingField kMainWindowFields[] = {
    {nullptr, L"Maximized", L"", [](SettingsStore& s) -> FieldRef { return &s.maximized; }},
    {nullptr, L"CloseByEsc", L"", [](SettingsStore& s) -> FieldRef { return &s.closeByEsc; },
     false},
    {L"Rect", L"Left", L"", [](SettingsStore& s) -> FieldRef { return &s.rect.left; }},
    {L"Rect", L"Top", L"", [](SettingsStore& s) -> FieldRef { return &s.rect.top; }},
    {L"Rect", L"Right", L"", [](SettingsStore& s) -> FieldRef { return &s.rect.right; }},
    {L"Rect", L"Bottom", L"", [](SettingsStore& s) -> FieldRef { return &s.rect.bottom; }},
    {L"TopToolbar", L"Visible", L"",
     [](SettingsStore& s) -> FieldRef { return &s.topToolbarVisible; }},
    {L"BottomToolbar", L"Visible", L"",
     [](SettingsStore& s) -> FieldRef { return &s.bottomToolbarVisible; }},
    {L"LeftPane", L"Visible", L"", [](SettingsStore& s) -> FieldRef { return &s.leftPaneVisible; }},
    {L"LeftPane", L"SplitterPos", L"", [](SettingsStore& s) -> FieldRef { return &s.splitterPos; }},
    {L"LeftPane", L"CurrentTab", L"",
     [](SettingsStore& s) -> FieldRef { return &s.currentLeftPaneTab; }},
    {L"LeftPane", L"TabIndex0", L"0",
     [](SettingsStore& s) -> FieldRef { return &s.leftPaneTabIndex[0]; }},
    {L"LeftPane", L"TabIndex1", L"1",
     [](SettingsStore& s) -> FieldRef { return &s.leftPaneTabIndex[1]; }},
    {L"LeftPane", L"TabIndex2", L"2",
     [](SettingsStore& s) -> FieldRef { return &s.leftPaneTabIndex[2]; }},
};

const SettingField kGeneralFields[] = {
    {L"Language", L"ID", L"", [](SettingsStore& s) -> FieldRef { return &s.language; }},
    {L"RecentFileList", L"MaxCount", L"5",
     [](SettingsStore& s) -> FieldRef { return &s.recentMaxCount; }, true, 0, 10},
    {L"TabsSetting", L"Bottom", L"", [](SettingsStore& s) -> FieldRef { return &s.tabsAtBottom; }},
    {L"TabsSetting", L"OneOpenDocShow", L"",
     [](SettingsStore& s) -> FieldRef { return &s.oneOpenDocShow; }},
    {L"TabsSetting", L"DblClickClose", L"",
     [](SettingsStore& s) -> FieldRef { return &s.dblClickClose; }},
};

void ReadField(IXMLDOMNode* node, const SettingField& f, SettingsStore& settings) {
    const std::wstring text = XmlGetAttr(node, f.attribute, f.defaultText);
    std::visit(
        [&](auto* value) {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::wstring>) {
                *value = text;
            } else if constexpr (std::is_same_v<T, bool>) {
                *value = XmlParseInt(text) != 0;
            } else {
                const int n = XmlParseInt(text);
                *value = n < f.minValue ? f.minValue : n > f.maxValue ? f.maxValue : n;
            }
        },
        f.field(settings));
}

void WriteField(IXMLDOMNode* node, const SettingField& f, SettingsStore& settings) {
    std::visit(
        [&](auto* value) {
            using T = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::wstring>) {
                XmlSetAttrText(node, f.attribute, *value);
            } else if constexpr (std::is_same_v<T, bool>) {
                XmlSetAttrBool(node, f.attribute, *value);
            } else {
                XmlSetAttrInt(node, f.attribute, static_cast<int>(*value));
            }
        },
        f.field(settings));
}

bool SameElement(const wchar_t* a, const wchar_t* b) {
    return a == b || (a && b && std::wcscmp(a, b) == 0);
}

// Calls visit(node, field) for the fields of one group in order, `node` being
// the field's element under `group` (the group itself for its own
// attributes). With `create` an absent element is created in `document`;
// without, `node` is null for it.
template <class Visit>
void ForEachField(IXMLDOMNode* group, IXMLDOMDocument* document, bool create,
                  std::span<const SettingField> fields, Visit visit) {
    ComPtr<IXMLDOMNode> child;
    const wchar_t* childName = nullptr;
    for (const SettingField& f : fields) {
        IXMLDOMNode* node = group;
        if (f.element) {
            if (!SameElement(childName, f.element)) {
                childName = f.element;
                child = XmlGetChild(group, f.element, document, create, false);
            }
            node = child.Get();
        }
        visit(node, f);
    }
}

// Reads the fields of one group. A missing element leaves its fields as they
// are, so values absent from the file keep their initial values.
void ReadGroup(IXMLDOMNode* group, std::span<const SettingField> fields, SettingsStore& settings) {
    ForEachField(group, nullptr, false, fields, [&](IXMLDOMNode* node, const SettingField& f) {
        if (node) {
            ReadField(node, f, settings);
        }
    });
}

// Writes the fields of one group, each into its element, created when absent.
// Other elements and attributes under the group are left as they are.
void WriteGroup(IXMLDOMNode* group, IXMLDOMDocument* document, std::span<const SettingField> fields,
                SettingsStore& settings) {
    ForEachField(group, document, true, fields, [&](IXMLDOMNode* node, const SettingField& f) {
        if (f.written) {
            WriteField(node, f, settings);
        }
    });
}

}  // namespace

bool SettingsStore::Load(const std::wstring& path) {
    store_.Close();
    store_.SetPath(path);
    XmlCreateFileIfMissing(path, kRootName);
    if (!store_.EnsureLoaded(kRootName)) {
        return false;
    }
    ReadMainWindow();
    ReadRecentFiles();
    ReadGeneral();
    return true;
}

bool SettingsStore::Save() {
    // A file that did not load is never overwritten: it stays as the user left it.
    if (!store_.EnsureLoaded(kRootName)) {
        return false;
    }
    WriteMainWindow();
    WriteRecentFiles();
    WriteGeneral();
    return store_.Save();
}

void SettingsStore::ReadMainWindow() {
    const ComPtr<IXMLDOMNode> group =
        XmlGetChild(store_.Root(), L"MainWindow", nullptr, false, false);
    if (group) {
        ReadGroup(group.Get(), kMainWindowFields, *this);
    }
}

void SettingsStore::ReadRecentFiles() {
    const ComPtr<IXMLDOMNode> group =
        XmlGetChild(store_.Root(), L"RecentFiles", nullptr, false, false);
    if (!group) {
        return;
    }
    recentFiles.clear();
    ComPtr<IXMLDOMNodeList> files;
    const Bstr query(L"File");
    if (!query.Get() || group->selectNodes(query.Get(), files.Put()) != S_OK || !files) {
        return;
    }
    long count = 0;
    if (FAILED(files->get_length(&count))) {
        return;
    }
    // Every entry is kept, however many: the recent file list applies its
    // maximum when it shows them.
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> file;
        if (files->get_item(i, file.Put()) == S_OK && file) {
            recentFiles.push_back(XmlGetAttr(file.Get(), L"FilePath", L""));
        }
    }
}

void SettingsStore::ReadGeneral() {
    // The group is created when absent, so that the options the application
    // writes later have a place in the document.
    const ComPtr<IXMLDOMNode> group =
        XmlGetChild(store_.Root(), L"General", store_.Document(), true, false);
    if (group) {
        ReadGroup(group.Get(), kGeneralFields, *this);
    }
}

void SettingsStore::WriteMainWindow() {
    // The element is emptied and rebuilt: children the application does not
    // know are dropped, while the attributes of MainWindow itself stay, among
    // them "CloseByEsc", which only the file sets.
    const ComPtr<IXMLDOMNode> group =
        XmlGetChild(store_.Root(), L"MainWindow", store_.Document(), true, true);
    if (group) {
        WriteGroup(group.Get(), store_.Document(), kMainWindowFields, *this);
    }
}

void SettingsStore::WriteRecentFiles() {
    const ComPtr<IXMLDOMNode> group =
        XmlGetChild(store_.Root(), L"RecentFiles", store_.Document(), true, true);
    if (!group) {
        return;
    }
    for (const std::wstring& path : recentFiles) {
        const ComPtr<IXMLDOMNode> file = XmlCreateElement(L"File", store_.Document(), group.Get());
        XmlSetAttrText(file.Get(), L"FilePath", path);
    }
}

void SettingsStore::WriteGeneral() {
    // Not emptied: other children and attributes under General survive.
    const ComPtr<IXMLDOMNode> group =
        XmlGetChild(store_.Root(), L"General", store_.Document(), true, false);
    if (group) {
        WriteGroup(group.Get(), store_.Document(), kGeneralFields, *this);
    }
}

}  // namespace vyrdapp
