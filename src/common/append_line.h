// Appending one line to a text file, as the report does line after line.
#pragma once

#include <string>
#include <string_view>

namespace tw::common {

// Appends `line` followed by CR LF to the file `name` in folder `dir` (created
// when missing). The bytes are written as given. Returns false on any error and
// shows nothing.
bool AppendLineToFile(const std::string& dir, const std::string& name, std::string_view line);

} // namespace tw::common
