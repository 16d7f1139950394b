// CDBCommandSetup: the progress dialog that runs one workflow without user
// input. The work starts at the first tick of a one-shot timer, so the dialog
// is on the screen before the run begins; it runs beside the dialog, which
// keeps painting and takes no Enter or Escape meanwhile, and the dialog
// closes itself when the run ends.
#pragma once

#include <cstdint>

#include "common/KelvaneInterface.h"
#include "db/Workflows.h"
#include "framework/Dialog.h"
#include "ui/WorkflowRun.h"

class CDBCommandSetup : public CDialog {
    DECLARE_DYNAMIC(CDBCommandSetup)

  public:
    static constexpr int kModeCreate = 1;
    static constexpr int kModePatch = 2;
    // The create's dry run (/check): nothing is changed.
    static constexpr int kModeCheck = 3;
    // The patch's dry run (/patch /check).
    static constexpr int kModePatchCheck = 4;
    static constexpr UINT_PTR kRunTimer = 1000;
    static constexpr UINT kRunDelayMs = 1000;

    CDBCommandSetup();

    // CDialog's DoModal, and then: a dialog that could not be created, or
    // that ended before its run, ran no workflow, so m_succeeded is cleared
    // and the run log says why.
    INT_PTR DoModal();

    BOOL OnInitDialog() override;
    // Escape or Enter before the run: the workflow never ran, so it did not
    // succeed. During the run they do nothing.
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR eventId);
    // The session ends: not before the run has.
    BOOL OnQueryEndSession();

    // Still set after the run means the database was patched or created; a
    // failed workflow or a dialog dismissed before its run clears it, so the
    // creator never takes a run that failed or never happened for a success.
    uint8_t m_succeeded;
    // The creator's record, copied in whole; the workflow works on this copy.
    ConnectionParams m_params;
    // Cleared once the workflow has run: it runs at most once.
    uint8_t m_armed;
    int32_t m_mode = 0;
    // The record names the database to work on (an unattended run's /db:, or
    // the saved settings of /patch), whatever the launch would choose.
    bool m_nameFromRecord = false;
    // Create mode: what happens to a database of that name already there,
    // and what the run came to.
    ExistingDatabase m_existing = ExistingDatabase::Keep;
    CreateResult m_createResult = CreateResult::Failed;
    CheckResult m_checkResult = CheckResult::Failed;

    DECLARE_MESSAGE_MAP()

  private:
    void StartWorkflow();
    // On the worker: the workflow of m_mode.
    void RunWorkflow(IProgressBar* progress);
    // Back on the dialog's thread.
    void OnWorkflowDone();

    CWorkflowRun m_run;
};
