// Page bodies to texts, and values cut out of texts between markers.
#pragma once
#include "text/Text.h"

// The text between the first start marker and the next end marker after it.
// A missing start marker gives the empty text (not bytes of the page).
Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker);

#ifdef _WIN32
// The body read as UTF-8 (whatever the page declares), up to its first zero
// byte, converted into the ANSI code page; unknown characters become '?'.
Text DecodePage(const Bytes& body);
// UTF-16LE units (two bytes each) converted into the ANSI code page.
Text WideToText(const Bytes& wide);
#endif
