// The main dialog's runs: the record its set-up builds from the controls, the
// swap to the finish button, the patch of saved settings before it opens, and
// the SQL Server Express installation after Yes.
#include "MainDialogFixtureWin32.h"

#include <commctrl.h>

namespace {

using namespace maindialog;

size_t Count(const std::vector<unsigned>& ids, unsigned id) {
    size_t n = 0;
    for (unsigned i : ids) {
        n += i == id ? 1 : 0;
    }
    return n;
}

bool Contains(const std::vector<std::string>& statements, const std::string& text) {
    for (const std::string& s : statements) {
        if (s.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void SaveSettings(int dbType, const char* server) {
    SavedConnection saved = {};
    strcpy(saved.server, server);
    strcpy(saved.databaseName, "Quenlor");
    strcpy(saved.userId, "root");
    saved.port = 3306;
    saved.valid = 1;
    ASSERT_TRUE(SaveServerConfig(saved, dbType));
}

TEST_F(MainDialog, WindowsAuthenticationSendsNoCredentialsAndAFailureCanBeRetried) {
    std::vector<bool> setupVisible;
    std::vector<bool> finishVisible;
    std::vector<size_t> errorsSeen;
    auto afterRun = [&](HWND d) {
        setupVisible.push_back(Visible(d, IDC_SETUP));
        finishVisible.push_back(Visible(d, IDC_FINISH));
        errorsSeen.push_back(Count(g_recorded.errors, kStrServerUnreachable));
    };
    AnsweringNo()
        .On(kMainCaption,
            [](HWND d) {
                // Typed into the disabled fields, they must still stay out.
                SetDlgItemTextW(d, IDC_LOGIN_ID, L"bob");
                SetDlgItemTextW(d, IDC_PASSWORD, L"pw");
                PostCommand(d, IDC_SETUP);
            })
        .On(
            kMainCaption,
            [&](HWND d) {
                afterRun(d);
                SetDlgItemTextW(d, IDC_PORT, L"abc");
                PostCommand(d, IDC_SETUP);
            },
            Idle)
        .On(
            kMainCaption,
            [&](HWND d) {
                afterRun(d);
                PostCommand(d, IDCANCEL);
            },
            Idle);
    EXPECT_EQ(Run(), IDCANCEL);

    ASSERT_EQ(g_recorded.connections.size(), 2u);
    const ConnectionParams& first = g_recorded.connections[0];
    EXPECT_EQ(first.dbType, MsSql);
    EXPECT_EQ(first.valid, 1);
    EXPECT_EQ(first.windowsAuth, 1);
    EXPECT_STREQ(first.server, "localhost");
    EXPECT_STREQ(first.userId, "");
    EXPECT_STREQ(first.password, "");
    EXPECT_EQ(first.port, 1433) << "the port is read from its disabled field";
    EXPECT_EQ(g_recorded.connections[1].port, 0) << "a port without digits";

    ASSERT_EQ(errorsSeen.size(), 2u);
    EXPECT_GE(errorsSeen[0], 1u);
    EXPECT_GT(errorsSeen[1], errorsSeen[0]) << "each failed run ends with string 102";
    EXPECT_EQ(g_recorded.errors.back(), kStrServerUnreachable);
    EXPECT_EQ(setupVisible, (std::vector<bool>{true, true}));
    EXPECT_EQ(finishVisible, (std::vector<bool>{false, false}));
}

// The create runs on a worker, but its boxes are the dialog's: shown by the
// dialog's thread, owned by the dialog, the workflow's before the dialog's own.
TEST_F(MainDialog, ARunsBoxesAreShownInOrderByTheDialogsThread) {
    SetMessageSink(nullptr);
    std::vector<std::wstring> texts;
    HWND main = nullptr;
    auto press = [&](HWND box) {
        // The workflow's box comes while the run waits for it: no second run
        // can start meanwhile.
        EXPECT_EQ(Enabled(main, IDC_SETUP), !texts.empty());
        texts.push_back(MessageBoxText(box));
        EXPECT_EQ(GetWindow(box, GW_OWNER), main);
        PostCommand(box, IDOK);
    };
    AnsweringNo()
        .On(kMainCaption,
            [&](HWND d) {
                main = d;
                PostCommand(d, IDC_SETUP);
            })
        .On(BoxCaption(), press)
        .On(BoxCaption(), press)
        .On(
            kMainCaption, [](HWND d) { PostCommand(d, IDCANCEL); }, Idle);
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(texts, (std::vector<std::wstring>(2, L"SQL Server nem \u00e9rhet\u0151 el.")));
}

// A text longer than its field is refused, never cut: a server name cut short
// would take the credentials to another server than the one typed.
TEST_F(MainDialog, ServerAuthenticationSendsTheTypedCredentialsAndRefusesLongTexts) {
    g_recorded.connectResult = 1; // reaches the creation statements and the scripts
    const std::string name(31, 'n');
    AnsweringNo()
        .On(kMainCaption, [](HWND d) { PostSelect(d, IDC_DB_TYPE, 1); })
        .On(kMainCaption,
            [&](HWND d) {
                SetDlgItemTextA(d, IDC_DB_NAME, name.c_str());
                SetDlgItemTextA(d, IDC_SERVER, std::string(32, 's').c_str());
                SetDlgItemTextW(d, IDC_PASSWORD, L"s3cret");
                SetDlgItemTextW(d, IDC_PORT, L"  33x7");
                PostCommand(d, IDC_SETUP);
            })
        .On(
            kMainCaption,
            [](HWND d) {
                SetDlgItemTextW(d, IDC_SERVER, L"db1");
                PostCommand(d, IDC_SETUP);
            },
            Idle)
        .On(
            kMainCaption, [](HWND d) { PostCommand(d, IDCANCEL); }, Idle);
    Run();

    ASSERT_FALSE(g_recorded.errors.empty());
    EXPECT_EQ(g_recorded.errors.front(), kStrValueTooLong);
    ASSERT_EQ(g_recorded.connections.size(), 1u) << "the refused set-up sent nothing";
    const ConnectionParams& sent = g_recorded.connections[0];
    EXPECT_EQ(sent.dbType, MySql);
    EXPECT_EQ(sent.windowsAuth, 0);
    EXPECT_STREQ(sent.server, "db1");
    EXPECT_STREQ(sent.userId, "root");
    EXPECT_STREQ(sent.password, "s3cret");
    EXPECT_EQ(sent.port, 33) << "leading blanks, then the leading digits";
    EXPECT_TRUE(Contains(g_recorded.statements, "CREATE DATABASE " + name));
}

// A batch the server refused leaves it a success, said in a box before the
// finish button shows.
TEST_F(MainDialog, SuccessfulSetupShowsTheFinishButtonWhichEndsTheDialog) {
    g_recorded.connectResult = 1;
    g_recorded.refusedStatement = 4; // the schema's second batch
    CopySealed("QuenlorMySQL");
    CopySealed("Init");
    CreateServerKey();
    bool setupVisible = true;
    bool finishVisible = false;
    LRESULT barAtEnd = 0;
    AnsweringNo()
        .On(kMainCaption, [](HWND d) { PostSelect(d, IDC_DB_TYPE, 1); })
        .On(kMainCaption, [](HWND d) { PostCommand(d, IDC_SETUP); })
        .On(
            kMainCaption,
            [&](HWND d) {
                setupVisible = Visible(d, IDC_SETUP);
                finishVisible = Visible(d, IDC_FINISH) && g_recorded.errors.size() == 1;
                barAtEnd = SendDlgItemMessageW(d, IDC_PROGRESS, PBM_GETPOS, 0, 0);
                PostCommand(d, IDC_FINISH);
            },
            Idle);
    EXPECT_EQ(Run(), IDOK);
    EXPECT_FALSE(setupVisible);
    EXPECT_TRUE(finishVisible);
    // The bar skips positions the eye would not see, never the last one.
    EXPECT_EQ(barAtEnd, 100);
    EXPECT_EQ(g_recorded.errors, std::vector<unsigned>{kStrBatchesRefused});
    EXPECT_TRUE(Contains(g_recorded.statements, "CREATE DATABASE Quenlor"));
}

TEST_F(MainDialog, SuccessfulPatchOfSavedSettingsEndsBeforeAnyQuestion) {
    CreateServerKey();
    SaveSettings(MySql, "saved-host");
    CopySealed("QuenlorPatchMySQL");
    g_recorded.connectResult = 1;
    // No steps: a question or the main dialog would stall until the timeout.
    EXPECT_EQ(Run(), IDOK);
    ASSERT_EQ(g_recorded.connections.size(), 1u);
    EXPECT_STREQ(g_recorded.connections[0].server, "saved-host");
    EXPECT_FALSE(g_recorded.statements.empty());
}

TEST_F(MainDialog, FailedPatchOpensTheDialogWithTheSavedServer) {
    CreateServerKey();
    SaveSettings(MySql, "saved-host");
    CopySealed("QuenlorPatchMySQL");
    g_recorded.connectResult = 0;
    std::string server;
    AnsweringNo().On(kMainCaption, [&](HWND d) {
        server = AnsiText(d, IDC_SERVER);
        PostCommand(d, IDCANCEL);
    });
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(server, "saved-host");
    EXPECT_EQ(g_recorded.connections.size(), 1u) << "only the patch connected";
}

TEST_F(MainDialog, YesInstallsTheLocalInstanceAndSetsUpOnIt) {
    const std::string support = dir_ + "\\Support";
    ASSERT_TRUE(CreateDirectoryA(support.c_str(), nullptr));
    ASSERT_TRUE(CopyTo(BinaryDir() + "\\fakes\\installer\\SqlExpr.exe", support + "\\SqlExpr.exe"));
    const std::string log = dir_ + "\\SqlExpr.log";
    SetEnvironmentVariableA("FAKE_SQLEXPR_LOG", log.c_str());
    SetEnvironmentVariableA("FAKE_SQLEXPR_PORT", "14330");

    std::string server, port;
    bool windowsChecked = false, serverChecked = true, portEnabled = true;
    script_.On(kInstallCaption, [](HWND box) { PostCommand(box, IDYES); })
        .On(
            kMainCaption,
            [&](HWND d) {
                server = AnsiText(d, IDC_SERVER);
                port = AnsiText(d, IDC_PORT);
                windowsChecked = Checked(d, IDC_WINDOWS_AUTH);
                serverChecked = Checked(d, IDC_SERVER_AUTH);
                portEnabled = Enabled(d, IDC_PORT);
                PostCommand(d, IDCANCEL);
            },
            Idle);
    Run();
    SetEnvironmentVariableA("FAKE_SQLEXPR_LOG", nullptr);
    SetEnvironmentVariableA("FAKE_SQLEXPR_PORT", nullptr);

    const std::string ran = ReadWholeFile(log);
    EXPECT_NE(ran.find("commandLine=\"" + support +
                       "\\SqlExpr.exe\"  /qb INSTANCENAME=QNServer ADDLOCAL=ALL "
                       "DISABLENETWORKPROTOCOLS=0"),
              std::string::npos)
        << ran;
    EXPECT_NE(ran.find("currentDirectory=" + support), std::string::npos) << ran;
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(current, dir_.c_str());

    EXPECT_EQ(server, "localhost\\QNServer");
    EXPECT_EQ(port, "14330");
    EXPECT_TRUE(windowsChecked);
    EXPECT_FALSE(serverChecked);
    EXPECT_FALSE(portEnabled);
    ASSERT_EQ(g_recorded.connections.size(), 1u) << "the create was attempted";
    EXPECT_STREQ(g_recorded.connections[0].server, "localhost\\QNServer");
    EXPECT_EQ(g_recorded.connections[0].windowsAuth, 1);
    EXPECT_EQ(g_recorded.connections[0].port, 14330);
    EXPECT_EQ(g_recorded.connections[0].dbType, MsSql);
}

} // namespace
