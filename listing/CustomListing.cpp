#include "listing/ListingFormats.h"
#include "listing/SplitFields.h"

#include <vector>

namespace listing {

namespace {

// Column numbers are single digits, so nine columns are all a Custom line can use.
constexpr std::size_t kMaxColumn = 9;

class Columns {
 public:
  explicit Columns(std::string_view line) : fields_(LeadingFields(line, " ", kMaxColumn)) {}

  bool Has(int column) const {
    return column >= 1 && static_cast<std::size_t>(column) <= fields_.size();
  }
  std::string_view At(int column) const {
    return Has(column) ? fields_[static_cast<std::size_t>(column) - 1] : std::string_view{};
  }

 private:
  std::vector<std::string_view> fields_;
};

}  // namespace

// Whitespace-separated columns at the positions the Answer code gives; with "2957681" a
// Unix line "-rw-r--r-- 1 ftp ftp 1234 Mar 5 12:00 a.txt" gives the date "5 Mar".
// Each field is one blank-free column, so a name never contains a space.
RemoteEntry ParseCustomLine(std::string_view line, const CustomColumns& columns) {
  const Columns cut(line);
  RemoteEntry entry;
  entry.attributes = cut.At(columns.attributes);
  entry.isDirectory = entry.attributes.starts_with('d');
  entry.size = cut.At(columns.size);
  entry.name = cut.At(columns.name);
  entry.time = cut.At(columns.time);
  entry.date = cut.At(columns.date);
  if (cut.Has(columns.secondDate)) {
    entry.date += ' ';
    entry.date += cut.At(columns.secondDate);
  }
  return entry;
}

}  // namespace listing
