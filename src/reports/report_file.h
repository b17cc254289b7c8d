// One report file being written: each line is converted to code page 932 and
// appended with CR LF through the common line appender.
//
// The file is appended to, never emptied: a second report into the same folder
// adds a second page after the first. A line that cannot be appended is lost and
// the writing goes on; the object only counts such lines so that a caller that
// wants to (the command-line tool) can say so. Standard library only.
#pragma once

#include <string>
#include <string_view>

namespace tw::reports {

class ReportFile {
public:
    ReportFile(std::string dir, std::string name);

    void appendLine(std::string_view utf8Line);

    const std::string& name() const { return m_name; }
    int linesLost() const { return m_linesLost; }

private:
    std::string m_dir;
    std::string m_name;
    int m_linesLost = 0;
};

} // namespace tw::reports
