#pragma once
// A field of the CSV files the program writes (curves, tables, sweeps):
// quoted, with its quotes doubled, where it holds a comma, a quote or a
// line break; as it is otherwise.

#include <string>
#include <string_view>

namespace corvane {

std::string CsvField(std::string_view text);

}  // namespace corvane
