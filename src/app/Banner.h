// The banner picture: a GIF decoded by the system's picture loader and drawn
// stretched into a bitmap of the banner's size (proportions not kept).
#pragma once
#include <windows.h>
#include <cstddef>

// The banner GIF built into the program.
extern const unsigned char kBannerGif[];
extern const size_t kBannerGifSize;

// nullptr when the picture cannot be decoded. The caller deletes the bitmap.
HBITMAP StretchedPicture(const unsigned char* data, size_t size, int width, int height);
