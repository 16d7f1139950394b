// The file pairs of the shipped scripts, addressed in the program directory.
#pragma once

#include "platform/Platform.h"

struct ScriptFilePair {
    const char* encrypted;
    const char* plain;
};

constexpr ScriptFilePair kMySqlSchema = {"QuenlorMySQLEn.dat", "QuenlorMySQL.dat"};
constexpr ScriptFilePair kMsSqlSchema = {"QuenlorEn.dat", "Quenlor.dat"};
constexpr ScriptFilePair kOracleSchema = {"QuenlorOracleEn.dat", "QuenlorOracle.dat"};
constexpr ScriptFilePair kInitialData = {"InitEn.dat", "Init.dat"};
constexpr ScriptFilePair kMySqlPatch = {"QuenlorPatchMySQLEn.dat", "QuenlorPatchMySQL.dat"};
constexpr ScriptFilePair kMsSqlPatch = {"QuenlorPatchEn.dat", "QuenlorPatch.dat"};
constexpr ScriptFilePair kOraclePatch = {"QuenlorPatchOracleEn.dat", "QuenlorPatchOracle.dat"};

// Every shipped script.
constexpr size_t kScriptCount = 7;
constexpr const ScriptFilePair* kAllScripts[kScriptCount] = {
    &kMySqlSchema, &kMsSqlSchema, &kOracleSchema, &kInitialData,
    &kMySqlPatch,  &kMsSqlPatch,  &kOraclePatch};

// "%s\%s" of directory and file name. A path that does not fit is left empty,
// so that it opens and deletes nothing rather than another file.
void FormatScriptPath(char (&path)[kPathSize], const char* directory, const char* fileName);

// Both full paths of a pair in the program directory, and the hold on the
// plain file that DecryptIfPresent made: released when the paths go out of
// scope, so the file lasts as long as its run, whichever way that ends.
struct ScriptPaths {
    ScriptPaths() = default;
    ~ScriptPaths();
    ScriptPaths(const ScriptPaths&) = delete;
    ScriptPaths& operator=(const ScriptPaths&) = delete;

    char encrypted[kPathSize] = {};
    char plain[kPathSize] = {};
    HeldFile heldPlain = nullptr;
};
void FormScriptPaths(ScriptPaths& paths, const char* directory, const ScriptFilePair& pair);

// What became of a decryption.
enum class Decryption {
    Done,       // the held plain file is complete
    Missing,    // no encrypted file of that name
    Unreadable, // it is there but cannot be opened for reading
    Failed,     // not decryptable, or the plain file could not be written: none left
    // Decrypted, but what came out is no script (a copy that went wrong): no
    // plain file left.
    Damaged,
};

// Opens the encrypted file and, when it opens, decrypts it into the held
// plain file and proves that this reads as a script (ReadsAsScript).
Decryption DecryptIfPresent(ScriptPaths& paths);

// Whether a plain file reads as a script: it holds at least one batch, and
// before its last separator line no control character but tab, line feed,
// carriage return and form feed. The cipher has no integrity check, so
// random bytes decrypt too; this is what tells them from a script. What
// follows the last separator never runs and may be anything (the fill of
// the last block among it).
bool ReadsAsScript(const char* plainPath);

// Deletes the plain files of the shipped scripts that a run cut short (a
// power cut) left in directory: those seven names only, never an encrypted
// file. deleted receives the names removed; returns how many.
size_t DeleteLeftoverPlainScripts(const char* directory, const char* (&deleted)[kScriptCount]);
