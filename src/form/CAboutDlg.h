// The version box.
#pragma once

#include <QDialog>

namespace morvane::form {

inline constexpr const char* kVersionLine = "Morvane Version 30.3.4";

class CAboutDlg final : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace morvane::form
