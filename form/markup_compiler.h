// The form markup compiler: rewrites a page text in place, replacing every
// control item written between two backquotes ("`btCapture|style=width:46px|!C!apture`")
// by the HTML of its control, wired to the page's event URLs.
#pragma once

#include <string>

// Compiles `page` in place. Items with an unknown type code, an identifier of
// fewer than two characters, or no closing backquote stay as they are. Throws
// only std::bad_alloc.
void CompileFormMarkup(std::string& page);

// The attributes that mark an element as having help: a tooltip and the help
// event text "qh|" + id raised by the right mouse button.
std::string HelpAttributes(const std::string& id);
