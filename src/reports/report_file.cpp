#include "reports/report_file.h"

#include "common/append_line.h"
#include "common/cp932.h"

#include <utility>

namespace tw::reports {

ReportFile::ReportFile(std::string dir, std::string name) : m_dir(std::move(dir)), m_name(std::move(name)) {}

void ReportFile::appendLine(std::string_view utf8Line) {
    // The report's own text is all code page 932; a conversion fault would be a
    // defect in a template, and such a line is better lost than written half '?'.
    const common::Cp932Result encoded = common::toCp932(utf8Line);
    if (!encoded.ok()) {
        ++m_linesLost;
        return;
    }
    m_page += encoded.bytes;
    m_page += "\r\n";
    ++m_pageLines;
}

bool ReportFile::commit() {
    const bool ok = common::AppendToFile(m_dir, m_name, m_page);
    if (!ok)
        m_linesLost += m_pageLines;
    m_page.clear();
    m_pageLines = 0;
    return ok;
}

} // namespace tw::reports
