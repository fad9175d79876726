// A batch host over a list model and a scripted service: every call the run
// makes is recorded in one sequence, so tests can check what happened when.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "query/BatchQuery.h"
#include "query/ListModel.h"

// Passes writes on to the model and records them.
class RecordingList final : public ResultList {
 public:
  RecordingList(ListModel& model, std::vector<std::string>& events) : model_(model), events_(events) {}
  RowId AppendRow() override {
    const RowId id = model_.AppendRow();
    events_.push_back("append");
    return id;
  }
  void SetCell(RowId row, int column, const Text& text) override {
    events_.push_back("set " + std::to_string(column) + " " + text);
    model_.SetCell(row, column, text);
  }
  int RowCount() const override { return model_.RowCount(); }
  Text CellText(int rowIndex, int column) const override { return model_.CellText(rowIndex, column); }
  void DeleteAllRows() override { model_.DeleteAllRows(); }
  int SelectedRow() const override { return model_.SelectedRow(); }

 private:
  ListModel& model_;
  std::vector<std::string>& events_;
};

class FakeHost : public BatchHost {
 public:
  Text domainList;
  ListModel model;
  std::vector<std::string> events;  // "append", "set <col> <text>", "fetch <url>", "message <text>"
  std::vector<Text> messages;
  std::vector<Text> fetched;
  int decodes = 0;
  bool ending = false;
  // The page body for an address; the default serves nothing (a failed fetch).
  std::function<Bytes(const Text& url)> serve = [](const Text&) { return Bytes(); };
  // Runs inside a fetch, as a nested window event would; given the 1-based
  // number of the fetch.
  std::function<void(int fetchNumber)> duringFetch;

  Text DomainListText() override { return domainList; }
  ResultList& Results() override { return list_; }
  Bytes Fetch(const Text& url) override {
    events.push_back("fetch " + url);
    fetched.push_back(url);
    const int number = static_cast<int>(fetched.size());
    if (duringFetch) duringFetch(number);
    return serve(url);
  }
  // The scripted pages are already in the code page the markers use.
  Text Decode(const Bytes& body) override {
    ++decodes;
    return body;
  }
  void ShowMessage(const Text& text) override {
    events.push_back("message " + text);
    messages.push_back(text);
  }
  bool Ending() override { return ending; }

 private:
  RecordingList list_{model, events};
};
