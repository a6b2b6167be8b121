// Exporting the result list to a text file: one line per row in the list's order, the six
// texts after "ID" joined by "&&", every line ended by CR LF, GBK, no header.
#pragma once

#include <filesystem>
#include <system_error>
#include <vector>

#include "base/text.h"
#include "window/window_model.h"

namespace quenbo::window {
class Interactions;
}
namespace quenbo::core {
class ResultStore;
}

namespace quenbo::ui {

// The export text of these rows (each: "ID" and six texts). No rows give no bytes.
Bytes exportBytes(const std::vector<window::Row>& rows);

// The rows of the result list as they stand, read under the result lock so a hit a worker
// is adding is either wholly in or not at all.
std::vector<window::Row> resultRows(const window::WindowModel& window, core::ResultStore& store);

// The file an export writes: the chosen one, with ".txt" added only when its name does not
// already end in ".txt" (in any case).
std::filesystem::path exportFilePath(const std::filesystem::path& chosen);

// Writes the bytes in place of the file as one step, so a failure leaves an old file as it
// was. Empty when written, otherwise why not.
[[nodiscard]] std::error_code writeExport(const std::filesystem::path& file, const Bytes& bytes);

// UI thread: the "TXT 文本" item. Asks for a file with the save dialog and writes the list
// there; a failure is shown in a message box naming the file and the reason.
void exportText(const window::WindowModel& window, window::Interactions& interactions,
                core::ResultStore& store);

}  // namespace quenbo::ui
