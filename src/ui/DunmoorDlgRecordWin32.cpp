// The main dialog's record of a create, read from its controls. A text longer
// than its 32-byte field is refused, never cut: a server name cut short
// would take the credentials to another server than the one typed.
#include <cstdlib>
#include <cstring>

#include "db/MessageBox.h"
#include "record/RunLog.h"
#include "record/RunSecrets.h"
#include "ui/DunmoorDlg.h"
#include "ui/resource.h"

namespace {

constexpr int kPortTextSize = 256;
// Room to see that a text is longer than a field.
constexpr int kReadSize = 260;

// Leading blanks, an optional sign and the leading digits, as atoi reads
// them; no digits give 0. Out-of-range values saturate instead of overflowing.
int32_t PortFromText(const char* text) {
    long value = strtol(text, nullptr, 10);
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

} // namespace

bool CDunmoorDlg::ReadField(int id, const char* what, char (&field)[kTextFieldSize]) {
    char text[kReadSize] = {};
    const HWND control = GetDlgItem(id);
    ::GetWindowTextA(control, text, sizeof text);
    const size_t length = strlen(text);
    if (length < sizeof field) {
        memcpy(field, text, length + 1);
        SecureZeroMemory(text, sizeof text);
        return true;
    }
    SecureZeroMemory(text, sizeof text);
    LogLine("Set-up refused: the %s is longer than %u bytes; nothing was sent", what,
            static_cast<unsigned>(sizeof field - 1));
    Messages().ShowError(kStrValueTooLong);
    // The box names no field: the field itself is shown, its text selected.
    ::SetFocus(control);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
    return false;
}

bool CDunmoorDlg::ReadConnection(ConnectionParams& params) {
    memset(&params, 0, sizeof params);
    params.dbType = SelectedDbType();
    params.valid = 1;
    if (!ReadField(IDC_DB_NAME, "database name", params.databaseName) ||
        !ReadField(IDC_SERVER, "server", params.server)) {
        return false;
    }
    if (SendDlgItemMessage(IDC_WINDOWS_AUTH, BM_GETCHECK) > 0) {
        params.windowsAuth = 1;
    } else {
        if (!ReadField(IDC_LOGIN_ID, "login", params.userId) ||
            !ReadField(IDC_PASSWORD, "password", params.password)) {
            SecureZeroMemory(&params, sizeof params);
            return false;
        }
        RegisterRunSecret(params.password, sizeof params.password);
    }
    // The port counts even from a disabled field.
    char port[kPortTextSize] = {};
    GetDlgItemText(IDC_PORT, port, sizeof port);
    params.port = PortFromText(port);
    return true;
}
