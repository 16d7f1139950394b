// The resources of the built Dunmoor.exe, read back the way Windows reads
// them: Hungarian texts through the wide API, the templates' captions and
// controls, the version block, the icon sizes and the manifest.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupportWin32.h"
#include "ui/resource.h"

namespace {

const WORD kHungarian = MAKELANGID(LANG_HUNGARIAN, SUBLANG_DEFAULT);

class ProgramResourcesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        exe = BinaryDir() + "\\dist\\Dunmoor.exe";
        module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        INITCOMMONCONTROLSEX controls = {static_cast<DWORD>(sizeof controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override { ASSERT_NE(module, nullptr) << exe << " not built"; }

    static std::wstring String(UINT id) {
        wchar_t text[512] = {};
        LoadStringW(module, id, text, 511);
        return text;
    }
    static std::string Bytes(int type, int id) {
        HRSRC found =
            FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), kHungarian);
        if (found == nullptr) {
            return {};
        }
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(data, SizeofResource(module, found));
    }
    // The template made into a hidden window, so its texts and styles can be
    // read as the program will see them.
    static HWND Create(int templateId) {
        const std::string bytes = Bytes(5 /* RT_DIALOG */, templateId);
        if (bytes.empty()) {
            return nullptr;
        }
        return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                          reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr,
                                          &IgnoreAll, 0);
    }
    static INT_PTR CALLBACK IgnoreAll(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    static std::wstring Text(HWND window, int id = 0) {
        wchar_t text[512] = {};
        GetWindowTextW(id == 0 ? window : GetDlgItem(window, id), text, 511);
        return text;
    }
    static LONG Style(HWND window, int id) {
        return GetWindowLongW(GetDlgItem(window, id), GWL_STYLE);
    }

    static std::string exe;
    static HMODULE module;
};
std::string ProgramResourcesTest::exe;
HMODULE ProgramResourcesTest::module = nullptr;

TEST_F(ProgramResourcesTest, StringTableHoldsTheHungarianTexts) {
    EXPECT_EQ(String(IDS_ABOUTBOX), L"&Dunmoor-r\u00f3l");
    EXPECT_EQ(String(IDS_SERVER_UNREACHABLE), L"SQL Server nem \u00e9rhet\u0151 el.");
    EXPECT_EQ(String(IDS_CREATE_FAILED), L"ADATB\u00c1ZIS L\u00c9TREHOZ\u00c1SA sikertelen");
    EXPECT_EQ(String(IDS_INSTALL_QUESTION),
              L"Szeretn\u00e9 telep\u00edteni a Microsoft SQL Express Edition-t?");
    EXPECT_EQ(String(IDS_INSTALL_CAPTION), L"Microsoft SQL Server telep\u00edt\u00e9s");
}

TEST_F(ProgramResourcesTest, EveryResourceIsHungarian) {
    for (int id : {IDD_ABOUTBOX, IDD_DUNMOOR_DIALOG, IDD_DBCOMMANDSETUP, IDD_DBNAME}) {
        EXPECT_FALSE(Bytes(5, id).empty()) << "dialog " << id;
    }
    EXPECT_FALSE(Bytes(14 /* RT_GROUP_ICON */, IDR_MAINFRAME).empty());
    EXPECT_FALSE(Bytes(16 /* RT_VERSION */, IDV_VERSION).empty());
    EXPECT_FALSE(Bytes(24 /* RT_MANIFEST */, 1).empty());
    EXPECT_FALSE(Bytes(6 /* RT_STRING */, IDS_ABOUTBOX / 16 + 1).empty());
}

TEST_F(ProgramResourcesTest, ProgressDialogHasNoCaptionAndTheCreateText) {
    HWND dlg = Create(IDD_DBCOMMANDSETUP);
    ASSERT_NE(dlg, nullptr);
    const LONG style = GetWindowLongW(dlg, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_NE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(Text(dlg), L"");
    EXPECT_EQ(Text(dlg, IDC_STATUS_TEXT), L"Adatb\u00e1zis l\u00e9trehoz\u00e1sa  [Quenlor]");
    wchar_t cls[64] = {};
    GetClassNameW(GetDlgItem(dlg, IDC_PROGRESS), cls, 64);
    EXPECT_EQ(lstrcmpiW(cls, PROGRESS_CLASSW), 0);
    EXPECT_NE(Style(dlg, IDC_PROGRESS) & PBS_SMOOTH, 0);
    DestroyWindow(dlg);
}

TEST_F(ProgramResourcesTest, MainDialogControlsStartAsTheyAreDrawn) {
    HWND dlg = Create(IDD_DUNMOOR_DIALOG);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Text(dlg), L"Adatb\u00e1zis l\u00e9trehoz\u00e1sa [Quenlor]");
    EXPECT_EQ(Text(dlg, IDC_WINDOWS_AUTH), L" Windows azonos\u00edt\u00e1s");
    EXPECT_EQ(Text(dlg, IDC_FINISH), L"Befejz\u00e9s");
    EXPECT_EQ(Style(dlg, IDC_FINISH) & WS_VISIBLE, 0);
    EXPECT_EQ(Style(dlg, IDC_INSTALL) & WS_VISIBLE, 0);
    EXPECT_NE(Style(dlg, IDC_SETUP) & WS_VISIBLE, 0);
    EXPECT_NE(Style(dlg, IDC_DB_NAME) & ES_READONLY, 0);
    EXPECT_NE(Style(dlg, IDC_PASSWORD) & ES_PASSWORD, 0);
    EXPECT_EQ(Style(dlg, IDC_DB_TYPE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(Style(dlg, IDC_SERVER_AUTH) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_EQ(Style(dlg, IDC_SERVER_AUTH) & WS_TABSTOP, 0);
    EXPECT_EQ(Style(dlg, IDC_WINDOWS_AUTH) & (WS_TABSTOP | WS_GROUP), 0);
    DestroyWindow(dlg);
}

TEST_F(ProgramResourcesTest, SmallDialogsHaveTheirCaptions) {
    HWND about = Create(IDD_ABOUTBOX);
    HWND name = Create(IDD_DBNAME);
    ASSERT_NE(about, nullptr);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(Text(about), L"Dunmoor n\u00e9vjegy");
    EXPECT_EQ(Text(name), L"Adatb\u00e1zisn\u00e9v bevitel.");
    EXPECT_EQ(Text(name, IDCANCEL), L"T\u00f6rl\u00e9s");
    EXPECT_EQ(Text(name, IDC_DEFAULT_NAME), L"Alap ...");
    DestroyWindow(about);
    DestroyWindow(name);
}

TEST_F(ProgramResourcesTest, VersionBlockNamesTheFileAndItsVersions) {
    const std::string block = Bytes(16, IDV_VERSION);
    ASSERT_GT(block.size(), 0u);
    const size_t signature = block.find("\xbd\x04\xef\xfe");
    ASSERT_NE(signature, std::string::npos);
    ASSERT_GE(block.size(), signature + sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(block.data() + signature);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(420, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    const std::wstring all(reinterpret_cast<const wchar_t*>(block.data()), block.size() / 2);
    EXPECT_NE(all.find(L"040e04b0"), std::wstring::npos);
    for (const wchar_t* text : {L"1.2.0.0420", L"1.2.0.0", L"Dunmoor.exe"}) {
        EXPECT_NE(all.find(text), std::wstring::npos) << "missing";
    }
}

TEST_F(ProgramResourcesTest, IconHasThe16And32And48PixelImages) {
    const std::string group = Bytes(14, IDR_MAINFRAME);
    ASSERT_GE(group.size(), 6u);
    const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        sizes.push_back(static_cast<unsigned char>(group[6 + i * 14]));
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

TEST_F(ProgramResourcesTest, ManifestAsksForElevationDpiAwarenessAndCommonControls6) {
    const std::string manifest = Bytes(24, 1);
    for (const char* part : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
             ">true</dpiAware>",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
         }) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

} // namespace
