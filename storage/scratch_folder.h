// A folder of this user's own for files that are written, read back once
// and removed, such as a document checked or attached but never kept.
#pragma once

#include <string>

// Makes a new folder "PREFIX-XXXXXX" under TMPDIR, else /tmp, readable by
// its owner alone; empty, with errno set, when none could be made.
std::string MakeScratchFolder(const std::string& prefix);
