// Conversions between the program's ANSI text (the system code page) and the
// UTF-16 of ODBC's wide entry points. The wide calls carry the text to a
// Unicode driver unchanged on Windows and under Wine alike; the ANSI calls
// reach the driver under Wine as raw bytes, which mangles every non-ASCII
// character.
#pragma once

#include <windows.h>

#include <sqltypes.h>

#include <cstddef>
#include <vector>

// NUL-terminated UTF-16 of a NUL-terminated ANSI text; just the NUL when the
// text does not convert.
std::vector<SQLWCHAR> WidenAnsi(const char* text);

// Writes wide text (length characters, or up to its NUL when length is
// negative) as ANSI into out, bounded to outSize and NUL-terminated.
void NarrowToAnsi(const SQLWCHAR* text, int length, char* out, size_t outSize);

// True when the text (up to its NUL, at most size bytes) holds a lead byte of
// the double-byte code page: a byte that joins the next one into one
// character. Single-byte code pages and UTF-8 have none.
bool HoldsLeadByte(const char* text, size_t size, UINT codePage);
