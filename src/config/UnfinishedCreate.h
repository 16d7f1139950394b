// What a create is making, recorded before its first change to the server and
// cleared once its settings are saved and on the disk. A create killed part
// way (a reboot for updates, a power cut, a deployment's time limit) leaves
// it behind, so that a later create can tell the program's own unfinished
// database from one that is somebody's data.
#pragma once

#include <cstdint>

#include "common/KelvaneInterface.h"

// The record, kept in the Quenlor key (32-bit view) as the REG_BINARY value
// "Unfinished Create". Holds no credentials.
struct UnfinishedCreate {
    int32_t dbType;
    char server[kTextFieldSize];
    int32_t port;
    char databaseName[kTextFieldSize];
};
static_assert(sizeof(UnfinishedCreate) == 72, "the record's layout is stored as it is");

constexpr const char* kUnfinishedCreateValue = "Unfinished Create";

// The record of a create of database on params' server and port.
UnfinishedCreate DescribeCreate(int dbType, const ConnectionParams& params, const char* database);

// Exactly the same database: engine, server, port and name all equal (the
// texts compared byte for byte, so nothing else ever counts as the same).
bool SameDatabase(const UnfinishedCreate& a, const UnfinishedCreate& b);

// Writes the record and flushes the key; on false, error holds the system's
// code.
bool RecordUnfinishedCreate(const UnfinishedCreate& record, long& error);
// The record left by a create that has not finished; false when there is none
// (or the value is not one of ours).
bool ReadUnfinishedCreate(UnfinishedCreate& record);
// Removes the record and flushes the key; true when none is left.
bool ClearUnfinishedCreate(long& error);
