// The main dialog's opening and its window chrome: the patch of saved
// settings, the defaults, the installation question, the About item and the
// icon of the minimised window.
#include "ui/DunmoorDlg.h"

#include <cstdio>
#include <cstring>

#include "common/KelvaneInterface.h"
#include "config/ServerConfig.h"
#include "db/DatabaseName.h"
#include "record/LoggedBox.h"
#include "framework/WinApp.h"
#include "ui/AboutDlg.h"
#include "ui/DBNameDialog.h"
#include "ui/DBCommandSetup.h"
#include "ui/SqlExpress.h"
#include "ui/resource.h"

BEGIN_MESSAGE_MAP(CDunmoorDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_SETUP, OnSetup)
ON_BN_CLICKED(IDC_FINISH, OnOK)
ON_BN_CLICKED(IDC_INSTALL, InstallSqlExpress)
ON_BN_CLICKED(IDC_SERVER_AUTH, OnServerAuth)
ON_BN_CLICKED(IDC_WINDOWS_AUTH, OnWindowsAuth)
ON_CBN_SELCHANGE(IDC_DB_TYPE, OnDbTypeChange)
ON_BN_CLICKED(IDOK, OnEnterKey)
ON_BN_CLICKED(IDCANCEL, OnCancel)
ON_BN_CLICKED(IDC_SET_NAME, OnSetName)
ON_WM_TIMER()
ON_WM_QUERYENDSESSION()
END_MESSAGE_MAP()

namespace {

struct EngineItem {
    const char* text;
    DbType type;
};

// Inserted by position, so the combo's sorted style cannot reorder them.
constexpr EngineItem kEngines[] = {
    {"MS SQL Server", MsSql},
    {"MySQL", MySql},
    {"ORACLE", Oracle},
};

constexpr UINT kInstallQuestionStyle = MB_YESNO | MB_ICONQUESTION;

} // namespace

CDunmoorDlg::CDunmoorDlg()
    : CDialog(IDD_DUNMOOR_DIALOG),
      m_hIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CDunmoorDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DB_TYPE, m_dbTypeCombo);
    DDX_Control(pDX, IDC_DB_NAME, m_dbNameEdit);
}

BOOL CDunmoorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
    if (PatchSavedDatabase()) {
        // Nothing left to ask: the dialog ends before it is ever shown.
        OnOK();
        return TRUE;
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    FillDefaults();
    AskToInstall();
    ShowLocalPort();
    EnableDlgItem(IDC_SERVER, true);
    EnableDlgItem(IDC_PORT, false);
    EnableDlgItem(IDC_LOGIN_ID, false);
    EnableDlgItem(IDC_PASSWORD, false);
    return TRUE;
}

bool CDunmoorDlg::PatchSavedDatabase() {
    ConnectionParams saved;
    memset(&saved, 0, sizeof saved);
    if (!LoadServerConfig(saved)) {
        return false;
    }
    CDBCommandSetup patch;
    memcpy(&patch.m_params, &saved, sizeof saved);
    patch.m_mode = CDBCommandSetup::kModePatch;
    patch.DoModal();
    return patch.m_succeeded != 0;
}

void CDunmoorDlg::FillDefaults() {
    for (int i = 0; i < static_cast<int>(sizeof kEngines / sizeof kEngines[0]); ++i) {
        m_dbTypeCombo.InsertString(i, kEngines[i].text);
        m_dbTypeCombo.SetItemData(i, static_cast<DWORD_PTR>(kEngines[i].type));
    }
    m_dbTypeCombo.SetCurSel(0);
    m_dbNameEdit.SetWindowText(kDefaultDatabaseName);

    char server[kTextFieldSize];
    LoadSavedServerName(server);
    SetDlgItemText(IDC_SERVER, server);
    SetDlgItemText(IDC_PORT, "1433");
    SetDlgItemText(IDC_LOGIN_ID, "sa");
    EnableDlgItem(IDC_SERVER, true);
    EnableDlgItem(IDC_PORT, true);
    EnableDlgItem(IDC_LOGIN_ID, true);
    EnableDlgItem(IDC_PASSWORD, true);
    SendDlgItemMessage(IDC_WINDOWS_AUTH, BM_SETCHECK, BST_CHECKED);
}

void CDunmoorDlg::AskToInstall() {
    // Wide texts from the string table, so the Hungarian reads right on any
    // code page.
    wchar_t question[256] = {};
    wchar_t caption[256] = {};
    LoadStringW(AfxGetInstanceHandle(), IDS_INSTALL_QUESTION, question, 256);
    LoadStringW(AfxGetInstanceHandle(), IDS_INSTALL_CAPTION, caption, 256);
    if (ShowLoggedBox(m_hWnd, question, caption, kInstallQuestionStyle) == IDYES) {
        InstallSqlExpress();
    }
}

void CDunmoorDlg::ShowLocalPort() {
    char port[16] = {};
    snprintf(port, sizeof port, "%ld", static_cast<long>(GetSqlExpressPort()));
    SetDlgItemText(IDC_PORT, port);
}

void CDunmoorDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    // Move, close and the rest stay the system's.
    Default();
}

void CDunmoorDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

HCURSOR CDunmoorDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CDunmoorDlg::OnEnterKey() {
    // Enter in a field must not end the dialog; only "Befejzés" and Escape do.
}

void CDunmoorDlg::OnSetName() {
    CDBNameDialog nameDialog;
    if (nameDialog.DoModal() == IDOK) {
        m_dbNameEdit.SetWindowText(nameDialog.GetName().c_str());
    }
}
