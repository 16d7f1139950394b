// CDBNameDialog: asks for the name of the database to create. The field opens
// empty every time; "Alap ..." fills in the default name.
#pragma once

#include <string>

#include "framework/Dialog.h"

// A record's name field holds 31 bytes and its terminator; a longer name would
// be cut, and the database created under a name nobody typed.
constexpr size_t kMaxDatabaseNameBytes = 31;

class CDBNameDialog : public CDialog {
    DECLARE_DYNAMIC(CDBNameDialog)

  public:
    CDBNameDialog();

    // The name taken by the last OK; read it only after DoModal gave IDOK.
    std::string GetName() const { return m_name; }

  protected:
    void OnNameOk();
    void OnDefaultName();

    DECLARE_MESSAGE_MAP()

  private:
    std::string m_name;
};
