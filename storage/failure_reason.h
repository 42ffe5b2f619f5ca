// How storage says no, and why in the words a person reads: the one place
// where a system error number becomes text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The errno of the step that failed; empty when every step succeeded.
using FileFailure = std::optional<int>;

// `cause` (an errno) said of the file `name` in its folder: the folder
// missing, read-only, the file held by another program, the disk full, no
// regular file there; else the system's own words.
std::string FailureReason(int cause, std::string_view name);
