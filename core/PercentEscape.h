// Percent escapes: a byte written as "%" and two upper-case hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace fotoloom {

// text with every byte for which mustEscape answers true written "%XX"
// ("%20" for a blank); all other bytes as they are.
std::string PercentEscaped(std::string_view text, bool (*mustEscape)(unsigned char byte));

}  // namespace fotoloom
