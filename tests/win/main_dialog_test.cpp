// The main dialog as the user meets it: its opening state after No to the
// installation question, the engine list, the authentication radios, the keys
// that do and do not end it, the name dialog and the About box.
#include "MainDialogFixtureWin32.h"

namespace {

using namespace maindialog;

std::wstring ComboText(HWND dialog, int index) {
    wchar_t text[64] = {};
    SendDlgItemMessageW(dialog, IDC_DB_TYPE, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring SystemMenuText(HWND dialog, UINT command) {
    wchar_t text[64] = {};
    GetMenuStringW(GetSystemMenu(dialog, FALSE), command, text, 64, MF_BYCOMMAND);
    return text;
}

TEST_F(MainDialog, OpensOnMsSqlWithWindowsAuthenticationAfterNo) {
    AnsweringNo().On(kMainCaption, [](HWND d) {
        ASSERT_EQ(SendDlgItemMessageW(d, IDC_DB_TYPE, CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(ComboText(d, 0), L"MS SQL Server");
        EXPECT_EQ(ComboText(d, 1), L"MySQL");
        EXPECT_EQ(ComboText(d, 2), L"ORACLE");
        EXPECT_EQ(SendDlgItemMessageW(d, IDC_DB_TYPE, CB_GETITEMDATA, 0, 0), MsSql);
        EXPECT_EQ(SendDlgItemMessageW(d, IDC_DB_TYPE, CB_GETITEMDATA, 1, 0), MySql);
        EXPECT_EQ(SendDlgItemMessageW(d, IDC_DB_TYPE, CB_GETITEMDATA, 2, 0), Oracle);
        EXPECT_EQ(SendDlgItemMessageW(d, IDC_DB_TYPE, CB_GETCURSEL, 0, 0), 0);

        EXPECT_EQ(AnsiText(d, IDC_DB_NAME), "Quenlor");
        EXPECT_EQ(AnsiText(d, IDC_SERVER), "localhost");
        EXPECT_TRUE(Enabled(d, IDC_SERVER));
        EXPECT_EQ(AnsiText(d, IDC_PORT), "1433");
        EXPECT_FALSE(Enabled(d, IDC_PORT));
        EXPECT_EQ(AnsiText(d, IDC_LOGIN_ID), "sa");
        EXPECT_FALSE(Enabled(d, IDC_LOGIN_ID));
        EXPECT_EQ(AnsiText(d, IDC_PASSWORD), "");
        EXPECT_FALSE(Enabled(d, IDC_PASSWORD));
        EXPECT_TRUE(Checked(d, IDC_WINDOWS_AUTH));
        EXPECT_FALSE(Checked(d, IDC_SERVER_AUTH));

        EXPECT_TRUE(Visible(d, IDC_SETUP));
        EXPECT_FALSE(Visible(d, IDC_FINISH));
        EXPECT_FALSE(Visible(d, IDC_INSTALL));
        EXPECT_EQ(SystemMenuText(d, IDM_ABOUTBOX), L"&Dunmoor-ról");
        PostCommand(d, IDCANCEL);
    });
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(question_, L"Szeretné telepíteni a Microsoft SQL Express Edition-t?");
    EXPECT_TRUE(g_recorded.connections.empty()) << "No must not start a create";
}

TEST_F(MainDialog, ShowsTheLocalInstancePort) {
    SetInstancePort("2301");
    std::string port;
    AnsweringNo().On(kMainCaption, [&](HWND d) {
        port = AnsiText(d, IDC_PORT);
        PostCommand(d, IDCANCEL);
    });
    Run();
    EXPECT_EQ(port, "2301");
}

TEST_F(MainDialog, ShowsTheSavedServerWhenNoPatchIsDue) {
    // "DB Info" alone: the server name is taken, but nothing is patched.
    CreateServerKey();
    SavedConnection saved = {};
    strcpy(saved.server, "dbhost\\Q");
    ASSERT_TRUE(SaveServerConfig(saved, MsSql));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0,
                                           KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key));
    RegDeleteValueA(key, "DB Type");
    RegCloseKey(key);

    std::string server;
    AnsweringNo().On(kMainCaption, [&](HWND d) {
        server = AnsiText(d, IDC_SERVER);
        PostCommand(d, IDCANCEL);
    });
    Run();
    EXPECT_EQ(server, "dbhost\\Q");
    EXPECT_TRUE(g_recorded.connections.empty());
}

TEST_F(MainDialog, EngineChangesSetTheirDefaultsInBothDirections) {
    AnsweringNo()
        .On(kMainCaption,
            [](HWND d) {
                SetDlgItemTextW(d, IDC_PASSWORD, L"kept");
                PostSelect(d, IDC_DB_TYPE, 2);
            })
        .On(kMainCaption,
            [](HWND d) {
                SCOPED_TRACE("ORACLE");
                EXPECT_TRUE(Checked(d, IDC_SERVER_AUTH));
                EXPECT_FALSE(Checked(d, IDC_WINDOWS_AUTH));
                EXPECT_FALSE(Enabled(d, IDC_WINDOWS_AUTH));
                EXPECT_EQ(AnsiText(d, IDC_PORT), "1521");
                EXPECT_FALSE(Enabled(d, IDC_PORT));
                EXPECT_EQ(AnsiText(d, IDC_LOGIN_ID), "");
                EXPECT_TRUE(Enabled(d, IDC_LOGIN_ID));
                EXPECT_TRUE(Enabled(d, IDC_PASSWORD));
                EXPECT_EQ(AnsiText(d, IDC_PASSWORD), "kept");
                EXPECT_FALSE(Enabled(d, IDC_SET_NAME));
                PostSelect(d, IDC_DB_TYPE, 1);
            })
        .On(kMainCaption,
            [](HWND d) {
                SCOPED_TRACE("MySQL");
                EXPECT_TRUE(Checked(d, IDC_SERVER_AUTH));
                EXPECT_FALSE(Enabled(d, IDC_WINDOWS_AUTH));
                EXPECT_EQ(AnsiText(d, IDC_PORT), "3306");
                EXPECT_TRUE(Enabled(d, IDC_PORT));
                EXPECT_EQ(AnsiText(d, IDC_LOGIN_ID), "root");
                EXPECT_TRUE(Enabled(d, IDC_LOGIN_ID));
                EXPECT_TRUE(Enabled(d, IDC_SET_NAME));
                EXPECT_EQ(AnsiText(d, IDC_PASSWORD), "kept");
                PostSelect(d, IDC_DB_TYPE, 0);
            })
        .On(kMainCaption, [](HWND d) {
            SCOPED_TRACE("MS SQL Server again");
            EXPECT_TRUE(Enabled(d, IDC_WINDOWS_AUTH));
            EXPECT_TRUE(Checked(d, IDC_SERVER_AUTH)) << "the radios are not touched";
            EXPECT_EQ(AnsiText(d, IDC_PORT), "1433");
            EXPECT_TRUE(Enabled(d, IDC_PORT));
            EXPECT_EQ(AnsiText(d, IDC_LOGIN_ID), "sa");
            EXPECT_TRUE(Enabled(d, IDC_SET_NAME));
            PostCommand(d, IDCANCEL);
        });
    Run();
}

TEST_F(MainDialog, RadiosEnableAndDisableTheCredentialsKeepingTheirTexts) {
    AnsweringNo()
        .On(kMainCaption, [](HWND d) { PostClick(d, IDC_SERVER_AUTH); })
        .On(kMainCaption,
            [](HWND d) {
                SCOPED_TRACE("server authentication");
                EXPECT_TRUE(Checked(d, IDC_SERVER_AUTH));
                EXPECT_FALSE(Checked(d, IDC_WINDOWS_AUTH));
                for (int id : {IDC_SERVER, IDC_PORT, IDC_LOGIN_ID, IDC_PASSWORD}) {
                    EXPECT_TRUE(Enabled(d, id)) << id;
                }
                SetDlgItemTextW(d, IDC_PASSWORD, L"pw");
                PostClick(d, IDC_WINDOWS_AUTH);
            })
        .On(kMainCaption, [](HWND d) {
            SCOPED_TRACE("Windows authentication");
            EXPECT_TRUE(Checked(d, IDC_WINDOWS_AUTH));
            EXPECT_TRUE(Enabled(d, IDC_SERVER));
            for (int id : {IDC_PORT, IDC_LOGIN_ID, IDC_PASSWORD}) {
                EXPECT_FALSE(Enabled(d, id)) << id;
            }
            EXPECT_EQ(AnsiText(d, IDC_LOGIN_ID), "sa");
            EXPECT_EQ(AnsiText(d, IDC_PASSWORD), "pw");
            EXPECT_EQ(AnsiText(d, IDC_PORT), "1433");
            PostCommand(d, IDCANCEL);
        });
    Run();
}

TEST_F(MainDialog, ServerAuthenticationLeavesTheOraclePortDisabled) {
    AnsweringNo()
        .On(kMainCaption, [](HWND d) { PostSelect(d, IDC_DB_TYPE, 2); })
        .On(kMainCaption, [](HWND d) { PostClick(d, IDC_SERVER_AUTH); })
        .On(kMainCaption, [](HWND d) {
            EXPECT_FALSE(Enabled(d, IDC_PORT));
            EXPECT_TRUE(Enabled(d, IDC_LOGIN_ID));
            PostCommand(d, IDCANCEL);
        });
    Run();
}

TEST_F(MainDialog, EnterDoesNothingAndEscapeEnds) {
    AnsweringNo()
        .On(kMainCaption, [](HWND d) { PostCommand(d, IDOK); })
        // Still open: the next step finds it again.
        .On(kMainCaption, [](HWND d) { PostCommand(d, IDCANCEL); });
    EXPECT_EQ(Run(), IDCANCEL);
}

TEST_F(MainDialog, NameDialogSetsTheNameAndCancelKeepsIt) {
    const std::wstring nameCaption = L"Adatbázisnév bevitel.";
    std::string afterOk;
    std::wstring fieldOnReopen = L"?";
    std::string afterCancel;
    AnsweringNo()
        .On(kMainCaption, [](HWND d) { PostCommand(d, IDC_SET_NAME); })
        .On(nameCaption,
            [](HWND n) {
                SetDlgItemTextW(n, IDC_DB_NAME, L"Sales");
                PostCommand(n, IDOK);
            })
        .On(kMainCaption,
            [&](HWND d) {
                afterOk = AnsiText(d, IDC_DB_NAME);
                PostCommand(d, IDC_SET_NAME);
            })
        .On(nameCaption,
            [&](HWND n) {
                fieldOnReopen = WideText(GetDlgItem(n, IDC_DB_NAME));
                SetDlgItemTextW(n, IDC_DB_NAME, L"Other");
                PostCommand(n, IDCANCEL);
            })
        .On(kMainCaption, [&](HWND d) {
            afterCancel = AnsiText(d, IDC_DB_NAME);
            PostCommand(d, IDCANCEL);
        });
    Run();
    EXPECT_EQ(afterOk, "Sales");
    EXPECT_EQ(fieldOnReopen, L"");
    EXPECT_EQ(afterCancel, "Sales");
}

TEST_F(MainDialog, AboutBoxOpensFromTheSystemMenu) {
    const std::wstring aboutCaption = L"Dunmoor névjegy";
    bool aboutSeen = false;
    AnsweringNo()
        // The low four bits of a system command carry no meaning.
        .On(kMainCaption, [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0); })
        .On(aboutCaption,
            [&](HWND a) {
                aboutSeen = true;
                PostCommand(a, IDOK);
            })
        .Then([&] { return FindDialog(aboutCaption) == nullptr; })
        .On(kMainCaption, [](HWND d) { PostCommand(d, IDCANCEL); });
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_TRUE(aboutSeen);
}

TEST_F(MainDialog, OtherSystemCommandsKeepWorking) {
    AnsweringNo().On(kMainCaption, [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(Run(), IDCANCEL);
}

} // namespace
