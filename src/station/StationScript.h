// The headless station's command language: one command per line, as the
// headless program reads them from its standard input. Events come back
// through the station's view. How time passes ("wait", "sleep") is left to
// a pacer, so the same commands run on virtual time in tests and on the
// wall clock in the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "station/Station.h"

namespace morvane::station {

class ScriptPacer {
  public:
    virtual ~ScriptPacer() = default;
    // Lets `ms` pass while the station runs.
    virtual void SleepMs(std::int64_t ms) = 0;
    // Until the transmit text has been keyed; false when it did not end in time.
    virtual bool WaitUntilSent() = 0;
};

class StationScript {
  public:
    // `error` receives the reason of a refused command.
    StationScript(Station& station, ScriptPacer& pacer,
                  std::function<void(const std::string&)> error)
        : station_(station), pacer_(pacer), error_(std::move(error)) {}

    // Runs one line. Returns false for "quit" (the caller stops).
    bool Run(std::string_view line);

  private:
    void Error(std::string_view reason) { error_(std::string(reason)); }

    Station& station_;
    ScriptPacer& pacer_;
    std::function<void(const std::string&)> error_;
};

}  // namespace morvane::station
