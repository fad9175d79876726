// The two records a fetch call and its worker exchange through a
// MemoryStream. Each is the whole content of the stream, written at 0.
#pragma once
#include "fetch/MemoryStream.h"
#include "text/Text.h"

inline constexpr const char kRequestMarker[] = "Zorvek";
inline constexpr const char kReplyMarker[] = "Zorvek_OK";

struct FetchRequest {
  Text marker;        // as read; writing always puts kRequestMarker
  Text url;
  Text verb;          // empty: GET
  Text proxy;         // blank: direct
  Text userName;      // blank: none
  Text password;      // blank: none
  Text extraHeaders;  // lines each ending in "\r\n", or empty
  Text postData;
};

struct FetchReply {
  Text marker;  // as read; writing always puts kReplyMarker
  Text rawHeaders;
  Bytes body;
};

// Seek to the start and write the record there.
void WriteFetchRequest(MemoryStream& stream, const FetchRequest& request);
void WriteFetchReply(MemoryStream& stream, const FetchReply& reply);

// Seek to the start and read the record's fields in order. A field that
// cannot be read stops the read (the stream's multi-field rule); the result
// says whether every field was read. The marker is read, not checked.
bool ReadFetchRequest(MemoryStream& stream, FetchRequest& request);
bool ReadFetchReply(MemoryStream& stream, FetchReply& reply);
