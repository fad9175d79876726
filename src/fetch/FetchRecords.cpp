#include "fetch/FetchRecords.h"

#include <type_traits>
#include <vector>

namespace {

// The layouts, field by field in stream order.
struct RequestField {
  Text FetchRequest::*member;
};
constexpr RequestField kRequestLayout[] = {
    {&FetchRequest::marker},   {&FetchRequest::url},      {&FetchRequest::verb},
    {&FetchRequest::proxy},    {&FetchRequest::userName}, {&FetchRequest::password},
    {&FetchRequest::extraHeaders}, {&FetchRequest::postData},
};

struct ReplyField {
  std::string FetchReply::*member;
  StreamField::Kind kind;
};
constexpr ReplyField kReplyLayout[] = {
    {&FetchReply::marker, StreamField::Kind::kText},
    {&FetchReply::rawHeaders, StreamField::Kind::kText},
    {&FetchReply::body, StreamField::Kind::kBytes},
};

template <typename Record, typename Layout>
std::vector<StreamField> FieldsOf(Record& record, const Layout& layout) {
  std::vector<StreamField> fields;
  for (const auto& f : layout) {
    if constexpr (std::is_same_v<Record, FetchRequest>)
      fields.push_back(TextField(record.*f.member));
    else
      fields.push_back({f.kind, &(record.*f.member)});
  }
  return fields;
}

}  // namespace

void WriteFetchRequest(MemoryStream& stream, const FetchRequest& request) {
  stream.SeekToStart();
  for (const auto& f : kRequestLayout)
    stream.WriteTextField(f.member == &FetchRequest::marker ? Text(kRequestMarker) : request.*f.member);
}

void WriteFetchReply(MemoryStream& stream, const FetchReply& reply) {
  stream.SeekToStart();
  for (const auto& f : kReplyLayout) {
    if (f.member == &FetchReply::marker)
      stream.WriteTextField(kReplyMarker);
    else if (f.kind == StreamField::Kind::kText)
      stream.WriteTextField(reply.*f.member);
    else
      stream.WriteBytesField(reply.*f.member);
  }
}

bool ReadFetchRequest(MemoryStream& stream, FetchRequest& request) {
  stream.SeekToStart();
  return stream.ReadFields(FieldsOf(request, kRequestLayout));
}

bool ReadFetchReply(MemoryStream& stream, FetchReply& reply) {
  stream.SeekToStart();
  return stream.ReadFields(FieldsOf(reply, kReplyLayout));
}
