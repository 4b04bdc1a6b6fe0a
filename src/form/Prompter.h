// Every message box of the window goes through a Prompter, so tests answer
// them instead of a person and no modal loop blocks a headless run.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace morvane::form {

class Prompter {
  public:
    enum class Answer { Yes, No, Cancel };
    virtual ~Prompter() = default;
    // A plain OK box.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // Yes / No / Cancel, the save prompt on close and on open.
    virtual Answer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
    // Runs a modal dialog; QDialog::Accepted or Rejected.
    virtual int Run(QDialog& dialog) = 0;
    // A file to open or to save as; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& suggested) = 0;
};

// The real boxes.
class MessageBoxPrompter final : public Prompter {
  public:
    void Inform(QWidget* parent, const QString& text) override;
    Answer AskYesNoCancel(QWidget* parent, const QString& text) override;
    int Run(QDialog& dialog) override;
    QString OpenFileName(QWidget* parent) override;
    QString SaveFileName(QWidget* parent, const QString& suggested) override;
};

}  // namespace morvane::form
