// The station's transmit side; see StationKeying.h.
#include "station/StationKeying.h"

#include <cstdio>
#include <optional>
#include <span>

#include "transmit/WeightChoices.h"

namespace morvane::station {

namespace {

// The weight a combo item stands for, when the combo holds that item.
std::optional<double> WeightFromItem(char which, std::string_view item) {
    std::span<const double> choices;
    switch (which) {
        case 'D':
            choices = transmit::kDotWeightChoices;
            break;
        case 'A':
            choices = transmit::kDashWeightChoices;
            break;
        case 'C':
            choices = transmit::kCharSpaceWeightChoices;
            break;
        default:
            choices = transmit::kWordSpaceWeightChoices;
            break;
    }
    for (double choice : choices) {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", choice);
        if (item == text) {
            return choice;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string KeyingEvents::ClockText() {
    std::lock_guard lock(mutex_);
    return clockText_;
}

void KeyingEvents::SetClockText(std::string text) {
    std::lock_guard lock(mutex_);
    clockText_ = std::move(text);
}

StationKeying::StationKeying(transmit::KeyOutput* port, transmit::KeyOutput* monitor,
                             text::WindowCommandQueue& windows, StationReceiver& receive,
                             macros::MacroController& macros, common::SettingSink& settings)
    : receiver_(receive),
      echo_(windows),
      output_(port, monitor),
      autoCqCounter_(macros),
      engine_({.Text = text_,
               .Output = output_,
               .Echo = echo_,
               .Receive = receive,
               .Listener = controls_,
               .AutoCq = &autoCqCounter_}),
      controls_({.Engine = engine_,
                 .Text = text_,
                 .Windows = windows,
                 .Receive = receive,
                 .Output = output_,
                 .AutoCq = &autoCqCounter_,
                 .Settings = &settings,
                 .Forward = &events_}) {}

void StationKeying::SetTypingMode(common::KeyMode mode) {
    controls_.SelectKeyMode(mode, false);
    receiver_.SetKeyMode(mode);
}

void StationKeying::SelectRatio(settings::RatioCombo combo, std::string_view item) {
    static constexpr char kWhich[] = {'D', 'A', 'C', 'W'};
    const char which = kWhich[static_cast<int>(combo)];
    if (auto value = WeightFromItem(which, item)) {
        controls_.SelectWeight(which, *value, false);
    }
}

void StationKeying::SetSpeedStep(int sliderPosition) {
    controls_.UpdateSpeedLabel(sliderPosition);
    controls_.SetSpeedPreset(engine_.SpeedIndex());
}

}  // namespace morvane::station
