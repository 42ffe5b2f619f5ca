// The preview of a capture on a page. The head and the first rows are shown
// at once; the other rows follow a few thousand to a script, kept on the page
// as data, and only the rows near the view are drawn, into a table that looks
// exactly like the single table. The page answers clicks and keys all the
// while. The page's side is preview.js.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "form/page_host.h"
#include "infotable/preview.h"

class PreviewSender {
 public:
  explicit PreviewSender(PageHost& host) : host_(host) {}
  PreviewSender(const PreviewSender&) = delete;
  PreviewSender& operator=(const PreviewSender&) = delete;

  // Puts the status paragraph and the table into the page's message line.
  // Rows of an earlier preview still being sent are dropped. Throws PageOperationFailed
  // when the page fails.
  void Show(const std::string& status, PreviewTable table, std::vector<std::string> groups = {});

  // Shows every line of the status paragraph's group `group` in a box under
  // its line, drawn where the filer looks as the rows are. Nothing for a
  // group the last preview has not.
  void ShowGroup(size_t group);

  // Whether rows of the last preview are still on their way to the page.
  bool Filling() const { return filling_; }
  // The rows of the preview shown last.
  size_t ShownRows() const { return lastRows_; }

  // A preview of more rows than this leaves the page holding memory that only
  // a page of its own gives back.
  static constexpr size_t kLargePreview = 10000;

 private:
  void SendNextRows();
  void SendGroupLines(size_t group, size_t from);
  void Finish();

  PageHost& host_;
  int generation_ = 0;
  std::shared_ptr<const PreviewTable> table_;  // the preview being sent
  size_t nextRow_ = 0;
  size_t scriptsOnTheirWay_ = 0;                            // of the preview being sent
  size_t lastRows_ = 0;                                     // of the preview shown last
  std::shared_ptr<const std::vector<std::string>> groups_;  // of the preview shown
  bool filling_ = false;
  std::shared_ptr<PreviewSender*> self_ =
      std::make_shared<PreviewSender*>(this);  // for answers that come late
};
