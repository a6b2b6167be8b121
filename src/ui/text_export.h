// Exporting the result list to a text file: one line per row in the list's order, the six
// texts after "ID" joined by "&&", every line ended by CR LF, GBK, no header. Every line
// holds six fields whatever a site writes: a field holds no CR or LF (each becomes a
// blank) and no "&&" (a run of "&" becomes one, and a field's last "&" is dropped).
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

#include "base/text.h"
#include "core/search_events.h"

namespace quenbo::window {
class Interactions;
}

namespace quenbo::ui {

class ResultSource;

// The export text of these rows. No rows give no bytes.
Bytes exportBytes(const std::vector<core::ResultRow>& rows);

// The file an export writes: the chosen one, with ".txt" added only when its name does not
// already end in ".txt" (in any case).
std::filesystem::path exportFilePath(const std::filesystem::path& chosen);

// Writes the bytes in place of the file as one step, so a failure leaves an old file as it
// was. Empty when written, otherwise why not.
[[nodiscard]] std::error_code writeExport(const std::filesystem::path& file, const Bytes& bytes);

// UI thread: the "TXT 文本" item. Asks for a file with the save dialog and writes the list
// there; a failure is shown in a message box naming the file and the reason. When ".txt" is
// added to the chosen name and that file exists, the user is asked before it is replaced.
void exportText(window::Interactions& interactions, const ResultSource& results);

}  // namespace quenbo::ui
