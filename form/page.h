// The main page: its form markup template, the style sheet placed ahead of
// it, and the whole page as the window shows it.
#pragma once

#include <string>

// The body of the main page in form markup, before compilation.
const std::string& PageTemplate();

// The style rules and the BODY opening tag that stand ahead of every page body.
const std::string& PageStyleSheet();

// The style sheet followed by the compiled template.
std::string BuildMainPage();
