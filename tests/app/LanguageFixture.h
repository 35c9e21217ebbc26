// Language resource files for the tests: XML text written as UTF-8 into a real
// temporary file, and a loaded LanguageResources over it.
#pragma once

#include "LanguageResources.h"
#include "TestSupport.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace langtest {

inline std::vector<uint8_t> Utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::vector<uint8_t> out(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        reinterpret_cast<char*>(out.data()), n, nullptr, nullptr);
    return out;
}

// A whole resource file around the given `Language` elements.
inline std::wstring LanguagesXml(std::wstring_view languages) {
    return L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Languages>\r\n" +
           std::wstring(languages) + L"\r\n</Languages>\r\n";
}

// One `Language` element with the given ID and content.
inline std::wstring LanguageXml(std::wstring_view id, std::wstring_view content) {
    return L"<Language ID=\"" + std::wstring(id) + L"\" Name=\"Test " + std::wstring(id) + L"\">" +
           std::wstring(content) + L"</Language>";
}

// A resource file on disk, loaded, with `language` selected. The file stays
// for the life of the object, as the application keeps its file.
class LoadedLanguage {
public:
    LoadedLanguage(std::wstring_view xml, std::wstring_view language) : file_(Utf8(xml), L".xml") {
        loaded_ = resources_.Load(file_.Path());
        resources_.SetLanguage(std::wstring(language));
        selected_ = resources_.SelectLanguage();
    }

    vyrdapp::LanguageResources& Resources() { return resources_; }
    vyrdapp::LanguageResources* operator->() { return &resources_; }
    bool Loaded() const { return loaded_; }
    bool Selected() const { return selected_; }

private:
    testwin::TempFile file_;
    vyrdapp::LanguageResources resources_;
    bool loaded_ = false;
    bool selected_ = false;
};

}  // namespace langtest
