// Texts, byte strings and arrays of texts with the program's edge rules:
// 1-based byte positions, -1 for a failed search, a byte >= 0x80 starting a
// two-byte character. Pure functions on values: safe on any thread.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// A text: bytes in the ANSI code page, never a zero byte inside. Empty and
// absent are the same value; CStrOrNull tells them apart for system calls.
using Text = std::string;
// A byte string: counted bytes, zero bytes allowed.
using Bytes = std::string;
using TextArray = std::vector<Text>;

// An absent (empty) text handed to a system call is a null string pointer.
inline const char* CStrOrNull(const Text& t) { return t.empty() ? nullptr : t.c_str(); }

int TextLength(const Text& t);
Text ConcatText(std::initializer_list<Text> parts);
int CompareText(const Text& a, const Text& b);
int FindText(const Text& text, const Text& sought, std::optional<int> start = std::nullopt,
             bool ignoreCase = false);
Text TextLeft(const Text& t, int n);
Text TextRight(const Text& t, int n);
Text TextMid(const Text& t, int start, int n);
Text ReplaceTextAt(const Text& t, int start, int n,
                   const std::optional<Text>& replacement = std::nullopt);
TextArray SplitText(const Text& t, const Text& delimiter = ",",
                    std::optional<int> maxMembers = std::nullopt);
Text RemoveAllSpaces(const Text& t);
Text ToUpper(const Text& t);
Text ToLower(const Text& t);
Text CharFromCode(int code);
Text BlankText(int n);
Text NumberToText(int value);
double TextToNumber(const Text& t);

int BytesLength(const Bytes& b);
Bytes BytesLeft(const Bytes& b, int n);
Bytes BytesRight(const Bytes& b, int n);
Bytes BlankBytes(int n);
Bytes ConcatBytes(std::initializer_list<Bytes> parts);
int32_t ReadInteger(const Bytes& b);
int TruncateToInteger(double v);
int ElementCount(const TextArray& a);
