// The progress dialog on its real template (from the built Dunmoor.exe): one
// run at the first tick of timer 1000, closing itself, and what each mode
// tells its creator. No Kelvane.dll is loaded here, so both workflows fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogDriverWin32.h"
#include "TestSupportWin32.h"
#include "app/DunmoorApp.h"
#include "crypto/Cipher.h"
#include "db/MessageBox.h"
#include "platform/Platform.h"
#include "record/RunLog.h"
#include "ui/DBCommandSetup.h"
#include "ui/resource.h"

namespace {

CDunmoorApp g_app;

class RecordingSink : public IMessageSink {
  public:
    void ShowError(unsigned id, const BoxInserts&) override { shown.push_back(id); }
    bool AskYesNo(unsigned id, const BoxInserts&) override {
        shown.push_back(id);
        return false;
    }
    std::vector<unsigned> shown;
};

// Records what the dialog shows once it is initialised, and can queue
// messages that arrive before the first tick.
class ObservedSetup : public CDBCommandSetup {
  public:
    BOOL OnInitDialog() override {
        const BOOL result = CDBCommandSetup::OnInitDialog();
        char text[64] = {};
        GetDlgItemText(IDC_STATUS_TEXT, text, sizeof text);
        statusText = text;
        window = m_hWnd;
        hasCaption = (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        for (const MSG& m : early) {
            PostMessageW(m_hWnd, m.message, m.wParam, m.lParam);
        }
        return result;
    }
    std::string statusText;
    HWND window = nullptr;
    bool hasCaption = true;
    std::vector<MSG> early;
};

MSG Message(UINT message, WPARAM wParam) {
    MSG m = {};
    m.message = message;
    m.wParam = wParam;
    return m;
}

class ProgressDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_app.m_hInstance = LoadLibraryExA((BinaryDir() + "\\dist\\Dunmoor.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    }
    void SetUp() override {
        ASSERT_NE(g_app.m_hInstance, nullptr) << "Dunmoor.exe not built";
        g_app.launchedWithCommandLine = 1;
        SetMessageSink(&sink);
        std::remove(kLog);
        ASSERT_TRUE(OpenRunLog(kLog));
    }
    void TearDown() override {
        SetMessageSink(nullptr);
        CloseRunLog();
        std::remove(kLog);
    }
    // The run log so far. A workflow that ran has logged its outcome there:
    // m_succeeded alone is 0 also for a dialog that never ran one.
    static std::string LogText() {
        CloseRunLog();
        const std::string text = ReadWholeFile(kLog);
        OpenRunLog(kLog);
        return text;
    }
    static size_t Count(const std::string& text, const std::string& what) {
        size_t count = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++count;
        }
        return count;
    }
    static constexpr const char* kLog = "progress_dialog_test.log";
    RecordingSink sink;
};

TEST_F(ProgressDialogTest, FailedPatchClosesItselfAndClearsSuccessSilently) {
    ObservedSetup dlg;
    dlg.m_mode = CDBCommandSetup::kModePatch;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_succeeded, 0);
    EXPECT_EQ(dlg.m_armed, 0);
    EXPECT_EQ(Count(LogText(), "Outcome: Patching "), 1u) << LogText();
    EXPECT_EQ(dlg.statusText, "Patch Database [Quenlor]");
    EXPECT_FALSE(dlg.hasCaption);
    EXPECT_TRUE(sink.shown.empty());
}

// The create runs on a worker; its boxes are the dialog's, shown by the
// dialog's thread in order: the workflow's refused connection, then the
// dialog's own failure. Escape and Enter during the run do nothing.
TEST_F(ProgressDialogTest, FailedCreateIsShownOnceByTheDialogAndClearsSuccess) {
    SetMessageSink(nullptr);
    // Everything the create checks before it connects is there, and the
    // sealed scripts decrypt with the program's key, as after start-up.
    BuildCipherTables();
    ExpandKey();
    SetProgramDirectoryForTesting((BinaryDir() + "\\dist").c_str());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Moravel\\Quenlor Server", 0, nullptr,
                              0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ObservedSetup dlg;
    dlg.m_mode = CDBCommandSetup::kModeCreate;
    std::vector<std::wstring> texts;
    auto press = [&](HWND box) {
        EXPECT_EQ(GetWindow(box, GW_OWNER), dlg.window);
        texts.push_back(dialogdriver::MessageBoxText(box));
        if (texts.size() == 1) {
            PostMessageW(dlg.window, WM_COMMAND, IDCANCEL, 0); // during the run
        }
        dialogdriver::PostCommand(box, IDOK);
    };
    dialogdriver::Script script;
    script.On(dialogdriver::BoxCaption(), press).On(dialogdriver::BoxCaption(), press);
    INT_PTR result = 0;
    script.Play([&] { result = dlg.DoModal(); });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(texts, (std::vector<std::wstring>(2, L"SQL Server nem \u00e9rhet\u0151 el.")));
    // The unattended run's exit status is taken from it.
    EXPECT_EQ(dlg.m_succeeded, 0);
    // The template's text stays in create mode (the file is UTF-8, the
    // control text is in code page 1250).
    EXPECT_EQ(dlg.statusText, "Adatb\xe1zis l\xe9trehoz\xe1sa  [Quenlor]");
    SetProgramDirectoryForTesting(nullptr);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Moravel\\Quenlor Server", KEY_WOW64_32KEY, 0);
}

TEST_F(ProgressDialogTest, UnknownModeClosesAtTheFirstTickWithoutRunning) {
    ObservedSetup dlg;
    dlg.m_mode = 9;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_succeeded, 1);
    EXPECT_EQ(dlg.m_armed, 0);
    EXPECT_EQ(Count(LogText(), "Outcome: "), 0u);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ProgressDialogTest, OtherTimersAndEscapeOrEnterBeforeTheTickRunNothing) {
    for (int mode : {CDBCommandSetup::kModeCreate, CDBCommandSetup::kModePatch}) {
        for (WPARAM key : {IDCANCEL, IDOK}) {
            ObservedSetup dlg;
            dlg.m_mode = mode;
            dlg.early = {Message(WM_TIMER, 7), Message(WM_COMMAND, key)};
            EXPECT_EQ(dlg.DoModal(), static_cast<INT_PTR>(key));
            EXPECT_EQ(dlg.m_armed, 1) << "mode " << mode;
            // A run that never happened is no success for the creator to act on.
            EXPECT_EQ(dlg.m_succeeded, 0) << "mode " << mode << " key " << key;
            EXPECT_TRUE(sink.shown.empty());
        }
    }
    EXPECT_EQ(Count(LogText(), "Outcome: "), 0u);
}

// Without its template (the test program holds none) the dialog never runs:
// no patch, so the main dialog opens, and no create; the run log says why.
TEST_F(ProgressDialogTest, ADialogThatCannotBeCreatedIsNoSuccess) {
    const HINSTANCE resources = g_app.m_hInstance;
    g_app.m_hInstance = GetModuleHandleW(nullptr);
    for (int mode : {CDBCommandSetup::kModePatch, CDBCommandSetup::kModeCreate}) {
        ObservedSetup dlg;
        dlg.m_mode = mode;
        EXPECT_EQ(dlg.DoModal(), -1);
        EXPECT_EQ(dlg.m_succeeded, 0) << "mode " << mode;
    }
    g_app.m_hInstance = resources;
    const std::string text = LogText();
    for (const char* what : {"patch", "create"}) {
        EXPECT_NE(text.find(std::string("): the ") + what + " did not run"), std::string::npos)
            << text;
    }
    EXPECT_NE(text.find("The progress dialog could not be created (error "), std::string::npos);
    EXPECT_EQ(Count(text, "Outcome: "), 0u);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ProgressDialogTest, RunsAgainWhenShownAgainAsANewDialog) {
    // Each dialog object runs once; a second object (the next start) runs too.
    for (int i = 0; i < 2; ++i) {
        ObservedSetup dlg;
        dlg.m_mode = CDBCommandSetup::kModePatch;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_succeeded, 0);
    }
    EXPECT_EQ(Count(LogText(), "Outcome: Patching "), 2u);
}

} // namespace
