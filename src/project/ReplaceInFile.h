#pragma once

#include "text/MessageService.h"
#include "text/TextService.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace korvana {

// Replaces every `search` (found without regard to case) in the text file
// `file` by `replacement` and changes nothing else: the file keeps its
// encoding (see detectEncoding: the replacement is written in Windows-1252 in
// the IDE's files), its line breaks (a CR LF in the replacement becomes the
// file's own line break) and its byte-order mark. The new text goes to a
// temporary file beside it that is renamed into place, so a failure leaves the
// old file whole. A file that is not text, a symbolic link and a replacement
// that the file's encoding cannot hold are refused. Every failure is told with
// text 910 (number, description, file) and answered false; the file is then
// as it was.
bool ReplaceInFile(MessageService& messages, const TextService& texts, std::string_view file,
                   std::string_view search, std::string_view replacement);

// The text of `file` (read as `text`) with the replacements ReplaceInFile
// makes. Raises korvana::Error when the file's encoding cannot hold them.
std::string replacedText(std::string_view text, std::string_view search,
                         std::string_view replacement, const std::filesystem::path& file);

// Text 910: the project's parameters could not be put into `file`.
void ReportFileNotAdapted(MessageService& messages, const TextService& texts, int number,
                          std::string_view description, std::string_view file);

} // namespace korvana
