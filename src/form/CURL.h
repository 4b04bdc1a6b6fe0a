// The URL registration dialog: eight captions and addresses of the web links.
#pragma once

#include <QDialog>
#include <array>

class QLineEdit;

namespace morvane::form {

struct WebLink {
    QString Caption;
    QString Address;
    bool operator==(const WebLink&) const = default;
};
using WebLinks = std::array<WebLink, 8>;

class CURL final : public QDialog {
    Q_OBJECT
  public:
    explicit CURL(const WebLinks& links, QWidget* parent = nullptr);
    WebLinks Links() const;
    QLineEdit* CaptionEdit(int link) const { return captions_[static_cast<std::size_t>(link)]; }
    QLineEdit* AddressEdit(int link) const { return addresses_[static_cast<std::size_t>(link)]; }

  private:
    std::array<QLineEdit*, 8> captions_{};
    std::array<QLineEdit*, 8> addresses_{};
};

}  // namespace morvane::form
