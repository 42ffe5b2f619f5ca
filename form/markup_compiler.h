// The form markup compiler: rewrites a page text in place, replacing every
// button item written between two backquotes ("`btCapture|style=width:46px|!C!apture`":
// id, attributes, label) by the HTML of its button, wired to the page's
// button event. The letter between two "!" of the label is its access key.
#pragma once

#include <string>

// Compiles `page` in place. Items that are no button (their id does not
// begin with "bt", or is "bt" alone) and text with no closing backquote stay
// as they are. Throws only std::bad_alloc.
void CompileFormMarkup(std::string& page);
