#pragma once

// Reads the shared CSV reference files: a header line, then comma-separated
// fields. Text fields stay text; numbers are parsed with strtod (exact for the
// 17-digit values the files hold).

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace testdata
{

struct CsvTable
{
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;

  int Column(const std::string& name) const
  {
    for (size_t i = 0; i < columns.size(); ++i)
      if (columns[i] == name)
        return static_cast<int>(i);
    return -1;
  }
  double Number(size_t row, const std::string& column) const
  {
    return std::strtod(rows[row][static_cast<size_t>(Column(column))].c_str(), nullptr);
  }
  const std::string& Text(size_t row, const std::string& column) const
  {
    return rows[row][static_cast<size_t>(Column(column))];
  }
};

inline std::vector<std::string> SplitCsvLine(const std::string& line)
{
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, ','))
    fields.push_back(field);
  return fields;
}

inline CsvTable ReadCsv(const std::string& relativePath)
{
  CsvTable table;
  std::ifstream file(std::string(CALVORIN_TESTDATA_DIR) + "/" + relativePath);
  std::string line;
  if (!std::getline(file, line))
    return table;
  table.columns = SplitCsvLine(line);
  while (std::getline(file, line))
  {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (!line.empty())
      table.rows.push_back(SplitCsvLine(line));
  }
  return table;
}

} // namespace testdata
