// Texts of the configurator and the operations that only compute on them.
//
// Every text is a byte string in code page 936 (GBK): paths, command lines,
// batch texts and the Chinese messages alike. The sources are UTF-8 and the
// compiler turns every narrow literal into GBK bytes (-fexec-charset=GBK), so
// a literal such as "警告" is the four bytes BE AF B8 E6 in every build.
// A missing text and the empty text are the same value.
#ifndef KVXCFG_HOST_TEXT_H
#define KVXCFG_HOST_TEXT_H

#include <initializer_list>
#include <string>
#include <vector>

namespace kvx {

using Text = std::string;
using Bytes = std::vector<unsigned char>;

// Result of FindText when the needle does not occur.
constexpr int kNotFound = -1;

// Position (0-based byte offset) of the first occurrence of needle in
// haystack, or kNotFound. The search walks the haystack character by
// character: a match never starts on, or lines up a single-byte needle
// character with, the trail byte of a double-byte GBK character. With
// ignoreCase only single-byte ASCII letters are folded; the bytes of a
// double-byte character always compare exactly. An empty needle is found at 0.
int FindText(const Text& haystack, const Text& needle, bool ignoreCase);

// Number of bytes.
int TextLength(const Text& text);

// The first n bytes, or the whole text when it is shorter.
Text LeftText(const Text& text, int n);

// Exact byte comparison; a missing text equals the empty text and nothing else.
bool TextEquals(const Text& a, const Text& b);

// The pieces joined in order.
Text Concat(std::initializer_list<Text> pieces);

// The text's bytes as they go into a file: no terminator, no byte-order mark.
Bytes TextToBytes(const Text& text);

// The bytes of a file as a text.
Text BytesToText(const Bytes& bytes);

// True when the text is a drive: one ASCII letter and a colon.
bool IsDriveLetter(const Text& text);

// True when the text is one or more ASCII digits and nothing else.
bool IsDigits(const Text& text);

// True when the byte at index i of text is the trail byte of a double-byte
// GBK character (the byte after a lead byte 0x81..0xFE).
std::vector<bool> GbkTrailMap(const Text& text);

}  // namespace kvx

#endif  // KVXCFG_HOST_TEXT_H
