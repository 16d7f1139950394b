#include "ui/DBNameDialog.h"

#include <windows.h>

#include "db/DatabaseName.h"
#include "record/LoggedBox.h"
#include "platform/WideText.h"
#include "framework/WinApp.h"
#include "ui/resource.h"

IMPLEMENT_DYNAMIC(CDBNameDialog, CDialog)

BEGIN_MESSAGE_MAP(CDBNameDialog, CDialog)
ON_BN_CLICKED(IDOK, OnNameOk)
ON_BN_CLICKED(IDC_DEFAULT_NAME, OnDefaultName)
END_MESSAGE_MAP()

namespace {

constexpr const char* kDefaultName = "Quenlor";
constexpr const char* kTooLongText = "You can't longer than 32 bytes!";
constexpr const char* kNotAcceptedText =
    "You can use only letters, digits and _, and not a digit first!";

// The whole text of a control, in bytes of the ANSI code page.
std::string ControlText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

} // namespace

CDBNameDialog::CDBNameDialog() : CDialog(IDD_DBNAME) {}

void CDBNameDialog::OnNameOk() {
    m_name = ControlText(GetDlgItem(IDC_DB_NAME));
    const char* refusal = nullptr;
    if (m_name.size() > kMaxDatabaseNameBytes) {
        refusal = kTooLongText;
    } else if (!IsAcceptedDatabaseName(m_name.c_str())) {
        // The statements carry the name unquoted: see IsAcceptedDatabaseName.
        refusal = kNotAcceptedText;
    }
    if (refusal == nullptr) {
        OnOK();
        return;
    }
    CWinApp* app = AfxGetApp();
    const char* caption = app != nullptr ? app->m_pszAppName : "";
    ShowLoggedBox(m_hWnd, AnsiToWide(refusal).c_str(), AnsiToWide(caption).c_str(), MB_OK);
}

void CDBNameDialog::OnDefaultName() {
    m_name = kDefaultName;
    SetDlgItemText(IDC_DB_NAME, m_name.c_str());
}
