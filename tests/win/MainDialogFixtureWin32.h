// The main dialog run modally on the program's own resources, with the
// database library replaced by in-process recorders, message boxes of the
// workflows recorded, and the registry keys it reads made fresh.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DialogDriverWin32.h"
#include "TestSupportWin32.h"
#include "app/DunmoorApp.h"
#include "config/ServerConfig.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "platform/Platform.h"
#include "ui/DunmoorDlg.h"
#include "ui/SqlExpress.h"
#include "ui/resource.h"

namespace maindialog {

using namespace dialogdriver;

inline CDunmoorApp g_app;

const std::wstring kMainCaption = L"Adatbázis létrehozása [Quenlor]";
const std::wstring kInstallCaption = L"Microsoft SQL Server telepítés";

// What the dialog handed to the library.
struct Recorded {
    std::vector<ConnectionParams> connections;
    std::vector<std::string> statements;
    std::vector<unsigned> errors;
    int connectResult = 0;
    size_t refusedStatement = SIZE_MAX; // the one statement the server refuses
};
inline Recorded g_recorded;

inline int RecordConnect(ConnectionParams* params) {
    g_recorded.connections.push_back(*params);
    return g_recorded.connectResult;
}
inline int RecordQuery(int, const char* statement, int) {
    g_recorded.statements.push_back(statement);
    return g_recorded.statements.size() - 1 == g_recorded.refusedStatement ? -1 : 0;
}

class RecordingSink : public IMessageSink {
  public:
    void ShowError(unsigned stringId, const BoxInserts&) override {
        g_recorded.errors.push_back(stringId);
    }
    bool AskYesNo(unsigned stringId, const BoxInserts&) override {
        g_recorded.errors.push_back(stringId);
        return false;
    }
};

class MainDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_app.m_hInstance = LoadProgramResources(BinaryDir() + "\\dist\\Dunmoor.exe");
        strcpy(g_app.m_pszAppName, "Dunmoor");
        g_app.launchedWithCommandLine = 0;
        BuildCipherTables();
        ExpandKey();
    }

    void SetUp() override {
        ASSERT_NE(g_app.m_hInstance, nullptr) << "Dunmoor.exe not built";
        g_recorded = Recorded();
        SetDbEntryPoints(&RecordConnect, &RecordQuery);
        SetMessageSink(&sink_);
        dir_ = FreshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
        SetProgramDirectoryForTesting(dir_.c_str());
        DeleteServerKey();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey);
        // What a create checks before it connects: the scripts and the key.
        for (const char* script : {"Quenlor", "QuenlorMySQL", "QuenlorOracle", "Init"}) {
            CopySealed(script);
        }
        CreateServerKey();
    }

    void TearDown() override {
        SetMessageSink(nullptr);
        SetDbEntryPoints(nullptr, nullptr);
        SetProgramDirectoryForTesting(nullptr);
        DeleteServerKey();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey);
    }

    // Answers the installation question with No, then plays the steps.
    Script& AnsweringNo() {
        script_.On(kInstallCaption, [this](HWND box) {
            question_ = MessageBoxText(box);
            PostCommand(box, IDNO);
        });
        return script_;
    }

    // For a step after a set-up: the create runs beside the dialog, whose
    // engine list is disabled until it has ended.
    static bool Idle(HWND d) { return Enabled(d, IDC_DB_TYPE); }

    INT_PTR Run() {
        INT_PTR result = -2;
        script_.Play([&] { result = dialog_.DoModal(); });
        EXPECT_TRUE(script_.Done()) << "the dialog ended before every step ran";
        EXPECT_FALSE(script_.TimedOut());
        return result;
    }

    static void CreateServerKey() {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0,
                                  KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr));
        RegCloseKey(key);
    }

    // The server's key is in the 32-bit registry view, in both builds.
    static void DeleteServerKey() {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kServerKey, KEY_WOW64_32KEY, 0);
    }

    static void SetInstancePort(const char* text) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSqlExpressPortKey, 0, nullptr,
                                                 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExA(key, kSqlExpressPortValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(strlen(text) + 1));
        RegCloseKey(key);
    }

    // Copies <name>En.dat of the built program directory into ours.
    void CopySealed(const char* name) {
        const std::string file = std::string(name) + "En.dat";
        ASSERT_TRUE(CopyTo(BinaryDir() + "\\dist\\" + file, dir_ + "\\" + file)) << file;
    }

    RecordingSink sink_;
    Script script_;
    CDunmoorDlg dialog_;
    std::wstring question_;
    std::string dir_;
};

} // namespace maindialog
