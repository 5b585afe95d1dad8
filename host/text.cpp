#include "host/text.h"

namespace kvx {
namespace {

bool IsGbkLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

std::vector<bool> GbkTrailMap(const Text& text) {
  std::vector<bool> trail(text.size(), false);
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      trail[i + 1] = true;
      ++i;
    }
  }
  return trail;
}

int FindText(const Text& haystack, const Text& needle, bool ignoreCase) {
  if (needle.empty())
    return 0;
  if (needle.size() > haystack.size())
    return kNotFound;
  const std::vector<bool> hayTrail = GbkTrailMap(haystack);
  const std::vector<bool> needleTrail = GbkTrailMap(needle);
  const size_t last = haystack.size() - needle.size();
  for (size_t start = 0; start <= last; ++start) {
    if (hayTrail[start])
      continue;
    bool match = true;
    for (size_t k = 0; k < needle.size() && match; ++k) {
      const unsigned char h = static_cast<unsigned char>(haystack[start + k]);
      const unsigned char n = static_cast<unsigned char>(needle[k]);
      // Both sides must be cut into characters the same way: a single byte of
      // the needle never stands for the trail byte of a haystack character.
      if (hayTrail[start + k] != needleTrail[k]) {
        match = false;
      } else if (h == n) {
        continue;
      } else if (ignoreCase && !hayTrail[start + k] && IsAsciiLetter(h) && IsAsciiLetter(n)) {
        match = FoldAscii(h) == FoldAscii(n);
      } else {
        match = false;
      }
    }
    // A needle that ends on a lead byte must not end inside a haystack character.
    if (match && start + needle.size() < haystack.size() && hayTrail[start + needle.size()] &&
        !needleTrail.empty() && IsGbkLeadByte(static_cast<unsigned char>(needle.back())) &&
        !needleTrail[needle.size() - 1]) {
      match = false;
    }
    if (match)
      return static_cast<int>(start);
  }
  return kNotFound;
}

int TextLength(const Text& text) {
  return static_cast<int>(text.size());
}

Text LeftText(const Text& text, int n) {
  if (n <= 0)
    return Text();
  return text.substr(0, static_cast<size_t>(n));
}

bool TextEquals(const Text& a, const Text& b) {
  return a == b;
}

Text Concat(std::initializer_list<Text> pieces) {
  size_t total = 0;
  for (const Text& piece : pieces)
    total += piece.size();
  Text joined;
  joined.reserve(total);
  for (const Text& piece : pieces)
    joined += piece;
  return joined;
}

bool IsDriveLetter(const Text& text) {
  return text.size() == 2 && IsAsciiLetter(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

bool IsDigits(const Text& text) {
  if (text.empty())
    return false;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return false;
  }
  return true;
}

Bytes TextToBytes(const Text& text) {
  return Bytes(text.begin(), text.end());
}

Text BytesToText(const Bytes& bytes) {
  return Text(bytes.begin(), bytes.end());
}

}  // namespace kvx
