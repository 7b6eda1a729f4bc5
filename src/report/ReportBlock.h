#pragma once

#include <string>
#include <vector>

// One piece of the report's HTML that a page never splits: a heading with what follows it, a
// table, a figure with its caption, or one row of a table that may run over several pages.
struct ReportBlock {
    std::string html;
    // The block begins a new page (a trajectory's section, the views).
    bool newPage = false;
    // For a row ("<tr>...</tr>") of a table that may run over pages: the table's opening tag
    // and heading row, which open the table again at the top of each page. Consecutive rows with
    // the same `table` are one table. Empty for any other block.
    std::string table;
};

// The blocks as one HTML fragment, the rows of each table inside one table, a new page asked of a
// printing browser where a block begins one.
std::string JoinReportBlocks(const std::vector<ReportBlock>& blocks);
