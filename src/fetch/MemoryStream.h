// The growable byte buffer with one read/write position that carries the
// fetch records between a call and its worker, collects response bodies and
// splits header text into lines. Portable; one owner at a time.
#pragma once
#include <cstddef>
#include <vector>
#include "text/Text.h"

// One field of a multi-field read: a text field (ended by a zero byte) or a
// byte-string field (32-bit little-endian length, then the bytes).
struct StreamField {
  enum class Kind { kText, kBytes };
  Kind kind;
  std::string* target;
};
inline StreamField TextField(Text& t) { return {StreamField::Kind::kText, &t}; }
inline StreamField BytesField(Bytes& b) { return {StreamField::Kind::kBytes, &b}; }

class MemoryStream {
 public:
  void SeekToStart() { position_ = 0; }
  size_t Length() const { return data_.size(); }
  size_t Position() const { return position_; }
  bool AtEnd() const { return position_ >= data_.size(); }
  void RemoveAll();

  // Writes overwrite at the position or extend the stream, and advance.
  // A text stops at a zero byte inside it: a record field cannot hold one.
  void WriteTextField(const Text& text);
  // The length is 32 bits; a byte string longer than that keeps its first
  // 4 GiB - 1 bytes, so the field still reads back as written.
  void WriteBytesField(const Bytes& bytes);
  void WriteBytes(const Bytes& bytes);
  void WriteText(const Text& text);
  void WriteFields(const std::vector<StreamField>& fields);

  // Up to the next zero byte (which is passed), or the rest of the stream
  // when none follows; fails only when nothing is left.
  bool ReadTextField(Text& text);
  // Fails when fewer bytes remain than the length or the length says.
  bool ReadBytesField(Bytes& bytes);
  // The given number of bytes, or what is left when fewer remain.
  Bytes ReadBytes(size_t count);
  // Up to the next line feed or the end; the line feed is passed and one
  // carriage return before it dropped.
  Text ReadLine();
  // Reads the fields in order and stops at the first that fails: the ones
  // before it keep what was read, it and the rest keep their values, and the
  // position goes back to where the read began.
  bool ReadFields(const std::vector<StreamField>& fields);

 private:
  void Put(const char* bytes, size_t count);

  Bytes data_;
  size_t position_ = 0;
};
