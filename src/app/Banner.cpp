#include "app/Banner.h"
#include <ole2.h>
#include <olectl.h>
#include <cstring>

namespace {

template <class T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
};

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc); }
};

}  // namespace

HBITMAP StretchedPicture(const unsigned char* data, size_t size, int width, int height) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return nullptr;
  void* bytes = GlobalLock(memory);
  std::memcpy(bytes, data, size);
  GlobalUnlock(memory);
  ComPtr<IStream> stream;
  // The stream frees the memory when it is released.
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream.p))) {
    GlobalFree(memory);
    return nullptr;
  }
  ComPtr<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(&picture.p))))
    return nullptr;
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  picture.p->get_Width(&hmWidth);
  picture.p->get_Height(&hmHeight);

  ScreenDc screen;
  HBITMAP bitmap = CreateCompatibleBitmap(screen.dc, width, height);
  if (!bitmap) return nullptr;
  MemoryDc memoryDc(screen.dc);
  HGDIOBJ old = SelectObject(memoryDc.dc, bitmap);
  // Picture coordinates run bottom-up: start at the lower edge, negative height.
  HRESULT hr = picture.p->Render(memoryDc.dc, 0, 0, width, height, 0, hmHeight, hmWidth,
                                 -hmHeight, nullptr);
  SelectObject(memoryDc.dc, old);
  if (FAILED(hr)) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}
