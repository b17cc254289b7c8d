// Appending to a text file, as the report does with each finished page: the
// bytes go out in one write to the end of the file, and a write that fails part
// way is cut off again, so the file holds all of them or none.
#pragma once

#include <string>
#include <string_view>

namespace tw::common {

// Appends `bytes` as given to the file `name` in folder `dir` (created when
// missing). Returns false on any error, with the file as it was; shows nothing.
bool AppendToFile(const std::string& dir, const std::string& name, std::string_view bytes);

// Appends `line` followed by CR LF, in the same way.
bool AppendLineToFile(const std::string& dir, const std::string& name, std::string_view line);

} // namespace tw::common
