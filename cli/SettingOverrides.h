// --set KEY=VALUE: one settings file key given on the command line.
#pragma once

#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "core/GallerySettings.h"

namespace fotoloom::cli {

// Reads the word after --set. KEY is a key of the settings file in any
// letter case, the template lines aside; VALUE is read as the settings file
// reader reads the text after "=" (blanks and tabs at its ends and one pair
// of enclosing quotes dropped, then by the key's kind). A yes/no key also
// takes the words yes and no. Raises UsageError, naming key and value, for a
// word without "=", an unknown key, a template line, a value holding a line
// break, and a value the reader does not take: one that is not a whole
// number for a number or yes/no key (the reader would silently use the
// key's fallback), and one that is neither a colour name nor a number for a
// colour (the reader would stop loading). The numbers a run converts must
// also lie in their range (RunNumbers: the image sizes 1 to 65500, rows and
// columns 1 to 1000, the qualities 0 to 100), and a page name or the
// extension must not hold "/", ".." or NUL; other text values are always taken.
SettingOverride ParseSettingOverride(const std::string& word);

// Stores the values into settings in the order given.
void ApplySettingOverrides(const std::vector<SettingOverride>& overrides, GallerySettings& settings);

// The keys --set takes, grouped by what their values are, for --help.
std::string SettingsKeysHelp();

}  // namespace fotoloom::cli
