// The preview of a capture on the main page. A table of any size is shown as
// the single table it is, but built in blocks: the head and the first rows at
// once, then one block of rows per task of the page, sent one after another,
// each block a table of its own with the single table's column widths, drawn
// only when it is on screen. The page answers clicks and keys all the while.
#pragma once

#include <string>

// Puts the status paragraph and the table (as the conversion gives them) into
// the main page's message line. Rows of an earlier preview still being sent
// are dropped.
void ShowPreview(const std::string& status, std::string table);

// Whether rows of the last preview are still on their way to the page.
bool PreviewFilling();

// Rows per block.
constexpr int kPreviewBlockRows = 100;
