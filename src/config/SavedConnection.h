// The saved connection record kept, zero-filled to 256 bytes and encrypted,
// in the registry value "DB Info", and its portable encoding.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/KelvaneInterface.h"

struct SavedConnection {
    char userId[kTextFieldSize];
    char password[kTextFieldSize];
    char server[kTextFieldSize];
    char databaseName[kTextFieldSize];
    int32_t port;
    int32_t valid;
    int32_t windowsAuth; // low byte only
};

static_assert(sizeof(SavedConnection) == 140, "SavedConnection is 140 bytes");
static_assert(offsetof(SavedConnection, userId) == 0, "userId offset");
static_assert(offsetof(SavedConnection, password) == 32, "password offset");
static_assert(offsetof(SavedConnection, server) == 64, "server offset");
static_assert(offsetof(SavedConnection, databaseName) == 96, "databaseName offset");
static_assert(offsetof(SavedConnection, port) == 128, "port offset");
static_assert(offsetof(SavedConnection, valid) == 132, "valid offset");
static_assert(offsetof(SavedConnection, windowsAuth) == 136, "windowsAuth offset");

constexpr size_t kDbInfoSize = 256;

// The 256-byte plain block: the 140 bytes of saved followed by 116 zeros.
void BuildDbInfoPlainBlock(const SavedConnection& saved, uint8_t (&block)[kDbInfoSize]);

// Encrypts the plain block of saved into the 256 bytes stored as "DB Info".
void EncodeDbInfo(const SavedConnection& saved, uint8_t (&encrypted)[kDbInfoSize]);

// Decrypts length stored bytes (rounded up to 16, at most 256) and fills the
// connection fields of params from the result; every copy stops at the end of
// its 32-byte field. valid becomes 1; errorText and dbType are left alone.
void DecodeDbInfo(const uint8_t* stored, int length, ConnectionParams& params);

// The server field of a decrypted record, cut at its field's end.
void DecodeSavedServer(const uint8_t* stored, int length, char (&server)[kTextFieldSize]);
