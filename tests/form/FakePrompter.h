// A Prompter that answers instead of a person: it records every message,
// gives queued answers, and lets the test work a dialog before it "closes".
#pragma once

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

#include "form/Prompter.h"

namespace morvane::form::test {

class FakePrompter final : public Prompter {
  public:
    void Inform(QWidget*, const QString& text) override { Messages << text; }
    Answer AskYesNoCancel(QWidget*, const QString& text) override {
        Questions << text;
        if (Answers.empty())
            return Answer::Cancel;
        const Answer a = Answers.front();
        Answers.pop_front();
        return a;
    }
    int Run(QDialog& dialog) override {
        ++DialogsRun;
        return OnDialog ? OnDialog(dialog) : QDialog::Rejected;
    }
    QString OpenFileName(QWidget*) override { return FileToOpen; }
    QString SaveFileName(QWidget*, const QString&) override { return FileToSave; }

    QStringList Messages;
    QStringList Questions;
    std::deque<Answer> Answers;
    std::function<int(QDialog&)> OnDialog;
    int DialogsRun = 0;
    QString FileToOpen;
    QString FileToSave;
};

}  // namespace morvane::form::test
