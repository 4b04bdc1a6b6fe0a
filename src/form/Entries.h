// The settings entries as the form names them.
#pragma once

#include "common/SettingsEntries.h"

namespace morvane::form {
using common::EntryId;
using common::Index;
using common::MacroColourEntry;
using common::MacroLabelEntry;
using common::MacroTextEntry;
using common::WebLinkEntry;
}  // namespace morvane::form
