// The tag lists of the macro dialogs: a combo whose chosen item is inserted
// at the caret of the text edit (MacroDialogs decides how), which then gets
// the focus back.
#pragma once

#include <QComboBox>
#include <QPlainTextEdit>
#include <span>
#include <string_view>

namespace morvane::form {

// A combo filled with `items`, showing item `shown`.
QComboBox* MakeTagList(QWidget* parent, std::span<const std::string_view> items, int shown = 0);

// Inserts `item` at the caret of `edit` (replacing its selection).
void InsertTag(QPlainTextEdit* edit, std::string_view item);

// Chosen items go into `edit`.
void ConnectTagList(QComboBox* list, QPlainTextEdit* edit);

}  // namespace morvane::form
