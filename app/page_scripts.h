// The page's scripts, kept as files of their own (app/*.js) and built into
// the program as Qt resources.
#pragma once

#include <string>

// The text of the script file `name`, such as "preview.js". Empty for a name
// the program was not built with.
const std::string& PageScript(const char* name);
