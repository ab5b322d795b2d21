#pragma once
// The text report of a panel for the clipboard: label and value columns
// separated by TAB, rows separated by a single CR (no CR after the last
// row), taken from what the panel shows at the moment.  Nothing is
// recalculated but the entry flow of a gas.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "logic/model/panels/PanelModel.h"

namespace corvane {

// Hands each row of the report to `row`: its fields, as views that hold
// only during the call.
using ReportRowVisitor = std::function<void(std::initializer_list<std::string_view>)>;
void ForEachReportRow(const PanelModel& panel, const ReportRowVisitor& row);

// The rows of the report, each a list of fields.
std::vector<std::vector<std::string>> PanelReportRows(const PanelModel& panel);

// The rows joined: TAB between fields, CR between rows.
std::string PanelReport(const PanelModel& panel);

// The same rows as an HTML table, one cell per field (UTF-8), for
// programs that paste a table.
std::string PanelReportHtml(const PanelModel& panel);

// Name of fitting kind 1..23 in the report, with the valve openings of the
// selection string ("Gate valve (75%)").
std::string FittingReportName(int kind, const std::string& fittings);

}  // namespace corvane
