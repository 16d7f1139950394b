#include "OdbcDiagnostics.h"

#include <sqlext.h>

#include "AnsiText.h"
#include "ConnectionLoss.h"

#include <cstdio>

#include "common/BoundedCopy.h"

namespace {

// Formats the first diagnostic record; false when there is none.
bool FormatDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle, char* out, size_t outSize) {
    SQLWCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLWCHAR message[SQL_MAX_MESSAGE_LENGTH] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(handleType, handle, 1, state, &nativeError, message,
                                  SQL_MAX_MESSAGE_LENGTH, &length);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        return false;
    }
    message[SQL_MAX_MESSAGE_LENGTH - 1] = 0;
    state[5] = 0;
    char ansiState[16] = {};
    char ansiMessage[SQL_MAX_MESSAGE_LENGTH * 2] = {};
    NarrowToAnsi(state, -1, ansiState, sizeof ansiState);
    NarrowToAnsi(message, -1, ansiMessage, sizeof ansiMessage);
    snprintf(out, outSize, "[%s] %s", ansiState, ansiMessage);
    return true;
}

} // namespace

void SetErrorText(ConnectionParams* params, const char* text) {
    CopyField(params->errorText, text);
}

void CopyDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle, ConnectionParams* params) {
    char text[SQL_MAX_MESSAGE_LENGTH * 2 + 16] = {};
    if (!FormatDiagnostic(handleType, handle, text, sizeof text)) {
        SetErrorText(params, "Kelvane: connection failed without a diagnostic");
        return;
    }
    SetErrorText(params, text);
}

void ReportStatementFailure(SQLHSTMT statement) {
    char text[SQL_MAX_MESSAGE_LENGTH * 2 + 32] = "Kelvane: statement failed: ";
    size_t prefix = strlen(text);
    if (!FormatDiagnostic(SQL_HANDLE_STMT, statement, text + prefix, sizeof text - prefix)) {
        CopyBounded(text + prefix, sizeof text - prefix, "no diagnostic");
    }
    OutputDebugStringA(text);
}

bool IsCommunicationFailure(int32_t dbType, SQLSMALLINT handleType, SQLHANDLE handle) {
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        SQLRETURN rc =
            SQLGetDiagRecW(handleType, handle, record, state, &nativeError, nullptr, 0, &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
            return false;
        }
        // SQLSTATEs are ASCII.
        char ansiState[6] = {};
        for (int i = 0; i < 5; ++i) {
            ansiState[i] = static_cast<char>(state[i] < 0x80 ? state[i] : '?');
        }
        if (IsConnectionLoss(dbType, ansiState, nativeError)) {
            return true;
        }
    }
}
