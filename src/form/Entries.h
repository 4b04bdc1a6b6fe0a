// The settings entries as the form names them.
#pragma once

#include "settings/SettingsEntries.h"

namespace morvane::form {
using settings::EntryId;
using settings::Index;
using settings::MacroColourEntry;
using settings::MacroLabelEntry;
using settings::MacroTextEntry;
using settings::WebLinkEntry;
}  // namespace morvane::form
