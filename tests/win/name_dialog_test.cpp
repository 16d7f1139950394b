// The database-name dialog, run modally on the program's own template and
// driven through its controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DialogDriverWin32.h"
#include "TestSupportWin32.h"
#include "app/DunmoorApp.h"
#include "ui/DBNameDialog.h"
#include "ui/resource.h"

namespace {

using namespace dialogdriver;

CDunmoorApp g_app;

const std::wstring kCaption = L"Adatbázisnév bevitel.";
const std::wstring kTooLong = L"You can't longer than 32 bytes!";
const std::wstring kNotAccepted = L"You can use only letters, digits and _, and not a digit first!";

class NameDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_app.m_hInstance = LoadProgramResources(BinaryDir() + "\\dist\\Dunmoor.exe");
        strcpy(g_app.m_pszAppName, "Dunmoor");
    }
    void SetUp() override { ASSERT_NE(g_app.m_hInstance, nullptr) << "Dunmoor.exe not built"; }

    // Types text into the field and presses OK; returns the dialog's result.
    INT_PTR TypeAndConfirm(const std::wstring& text) {
        Script script;
        script.On(kCaption, [text](HWND d) {
            SetDlgItemTextW(d, IDC_DB_NAME, text.c_str());
            PostCommand(d, IDOK);
        });
        INT_PTR result = -2;
        script.Play([&] { result = dialog_.DoModal(); });
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(script.TimedOut());
        return result;
    }

    CDBNameDialog dialog_;
};

TEST_F(NameDialog, KnowsItsClass) {
    EXPECT_STREQ(dialog_.GetRuntimeClass()->m_lpszClassName, "CDBNameDialog");
    EXPECT_TRUE(dialog_.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_EQ(dialog_.GetTemplateId(), static_cast<UINT>(IDD_DBNAME));
}

TEST_F(NameDialog, TakesANameThatFitsTheRecordField) {
    const std::wstring name(31, L'x');
    EXPECT_EQ(TypeAndConfirm(name), IDOK);
    EXPECT_EQ(dialog_.GetName(), std::string(31, 'x'));
}

TEST_F(NameDialog, MeasuresBytesOfTheAnsiCodePage) {
    // One byte each in code page 1250, two each in UTF-8.
    const std::wstring name(31, L'á');
    EXPECT_EQ(TypeAndConfirm(name), IDOK);
    EXPECT_EQ(dialog_.GetName(), std::string(31, '\xE1'));
}

// 32 bytes would lose the last one in the record's 32-byte field, so a name
// must stop at 31; and the statements carry it unquoted, so it holds only
// letters, digits and underscores. Either refusal keeps the dialog open with
// the name as typed.
TEST_F(NameDialog, RefusesANameTheRecordWouldCutOrTheStatementsCouldNotCarry) {
    for (const std::wstring& name :
         {std::wstring(32, L'y'), std::wstring(), std::wstring(L"quenlor-prod"),
          std::wstring(L"9lives"), std::wstring(L"a b")}) {
        std::wstring message;
        std::wstring fieldAfter = L"?";
        Script script;
        script
            .On(kCaption,
                [&](HWND d) {
                    SetDlgItemTextW(d, IDC_DB_NAME, name.c_str());
                    PostCommand(d, IDOK);
                })
            .Then([&] {
                // The refusal box carries the application's title.
                HWND box = FindDialog(L"Dunmoor");
                if (box == nullptr) {
                    return false;
                }
                message = MessageBoxText(box);
                PostCommand(box, IDOK);
                return true;
            })
            .On(kCaption, [&](HWND d) {
                fieldAfter = WideText(GetDlgItem(d, IDC_DB_NAME));
                PostCommand(d, IDCANCEL);
            });
        INT_PTR result = -2;
        script.Play([&] { result = dialog_.DoModal(); });

        EXPECT_TRUE(script.Done());
        EXPECT_EQ(message, name.size() > 31 ? kTooLong : kNotAccepted);
        EXPECT_EQ(fieldAfter, name);
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST_F(NameDialog, DefaultButtonFillsQuenlorAndOkTakesIt) {
    std::wstring field;
    Script script;
    script.On(kCaption, [](HWND d) { PostCommand(d, IDC_DEFAULT_NAME); }).On(kCaption, [&](HWND d) {
        field = WideText(GetDlgItem(d, IDC_DB_NAME));
        PostCommand(d, IDOK);
    });
    INT_PTR result = -2;
    script.Play([&] { result = dialog_.DoModal(); });

    EXPECT_TRUE(script.Done());
    EXPECT_EQ(field, L"Quenlor");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog_.GetName(), "Quenlor");
}

TEST_F(NameDialog, OpensEmptyAgainAndCancelEndsWithCancel) {
    ASSERT_EQ(TypeAndConfirm(L"Sales"), IDOK);

    std::wstring fieldOnOpen = L"?";
    Script script;
    script.On(kCaption, [&](HWND d) {
        fieldOnOpen = WideText(GetDlgItem(d, IDC_DB_NAME));
        SetDlgItemTextW(d, IDC_DB_NAME, L"Other");
        PostCommand(d, IDCANCEL);
    });
    INT_PTR result = -2;
    script.Play([&] { result = dialog_.DoModal(); });

    EXPECT_EQ(fieldOnOpen, L"");
    EXPECT_EQ(result, IDCANCEL);
}

} // namespace
