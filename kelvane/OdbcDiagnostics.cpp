#include "OdbcDiagnostics.h"

#include <sqlext.h>

#include <cstdio>

#include "app/BoundedCopy.h"

namespace {

// Formats the first diagnostic record; false when there is none.
bool FormatDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle, char* out, size_t outSize) {
    SQLCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc =
        SQLGetDiagRec(handleType, handle, 1, state, &nativeError, message, sizeof message, &length);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        return false;
    }
    message[sizeof message - 1] = '\0';
    snprintf(out, outSize, "[%s] %s", reinterpret_cast<char*>(state),
             reinterpret_cast<char*>(message));
    return true;
}

} // namespace

void SetErrorText(ConnectionParams* params, const char* text) {
    CopyField(params->errorText, text);
}

void CopyDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle, ConnectionParams* params) {
    char text[SQL_MAX_MESSAGE_LENGTH + 16] = {};
    if (!FormatDiagnostic(handleType, handle, text, sizeof text)) {
        SetErrorText(params, "Kelvane: connection failed without a diagnostic");
        return;
    }
    SetErrorText(params, text);
}

void ReportStatementFailure(SQLHSTMT statement) {
    char text[SQL_MAX_MESSAGE_LENGTH + 32] = "Kelvane: statement failed: ";
    size_t prefix = strlen(text);
    if (!FormatDiagnostic(SQL_HANDLE_STMT, statement, text + prefix, sizeof text - prefix)) {
        CopyBounded(text + prefix, sizeof text - prefix, "no diagnostic");
    }
    OutputDebugStringA(text);
}
