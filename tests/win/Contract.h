#pragma once
// The identifiers of the reader and page viewer contract, written out as an
// outside client knows them (not taken from the generated headers, so that a
// wrong identifier in an IDL file shows up as a failing test).

namespace contract {

// VyrdDjVuFile.dll
inline constexpr wchar_t kLibIdReader[] = L"{21250E41-F093-4DBF-9D1E-5B305B7CF925}";
inline constexpr wchar_t kClsidDjVuFile[] = L"{63DF9849-DA10-4213-9457-625B2AC92893}";
inline constexpr wchar_t kClsidContentItem[] = L"{9E0A706D-3245-49CE-BE2F-E5EB6C5FD81A}";
inline constexpr wchar_t kIidVyrdFile[] = L"{23112AD1-A56C-4398-8764-7033EAD03804}";
inline constexpr wchar_t kIidVyrdFileContent[] = L"{C6189D6F-A24A-4EB2-B22B-22F186C42274}";
inline constexpr wchar_t kIidVyrdFileContentItem[] = L"{6DC66B5C-56B2-4FC2-837E-9429A5BE47AF}";
inline constexpr wchar_t kIidVyrdFileText[] = L"{D99C5DFE-41D3-4D3E-88AF-379EA3C777AA}";
inline constexpr wchar_t kIidVyrdFileInternalLinks[] = L"{6D64566F-A2B8-47AB-ADCC-F534C152B261}";
inline constexpr wchar_t kDiidVyrdFileEvents[] = L"{889F3E0B-B8E8-4722-81D6-5EC8662BA0D2}";

// VyrdViewer.dll (the page viewer component)
inline constexpr wchar_t kClsidPageImage[] = L"{2BB2E135-4B81-4840-B7CD-A744DD236AB0}";
inline constexpr wchar_t kIidPageImage[] = L"{3905360D-3C87-498C-93D2-27E002B941B1}";
inline constexpr wchar_t kIidViewerCtrl[] = L"{027A0AFA-F2FF-4E27-B5EB-8DCF74BC0C5E}";
inline constexpr wchar_t kDiidViewerCtrlEvents[] = L"{E14821BB-F1F2-436C-ACE8-174FAA82005F}";
inline constexpr wchar_t kIidViewerHighlights[] = L"{B32D39E2-B1F4-48D0-B7B1-5755EFCD70FA}";

inline constexpr wchar_t kReaderDll[] = L"VyrdDjVuFile.dll";
inline constexpr wchar_t kViewerDll[] = L"VyrdViewer.dll";

}  // namespace contract
