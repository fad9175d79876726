#include "text/Text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x80; }

unsigned char FoldCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Converts the ASCII letters of one case; two-byte characters pass whole and
// a lone lead byte at the end stops the conversion.
Text ChangeCase(const Text& t, char from, char to) {
  Text out = t;
  size_t i = 0;
  while (i < out.size()) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      if (i + 1 >= out.size()) break;
      i += 2;
      continue;
    }
    if (c >= static_cast<unsigned char>(from) && c <= static_cast<unsigned char>(from + 25))
      out[i] = static_cast<char>(c - from + to);
    ++i;
  }
  return out;
}

}  // namespace

int TextLength(const Text& t) { return static_cast<int>(t.size()); }

Text ConcatText(std::initializer_list<Text> parts) {
  size_t total = 0;
  for (const Text& p : parts) total += p.size();
  Text out;
  out.reserve(total);
  for (const Text& p : parts) out += p;
  return out;
}

int CompareText(const Text& a, const Text& b) {
  size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int FindText(const Text& text, const Text& sought, std::optional<int> start, bool ignoreCase) {
  const size_t L = text.size();
  const size_t M = sought.size();
  size_t w = (start && *start > 1) ? static_cast<size_t>(*start) - 1 : 0;
  if (w >= L) return -1;
  size_t R = L - w;
  if (M == 0) return 1;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* s = reinterpret_cast<const unsigned char*>(sought.data());
  size_t c = w;
  while (R >= M) {
    bool match = true;
    for (size_t k = 0; k < M; ++k) {
      unsigned char a = t[c + k], b = s[k];
      if (ignoreCase ? FoldCase(a) != FoldCase(b) : a != b) {
        match = false;
        break;
      }
    }
    if (match) return static_cast<int>(c + 1);
    if (IsLeadByte(t[c])) {
      if (c + 1 >= L) return -1;
      c += 2;
      R = R >= 2 ? R - 2 : 0;
    } else {
      c += 1;
      R -= 1;
    }
  }
  return -1;
}

Text TextLeft(const Text& t, int n) {
  if (n <= 0) return Text();
  return t.substr(0, std::min<size_t>(static_cast<size_t>(n), t.size()));
}

Text TextRight(const Text& t, int n) {
  if (n <= 0) return Text();
  size_t k = std::min<size_t>(static_cast<size_t>(n), t.size());
  return t.substr(t.size() - k);
}

Text TextMid(const Text& t, int start, int n) {
  if (start < 1 || n <= 0 || static_cast<size_t>(start) > t.size()) return Text();
  return t.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(n));
}

Text ReplaceTextAt(const Text& t, int start, int n, const std::optional<Text>& replacement) {
  const long long L = static_cast<long long>(t.size());
  long long p = static_cast<long long>(start) - 1;
  if (p < 0) p = 0;
  if (p > L) p = L;
  long long del = std::min<long long>(std::max(n, 0), L - p);
  Text out = t;
  out.erase(static_cast<size_t>(p), static_cast<size_t>(del));
  if (replacement) out.insert(static_cast<size_t>(p), *replacement);
  return out;
}

TextArray SplitText(const Text& t, const Text& delimiter, std::optional<int> maxMembers) {
  TextArray out;
  if (t.empty()) return out;
  std::optional<int> left = maxMembers;
  if (left && *left < 0) left = 0;
  if (left && *left == 0) return out;
  if (delimiter.empty()) {
    out.push_back(t);
    return out;
  }
  const size_t L = t.size(), D = delimiter.size();
  size_t m = 0, c = 0, R = L;
  while (R >= D) {
    if (t.compare(c, D, delimiter) == 0) {
      out.push_back(t.substr(m, c - m));
      c += D;
      m = c;
      R -= D;
      if (left && --*left == 0) return out;
    } else if (IsLeadByte(static_cast<unsigned char>(t[c]))) {
      if (c + 1 >= L) break;
      c += 2;
      R = R >= 2 ? R - 2 : 0;
    } else {
      c += 1;
      R -= 1;
    }
  }
  if (m < L) out.push_back(t.substr(m));
  return out;
}

Text RemoveAllSpaces(const Text& t) {
  Text out;
  out.reserve(t.size());
  size_t i = 0;
  while (i < t.size()) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    if (IsLeadByte(c)) {
      if (i + 1 >= t.size()) break;  // a lone lead byte at the end is dropped
      unsigned char d = static_cast<unsigned char>(t[i + 1]);
      if (!(c == 0xA1 && d == 0xA1)) out.append(t, i, 2);
      i += 2;
    } else {
      if (c != ' ') out.push_back(static_cast<char>(c));
      ++i;
    }
  }
  return out;
}

Text ToUpper(const Text& t) { return ChangeCase(t, 'a', 'A'); }
Text ToLower(const Text& t) { return ChangeCase(t, 'A', 'a'); }

Text CharFromCode(int code) {
  if ((code & 0xFF) == 0) return Text();
  return Text(1, static_cast<char>(code & 0xFF));
}

Text BlankText(int n) { return n <= 0 ? Text() : Text(static_cast<size_t>(n), ' '); }

Text NumberToText(int value) { return std::to_string(value); }

double TextToNumber(const Text& t) {
  Text half;
  half.reserve(t.size());
  size_t i = 0;
  while (i < t.size()) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    if (!IsLeadByte(c)) {
      half.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if (i + 1 >= t.size()) break;
    unsigned char d = static_cast<unsigned char>(t[i + 1]);
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      half.push_back(static_cast<char>(d - 0x80));
    } else if (c == 0xA1 && d == 0xA1) {
      half.push_back(' ');
    } else if (c == 0xA1 && d == 0xAB) {
      half.push_back('~');
    } else if (c == 0xA1 && (d == 0xEE || d == 0xEF)) {
      half.push_back('*');
    } else {
      half.append(t, i, 2);
    }
    i += 2;
  }
  // Decimal only: strtod would also read hex, infinities and NaN.
  const char* p = half.c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const char* q = p;
  if (*q == '+' || *q == '-') ++q;
  const char* digitsStart = q;
  while (*q >= '0' && *q <= '9') ++q;
  bool any = q > digitsStart;
  if (*q == '.') {
    ++q;
    const char* frac = q;
    while (*q >= '0' && *q <= '9') ++q;
    any = any || q > frac;
  }
  if (!any) return 0.0;
  if (*q == 'e' || *q == 'E') {
    const char* e = q + 1;
    if (*e == '+' || *e == '-') ++e;
    if (*e >= '0' && *e <= '9') {
      while (*e >= '0' && *e <= '9') ++e;
      q = e;
    }
  }
  return std::strtod(std::string(p, q).c_str(), nullptr);
}

int BytesLength(const Bytes& b) { return static_cast<int>(b.size()); }

Bytes BytesLeft(const Bytes& b, int n) {
  size_t k = n <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), b.size());
  return b.substr(0, k);
}

Bytes BytesRight(const Bytes& b, int n) {
  size_t k = n <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), b.size());
  return b.substr(b.size() - k);
}

Bytes BlankBytes(int n) { return n <= 0 ? Bytes() : Bytes(static_cast<size_t>(n), '\0'); }

Bytes ConcatBytes(std::initializer_list<Bytes> parts) { return ConcatText(parts); }

int32_t ReadInteger(const Bytes& b) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < b.size(); ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(b[i])) << (8 * i);
  return static_cast<int32_t>(v);
}

int TruncateToInteger(double v) {
  if (std::isnan(v)) return 0;
  // Out-of-range doubles would be undefined behaviour in a plain cast.
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

int ElementCount(const TextArray& a) { return static_cast<int>(a.size()); }
