// One page of a report file: each line is converted to code page 932 and kept,
// with its CR LF, until the page is complete; then the whole page is appended to
// the file in one write through the common appender. A report that stops part
// way (a round that cannot be predicted, a total that overflows) thus leaves no
// half page behind for the next run to append after.
//
// The file is appended to, never emptied: a second report into the same folder
// adds a second page after the first. A line that cannot be converted, or a page
// that cannot be appended, is lost and the writing goes on; the object only
// counts such lines so that a caller that wants to (the command-line tool) can
// say so. Standard library only.
#pragma once

#include <string>
#include <string_view>

namespace tw::reports {

class ReportFile {
public:
    ReportFile(std::string dir, std::string name);

    // Adds a line to the page in hand.
    void appendLine(std::string_view utf8Line);
    // Appends the page to the file in one write; its lines count as lost when
    // that fails. The page in hand is empty afterwards.
    bool commit();

    const std::string& name() const { return m_name; }
    int linesLost() const { return m_linesLost; }

private:
    std::string m_dir;
    std::string m_name;
    std::string m_page;
    int m_pageLines = 0;
    int m_linesLost = 0;
};

} // namespace tw::reports
