#include "ListRow.h"

#include "catalogue/FirmwareList.h"

namespace road {

ListRow rowOf(std::string_view line) {
  const auto fields = catalogue::splitFields(line);
  return {catalogue::fieldOf(fields, catalogue::fTitle),
          catalogue::fieldOf(fields, catalogue::fDetail) + "  " + catalogue::fieldOf(fields, catalogue::fVersion)};
}

}  // namespace road
