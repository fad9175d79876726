#include <windows.h>

#include "text/PageText.h"

Text DecodePage(const Bytes& body) {
  Bytes input = body;
  const int last = ReadInteger(BytesRight(input, 1));
  // A terminator is appended only after an ASCII last byte; the conversion
  // below is counted, so no byte past the body is ever read either way.
  if (last - 127 < -0.0000001) input = ConcatBytes({input, BlankBytes(1)});
  const int n = MultiByteToWideChar(CP_UTF8, 0, input.data(), BytesLength(input), nullptr, 0);
  if (n <= 0) return Text();
  Bytes wide = BlankBytes(n * 2);
  MultiByteToWideChar(CP_UTF8, 0, input.data(), BytesLength(input),
                      reinterpret_cast<LPWSTR>(wide.data()), n);
  return WideToText(wide);
}

Text WideToText(const Bytes& wide) {
  Bytes units = wide;
  // Whole units only: an odd trailing byte is not half of a character.
  if (units.size() % 2) units.pop_back();
  if (units.empty() || units[units.size() - 1] != 0 || units[units.size() - 2] != 0)
    units = ConcatBytes({units, BlankBytes(2)});
  const int c = BytesLength(units);
  Text out = BlankText(c + 1);
  WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(units.data()), -1, out.data(), c,
                      nullptr, nullptr);
  return Text(out.c_str());
}
