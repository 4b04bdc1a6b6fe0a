#include "form/TagPicker.h"

#include <QTextCursor>

#include "macros/MacroDialogs.h"

namespace morvane::form {

namespace {

// The model counts UTF-8 bytes, the editor UTF-16 units.
std::size_t BytesBefore(const QString& text, int position) {
    return static_cast<std::size_t>(text.left(position).toUtf8().size());
}

}  // namespace

QComboBox* MakeTagList(QWidget* parent, std::span<const std::string_view> items, int shown) {
    auto* list = new QComboBox(parent);
    for (const auto item : items)
        list->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    list->setCurrentIndex(shown);
    return list;
}

void InsertTag(QPlainTextEdit* edit, std::string_view item) {
    const QString before = edit->toPlainText();
    QTextCursor cursor = edit->textCursor();
    std::string text = before.toStdString();
    const std::size_t caret =
        macros::InsertTagAtCaret(text, BytesBefore(before, cursor.selectionStart()),
                                 BytesBefore(before, cursor.selectionEnd()), item);
    edit->setPlainText(QString::fromStdString(text));
    cursor = edit->textCursor();
    cursor.setPosition(
        static_cast<int>(QString::fromUtf8(text.data(), static_cast<qsizetype>(caret)).size()));
    edit->setTextCursor(cursor);
    edit->setFocus();
}

void ConnectTagList(QComboBox* list, QPlainTextEdit* edit) {
    QObject::connect(list, &QComboBox::activated, edit, [list, edit](int index) {
        InsertTag(edit, list->itemText(index).toStdString());
    });
}

}  // namespace morvane::form
