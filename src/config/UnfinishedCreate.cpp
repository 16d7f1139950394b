#include "config/UnfinishedCreate.h"

#include <cstring>

#include "common/BoundedCopy.h"

UnfinishedCreate DescribeCreate(int dbType, const ConnectionParams& params, const char* database) {
    UnfinishedCreate record;
    std::memset(&record, 0, sizeof record);
    record.dbType = dbType;
    CopyBounded(record.server, sizeof record.server, params.server, sizeof params.server);
    record.port = params.port;
    CopyField(record.databaseName, database);
    return record;
}

bool SameDatabase(const UnfinishedCreate& a, const UnfinishedCreate& b) {
    return a.dbType == b.dbType && a.port == b.port &&
           std::memcmp(a.server, b.server, sizeof a.server) == 0 &&
           std::memcmp(a.databaseName, b.databaseName, sizeof a.databaseName) == 0;
}
