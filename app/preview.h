// The preview of a capture on the main page. The head and the first rows are
// shown at once; the other rows follow a few thousand to a script, kept on the
// page as data, and only the rows near the view are drawn, into a table that
// looks exactly like the single table. The page answers clicks and keys all
// the while.
#pragma once

#include <string>

#include "infotable/preview.h"

// Puts the status paragraph and the table into the main page's message line.
// Rows of an earlier preview still being sent are dropped.
void ShowPreview(const std::string& status, PreviewTable table);

// Whether rows of the last preview are still on their way to the page.
bool PreviewFilling();
