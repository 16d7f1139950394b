#include "TestSupportWorkflowsWin32.h"

#include <windows.h>

#include <cstring>
#include <sstream>

#include "TestSupportWin32.h"
#include "config/ServerConfig.h"
#include "crypto/Cipher.h"
#include "db/DbLibrary.h"
#include "db/MessageBox.h"
#include "platform/Platform.h"

namespace {

class RecordingSink : public IMessageSink {
  public:
    void ShowError(unsigned stringId, const BoxInserts& inserts) override {
        shown.push_back(stringId);
        if (inserts.first != nullptr) {
            inserted = std::string(inserts.first) + "|" + inserts.second;
        }
    }
    bool AskYesNo(unsigned stringId, const BoxInserts& inserts) override {
        ShowError(stringId, inserts);
        return answerYes;
    }
    bool answerYes = false;
    std::string inserted;
    std::vector<unsigned> shown;
};

RecordingSink g_sink;
std::string g_debugOutput;
PVOID g_handler = nullptr;

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C before anything else sees
// the text; a vectored handler reads it there.
LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        g_debugOutput.append(reinterpret_cast<const char*>(record->ExceptionInformation[1]),
                             static_cast<size_t>(record->ExceptionInformation[0]));
        g_debugOutput += '\n';
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

} // namespace

void WorkflowTest::SetUp() {
    // As at start-up: the sealed files and the settings use the program's key.
    BuildCipherTables();
    ExpandKey();
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = FreshDirectory(std::string("workflow_") + test);
    ASSERT_TRUE(CopyTo(BinaryDir() + "\\fakes\\Kelvane.dll", dir_ + "\\Kelvane.dll"));
    SetEnvironmentVariableA("KELVANE_LOG", nullptr);
    SetEnvironmentVariableA("KELVANE_CONNECT", nullptr);
    SetEnvironmentVariableA("KELVANE_RESULTS", nullptr);
    SetEnvironmentVariableA("KELVANE_LOST_AFTER", nullptr);
    // A copy in a directory of its own is a module of its own, so the
    // recording starts from its first call in every test.
    ASSERT_EQ(LoadDbLibrary(dir_.c_str()), 1);
    SetProgramDirectoryForTesting(dir_.c_str());
    g_sink.shown.clear();
    g_sink.answerYes = false;
    g_sink.inserted.clear();
    SetMessageSink(&g_sink);
    g_debugOutput.clear();
    g_handler = AddVectoredExceptionHandler(1, CaptureDebugOutput);

    RemoveServerKey();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr));
    RegCloseKey(key);
}

void WorkflowTest::TearDown() {
    if (g_handler != nullptr) {
        RemoveVectoredExceptionHandler(g_handler);
        g_handler = nullptr;
    }
    SetMessageSink(nullptr);
    SetProgramDirectoryForTesting(nullptr);
    SetDbEntryPoints(nullptr, nullptr);
    RemoveServerKey();
}

void WorkflowTest::CopySealed(const std::string& name) {
    const std::string file = name + "En.dat";
    ASSERT_TRUE(CopyTo(BinaryDir() + "\\dist\\" + file, dir_ + "\\" + file)) << file;
}

void WorkflowTest::WritePlain(const std::string& fileName, const std::string& text) {
    FILE* f = fopen((dir_ + "\\" + fileName).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

bool WorkflowTest::Exists(const std::string& fileName) const {
    return FileExists(dir_ + "\\" + fileName);
}

std::vector<std::string> WorkflowTest::Calls() const {
    return SplitLines(ReadWholeFile(dir_ + "\\Kelvane.log"));
}

std::vector<std::string> WorkflowTest::Statements() const {
    std::vector<std::string> statements;
    for (const std::string& call : Calls()) {
        if (call.rfind("QueryExecuteDB ", 0) == 0) {
            statements.push_back(call.substr(15));
        }
    }
    return statements;
}

// Counted here, not by the program's CountBatches: a test whose expected
// count came from the code under test could not see that code count wrong.
// A batch ends at each line that begins with GO, in any letter case.
int WorkflowTest::SourceBatches(const std::string& sqlName) {
    const std::string path = WindowsPath(DUNMOOR_SOURCE_DIR) + "\\sql\\" + sqlName + ".sql";
    std::istringstream lines(ReadWholeFile(path));
    int batches = 0;
    for (std::string line; std::getline(lines, line);) {
        batches += line.size() >= 2 && (line[0] | 0x20) == 'g' && (line[1] | 0x20) == 'o';
    }
    return batches;
}

ConnectionParams WorkflowTest::Connection(int dbType, const char* databaseName) {
    ConnectionParams params;
    memset(&params, 0, sizeof params);
    params.dbType = dbType;
    strcpy(params.server, "dbhost");
    strcpy(params.userId, "quenlor");
    strcpy(params.password, "s3cret");
    strcpy(params.databaseName, databaseName);
    params.port = 3306;
    params.valid = 1;
    return params;
}

std::vector<unsigned> WorkflowTest::Messages() const {
    return g_sink.shown;
}

void WorkflowTest::AnswerQuestions(bool yes) {
    g_sink.answerYes = yes;
}

std::string WorkflowTest::BoxInserted() const {
    return g_sink.inserted;
}

std::string WorkflowTest::DebugOutput() const {
    return g_debugOutput;
}

bool WorkflowTest::RegistryHas(const char* valueName) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool present =
        RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

void WorkflowTest::RemoveServerKey() {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kServerKey, KEY_WOW64_32KEY, 0);
}
