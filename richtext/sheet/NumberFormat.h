#pragma once
// A number as a cell shows it under its number format code (the codes of
// spreadsheet files: sections for positive, negative and zero values,
// digit placeholders, thousands, percent, scientific, currency symbols,
// dates and times, quoted and escaped literals).
#include <string>
#include <string_view>

namespace varnolt {

// The code of a built-in format number (0 General, 14 a date, ...); empty
// for a number without one.
std::string_view BuiltInNumberFormat(int id);

// Whether the code shows dates or times.
bool IsDateFormat(std::string_view code);

// value shown under code; date1904 picks the workbook's other day zero.
// Never fails: a code it cannot follow shows the value as General does.
std::string FormatCellNumber(double value, std::string_view code, bool date1904 = false);

// The General format: integers as they are, others to 15 significant
// digits, very large and very small ones in scientific notation.
std::string GeneralNumber(double value);

}  // namespace varnolt
