// Whether xmllint, which checks documents against EDGAR's schemas, is here.
#pragma once

#include <cstdlib>

inline bool HaveXmllint() { return std::system("xmllint --version >/dev/null 2>&1") == 0; }
