// Resolution of symbolic system colours to RGB, through a replaceable resolver.
#pragma once

#include <functional>

#include "core/Color.h"

namespace fotoloom {

// Maps a system colour index (0..30) to a plain 0x00BBGGRR colour.
using SystemColorResolver = std::function<Color(int index)>;

// The classic desktop defaults (window FFFFFF, window text 000000, button face
// F0F0F0, ...). Unknown indexes give black.
Color DefaultSystemColor(int index);

// Installs the resolver used by ResolveColor from now on; an empty function
// restores the default table. The wizard and the command-line runner both keep
// the default table, so the same settings give the same bytes on every desktop
// theme; tests install their own.
void InstallSystemColorResolver(SystemColorResolver resolver);

// A plain colour unchanged; a system colour through the installed resolver.
Color ResolveColor(Color c);

}  // namespace fotoloom
