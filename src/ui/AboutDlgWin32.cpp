#include "ui/AboutDlg.h"

#include "ui/resource.h"

// Everything the box shows is in its template; OK and Escape end it through
// CDialog.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
