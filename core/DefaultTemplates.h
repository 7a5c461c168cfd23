// The two page templates a new options record starts with.
#pragma once

#include <string>
#include <vector>

namespace fotoloom {

// The default thumbnail page template: 85 lines.
const std::vector<std::string>& DefaultThumbnailTemplate();

// The default image page template: 62 lines, the last one empty.
const std::vector<std::string>& DefaultImageTemplate();

}  // namespace fotoloom
