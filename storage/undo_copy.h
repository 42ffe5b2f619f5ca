// The file a replacement is about to replace, kept beside it so that the
// replacement can be undone. The copy is a second name of the old file (a
// hard link), so keeping it costs no copying: the old file's bytes stay
// where they are until the undo copy is dropped or put back.
#pragma once

#include <string>

#include "storage/failure_reason.h"

// Where the undo copy of `path` is kept: ".NAME.undo" in its folder.
std::string UndoCopyPath(const std::string& path);

// Before `path` is replaced: the old file, if there is one, gets a pending
// second name. Fails when the folder can't hold it (a file system without
// links); the replacement can go on without it.
FileFailure PrepareUndoCopy(const std::string& path);
// After the replacement: when `replaced`, the pending copy becomes the undo
// copy (the one before it is dropped); else the pending copy is dropped.
void SettleUndoCopy(const std::string& path, bool replaced);
// Whether `path` has an undo copy to put back.
bool HasUndoCopy(const std::string& path);
// Puts the undo copy back in `path`'s place in one step; after it there is
// none. ENOENT when there is no copy.
FileFailure PutBackUndoCopy(const std::string& path);
