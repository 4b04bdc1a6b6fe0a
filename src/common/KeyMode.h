// The Key Mode: how typed and received text maps onto Morse, shared by the
// transmit tables, the receive tables and the settings entry that stores it.
#pragma once

namespace morvane::common {

// Combo order: "English", "E/J Direct", "E/J IME", "E/J KANA".
enum class KeyMode { English = 0, Direct = 1, Ime = 2, Kana = 3 };

}  // namespace morvane::common
