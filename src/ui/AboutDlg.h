// CAboutDlg: the program's icon and version, opened from the system menu.
#pragma once

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();
};
