// The hexadecimal text of a colour as the pages show it after "#".
#pragma once

#include <string>

#include "core/Color.h"

namespace fotoloom {

// Six uppercase hex digits, red, green, blue ("1A66C5" for 0x00C5661A).
// A value that is negative as a signed 32-bit number names a system colour by
// its low byte and is resolved through ResolveColor first. Any other value
// above 0x00FFFFFF has its high byte ignored, so the text always names the
// colour of the low three bytes. No "#" is put in front.
std::string Color_to_hex(Color color);

}  // namespace fotoloom
