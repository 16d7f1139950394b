// A program directory of its own for each workflow test: the recording
// Kelvane.dll loaded from it, the sealed scripts copied in on request, the
// message boxes, progress and debugger output recorded, and the server's
// registry key made fresh.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/KelvaneInterface.h"
#include "db/ProgressBar.h"

class RecordingProgressBar : public IProgressBar {
  public:
    void SetRange(int low, int high) override { ranges.push_back({low, high}); }
    void SetPos(int pos) override { positions.push_back(pos); }
    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
};

class WorkflowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Copies <name>En.dat of the built program directory into ours.
    void CopySealed(const std::string& name);
    void WritePlain(const std::string& fileName, const std::string& text);
    bool Exists(const std::string& fileName) const;
    // The recording library's log, one entry per call.
    std::vector<std::string> Calls() const;
    std::vector<std::string> Statements() const;
    // Batches the build's plain sample script holds.
    static int SourceBatches(const std::string& sqlName);
    static ConnectionParams Connection(int dbType, const char* databaseName);

    // Boxes shown and questions asked, by string id; questions are answered
    // No unless told otherwise. BoxInserted: "database|server" of the last box.
    std::vector<unsigned> Messages() const;
    void AnswerQuestions(bool yes);
    std::string BoxInserted() const;
    std::string DebugOutput() const;
    bool RegistryHas(const char* valueName) const;
    void RemoveServerKey();

    std::string dir_;
    RecordingProgressBar bar_;
};
