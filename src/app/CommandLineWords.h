// How the command-line parser reads an argument text: the word switches
// (words of their own), where a value switch stands and which text is its
// value, and the words between blanks. Positions are offsets into the text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The text [begin, end) of an argument text.
struct TextSpan {
    size_t begin = 0;
    size_t end = 0;
};

// One occurrence of a value switch such as "/s": where the switch stands and
// its value.
struct SwitchOccurrence {
    size_t at = 0;
    TextSpan value;
};

// Length of the word switch starting at text + at (/q, /replace, /check,
// /patch, /keep, or /engine:<x> and /db:<x> with their value), in any letter
// case and only at the start of a word; 0 when none starts there.
size_t WordSwitchAt(const char* text, size_t at);

// True when word is one of the word switches that take no value.
bool IsFlagSwitch(const std::string& word);

// The first occurrence of value switch name (case-sensitive) at or after
// from, skipping any that starts a word switch, so "/patch" is never "/p".
// Its value runs from right after the switch to the next blank; when a blank
// follows the switch, the value is the next word instead, unless that word
// starts with "/" (another switch) or there is none.
bool FindValueSwitch(const char* text, const char* name, size_t from, SwitchOccurrence& found);

// The first word that starts with prefix (such as "/engine:") in any letter
// case, and the rest of that word as its value.
bool FindValuedWord(const char* text, const char* prefix, SwitchOccurrence& found);

// The words of text, split at blanks.
std::vector<TextSpan> SplitWords(const char* text);

// The value of every "/p" occurrence in text, in order: the first is the
// password the parser takes; a later one is most likely a password too.
std::vector<TextSpan> PasswordSpans(const char* text);
