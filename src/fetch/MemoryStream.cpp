#include "fetch/MemoryStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void MemoryStream::RemoveAll() {
  data_.clear();
  position_ = 0;
}

void MemoryStream::Put(const char* bytes, size_t count) {
  size_t overlap = std::min(count, data_.size() - std::min(position_, data_.size()));
  if (position_ > data_.size()) data_.resize(position_);
  data_.replace(position_, overlap, bytes, count);
  position_ += count;
}

void MemoryStream::WriteTextField(const Text& text) {
  size_t n = std::min(text.size(), std::strlen(text.c_str()));
  Put(text.data(), n);
  Put("", 1);
}

void MemoryStream::WriteBytesField(const Bytes& bytes) {
  size_t n = std::min<size_t>(bytes.size(), UINT32_MAX);
  uint32_t length = static_cast<uint32_t>(n);
  const char header[4] = {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
                          static_cast<char>((length >> 16) & 0xFF),
                          static_cast<char>((length >> 24) & 0xFF)};
  Put(header, 4);
  Put(bytes.data(), n);
}

void MemoryStream::WriteBytes(const Bytes& bytes) { Put(bytes.data(), bytes.size()); }

void MemoryStream::WriteText(const Text& text) {
  Put(text.data(), std::min(text.size(), std::strlen(text.c_str())));
}

void MemoryStream::WriteFields(const std::vector<StreamField>& fields) {
  for (const StreamField& f : fields) {
    if (f.kind == StreamField::Kind::kText)
      WriteTextField(*f.target);
    else
      WriteBytesField(*f.target);
  }
}

bool MemoryStream::ReadTextField(Text& text) {
  if (AtEnd()) return false;
  size_t end = data_.find('\0', position_);
  if (end == Bytes::npos) {
    text = data_.substr(position_);
    position_ = data_.size();
  } else {
    text = data_.substr(position_, end - position_);
    position_ = end + 1;
  }
  return true;
}

bool MemoryStream::ReadBytesField(Bytes& bytes) {
  size_t left = AtEnd() ? 0 : data_.size() - position_;
  if (left < 4) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(data_.data() + position_);
  uint64_t length = uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16 |
                    uint64_t(p[3]) << 24;
  if (length > left - 4) return false;
  bytes = data_.substr(position_ + 4, static_cast<size_t>(length));
  position_ += 4 + static_cast<size_t>(length);
  return true;
}

Bytes MemoryStream::ReadBytes(size_t count) {
  if (AtEnd()) return Bytes();
  Bytes out = data_.substr(position_, count);
  position_ += out.size();
  return out;
}

Text MemoryStream::ReadLine() {
  if (AtEnd()) return Text();
  size_t end = data_.find('\n', position_);
  size_t next = end == Bytes::npos ? data_.size() : end + 1;
  if (end == Bytes::npos) end = data_.size();
  Text line = data_.substr(position_, end - position_);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  position_ = next;
  return line;
}

bool MemoryStream::ReadFields(const std::vector<StreamField>& fields) {
  size_t start = position_;
  for (const StreamField& f : fields) {
    // Read into a scratch value so a failing field keeps what it held.
    std::string value;
    bool ok = f.kind == StreamField::Kind::kText ? ReadTextField(value) : ReadBytesField(value);
    if (!ok) {
      position_ = start;
      return false;
    }
    *f.target = std::move(value);
  }
  return true;
}
