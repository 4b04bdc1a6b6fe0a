// The application: Qt set up, the profile opened, the frame built on the
// machine's devices and shown, a data file from the command line opened.
#pragma once

#include <QApplication>
#include <QSettings>
#include <memory>

#include "app/CMainFrame.h"
#include "app/SystemDevices.h"
#include "form/Prompter.h"

namespace morvane::app {

class CMorvaneApp {
  public:
    CMorvaneApp(int& argc, char** argv);
    ~CMorvaneApp();
    int Run();

  private:
    QApplication qt_;
    std::unique_ptr<QSettings> profile_;
    form::MessageBoxPrompter prompter_;
    std::unique_ptr<SystemDevices> devices_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace morvane::app
