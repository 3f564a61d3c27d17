// The order in which file names are listed to the user: by name, letters
// without regard to case, and runs of digits by their value, so that
// "livro_2" comes before "livro_10".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

bool nameComesBefore(std::string_view a, std::string_view b);
void sortNames(std::vector<std::string>& names);

}  // namespace varlo
