// Replacing one of the system's own files (settings, session, backups) so that no reader and no crash
// ever sees a half-written file: the bytes go to the name followed by ".tmp", are flushed to the disk,
// and only then is that file moved over the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen {

// Afterwards the file at `path` holds `bytes` (true), or holds what it held before and no temporary
// file is left (false, with the system error in `error`). A target held open by a reader is replaced
// too; a read-only target is not.
bool ReplaceFileContent(const std::wstring& path, std::string_view bytes, uint32_t& error);

}  // namespace lumen
