#include "form/CURL.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace morvane::form {

CURL::CURL(const WebLinks& links, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("URL登録"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("ＵＲＬ名"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("アドレス"), this), 0, 1);
    for (std::size_t k = 0; k < links.size(); ++k) {
        captions_[k] = new QLineEdit(links[k].Caption, this);
        addresses_[k] = new QLineEdit(links[k].Address, this);
        grid->addWidget(captions_[k], static_cast<int>(k) + 1, 0);
        grid->addWidget(addresses_[k], static_cast<int>(k) + 1, 1);
        grid->setColumnStretch(1, 1);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 9, 0, 1, 2);
    resize(640, height());
}

WebLinks CURL::Links() const {
    WebLinks links;
    for (std::size_t k = 0; k < links.size(); ++k)
        links[k] = {captions_[k]->text(), addresses_[k]->text()};
    return links;
}

}  // namespace morvane::form
