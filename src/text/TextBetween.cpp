#include "text/PageText.h"

Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker) {
  const int a = FindText(text, startMarker, 0);
  // Without its start marker a page has no value; cutting from a position
  // derived from -1 would put page bytes into the result.
  if (a < 0) return Text();
  const int L = TextLength(startMarker);
  const int b = FindText(text, endMarker, a + L);
  return TextMid(text, a + L, b - a - L);
}
