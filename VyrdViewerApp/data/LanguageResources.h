// The user-visible texts of the application in the language the user chose:
// string table, menus and dialog layouts read from the language resource file
// ("VyrdViewerResource.xml" beside the program), each falling back, per
// identifier, to the built-in resource with the same number in `module`.
//
// Runs on the user-interface thread. Nothing here throws except std::bad_alloc;
// a file that cannot be read, a language that is not in it, or an entry that a
// language lacks all mean "use the built-in resource".
#pragma once

#include "ComPtr.h"
#include "DialogTemplate.h"

#include <windows.h>
#include <msxml2.h>

#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vyrdapp {

// One language the file offers, as the options dialog lists it.
struct LanguageInfo {
    std::wstring name;  // display name ("Name")
    std::wstring id;    // identifier as stored in the settings ("ID")
};

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
// A menu the holder owns; release() it when a window takes it over (SetMenu).
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

class LanguageResources {
public:
    // `module` holds the built-in resources (string table, menus, dialogs) and
    // is the instance of the dialogs created here; by default the executable.
    explicit LanguageResources(HINSTANCE module = GetModuleHandleW(nullptr));
    LanguageResources(const LanguageResources&) = delete;
    LanguageResources& operator=(const LanguageResources&) = delete;

    // Forgets the current strings, language element, document and language
    // list, then loads the file at `path` and lists its languages in document
    // order. False when the file is missing or is not XML; everything then
    // comes from the built-in resources.
    bool Load(std::wstring path);

    // The language identifier SelectLanguage looks for (the settings value).
    void SetLanguage(std::wstring language) { language_ = std::move(language); }
    const std::wstring& Language() const { return language_; }

    // Reads the string table of the language set with SetLanguage. False, with
    // no translated strings, menus or dialogs, when no file is loaded or the
    // file has no such language.
    bool SelectLanguage();

    // Releases the document and empties the string table (at shutdown).
    void Close();

    const std::wstring& Path() const { return path_; }
    const std::vector<LanguageInfo>& Languages() const { return languages_; }
    HINSTANCE Module() const { return module_; }

    // The translated string, else the built-in one, else empty.
    std::wstring GetString(int id) const;

    // GetString(id) used as a printf format in the C runtime's wide form: %s
    // takes a wide string (const wchar_t*), %d an int. Only numbers and
    // pointers can be passed; the result is never cut short.
    template <class... Args>
    std::wstring FormatString(int id, Args... args) const {
        static_assert(((std::is_arithmetic_v<Args> || std::is_pointer_v<Args>)&&...),
                      "FormatString takes numbers and C strings only");
        return FormatStringRaw(id, args...);
    }

    // The translated menu, or null when the current language has none with
    // this identifier; the caller then loads the built-in one with LoadMenuW.
    // The caller owns the returned menu and every submenu under it.
    UniqueMenu BuildMenu(int id) const;

    // The translated dialog as a template block, or an empty block when the
    // current language has no dialog with this identifier.
    DialogTemplate BuildDialogTemplate(int id) const;

    // Runs the dialog `id` modally: the translated template when there is one,
    // else the built-in dialog of `module`. Returns what DialogBoxParam does.
    INT_PTR RunModalDialog(int id, HWND parent, DLGPROC proc, LPARAM param) const;
    // Creates the dialog `id` modeless, the same way. The caller owns the window
    // (DestroyWindow). Null on failure.
    HWND CreateModelessDialog(int id, HWND parent, DLGPROC proc, LPARAM param) const;

private:
    std::wstring FormatStringRaw(int id, ...) const;

    HINSTANCE module_;
    std::wstring language_;
    std::wstring path_;
    ComPtr<IXMLDOMDocument> document_;
    ComPtr<IXMLDOMNode> languageElement_;
    std::unordered_map<int, std::wstring> strings_;
    std::vector<LanguageInfo> languages_;
};

}  // namespace vyrdapp
