#include "ConnectionLoss.h"

#include <cstring>

#include "common/KelvaneInterface.h"

namespace {

bool IsMySqlLoss(int32_t nativeError) {
    return nativeError == 2006 || nativeError == 2013 || nativeError == 2055;
}

bool IsOracleLoss(int32_t nativeError) {
    return nativeError == 3113 || nativeError == 3114 || nativeError == 3135;
}

} // namespace

bool IsConnectionLoss(int32_t dbType, const char* sqlState, int32_t nativeError) {
    if (strncmp(sqlState, "08", 2) == 0) {
        return true;
    }
    switch (dbType) {
    case MySql:
        return strncmp(sqlState, "HY000", 5) == 0 && IsMySqlLoss(nativeError);
    case Oracle:
        return IsOracleLoss(nativeError);
    default:
        return false;
    }
}
