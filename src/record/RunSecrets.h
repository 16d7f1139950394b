// The passwords of this run, kept apart so that no text the program writes
// carries one: every line of the run log, of the debugger output and of the
// event log passes MaskRunSecrets on its way out. Each source of a password
// registers it as soon as it has it: the /p switch, DUNMOOR_PASSWORD, the main
// dialog's password field, the saved settings read back for a patch.
//
// Every registered password is masked, however short: a one-character one
// turns each of its letters in the log into "***", which makes the lines
// harder to read, but a log that every user may read never carries it.
#pragma once

#include <cstddef>
#include <string>

// Up to this many passwords are kept; past it the oldest gives way.
constexpr size_t kRunSecretSlots = 8;

// Registers the text in secret (ANSI, read up to its NUL or maxLength bytes,
// and at most 259 of them). An empty text masks nothing and is not kept.
void RegisterRunSecret(const char* secret, size_t maxLength = static_cast<size_t>(-1));

// text with each occurrence of a registered password, in the ANSI code page
// or as UTF-8, replaced by "***"; the longest first, so that one password
// that holds another is masked whole.
std::string MaskRunSecrets(const char* text);

// Overwrites every kept password (at the end of the run).
void ClearRunSecrets();
