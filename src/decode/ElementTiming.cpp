#include "decode/ElementTiming.h"

#include <algorithm>

namespace morvane::decode {

namespace {
// A very long mark or silence stays "long" without overflowing.
void CountTick(int& counter) {
    ++counter;
    if (counter > 5000)
        counter = 1000;
}
}  // namespace

ElementTiming::ElementTiming(CharacterSink& sink, SpeedDisplay* display)
    : sink_(sink), display_(display) {}

void ElementTiming::TimingStep(int SignalLevel, int Threshold) {
    // Decoding calls a level equal to the threshold low, while the speed
    // measurement already starts a mark there.
    const bool high = SignalLevel > Threshold;
    if (counterResetPending_.exchange(false)) {
        markRun_ = 0;
        spaceRun_ = 0;
    }
    if (keyDown_) {
        if (!high) {
            spaceRun_ = 1;
            ElementStep(high);
            keyDown_ = false;
            int ring = std::clamp(ringIndex_.load(), 0, kRingSize - 1);
            markRing_[ring] = markRun_;
            if (++ring == kRingSize) {
                ring = 0;
                ringIndex_ = 0;
                if (rxSpeedAuto_)
                    RunEstimate();
            } else {
                ringIndex_ = ring;
            }
            return;
        }
        CountTick(markRun_);
    } else {
        if (SignalLevel >= Threshold) {
            markRun_ = 1;
            ElementStep(high);
            keyDown_ = true;
            spaceRing_[std::clamp(ringIndex_.load(), 0, kRingSize - 1)] = spaceRun_;
            return;
        }
        CountTick(spaceRun_);
    }
    ElementStep(high);
}

void ElementTiming::RunEstimate() {
    std::optional<SpeedEstimate> estimate = EstimateSpeed(markRing_, spaceRing_);
    if (!estimate)
        return;
    dashThreshold_ = estimate->DashThreshold;
    charGapThreshold_ = estimate->CharGapThreshold;
    rxSpeedIndex_ = estimate->RxSpeedIndex;
    speedValid_ = true;
    if (display_ != nullptr)
        display_->ShowReceiveSpeed(estimate->CharsPerMinute, estimate->RxSpeedIndex);
}

void ElementTiming::ElementStep(bool high) {
    switch (elementState_) {
        case kIdle:
            if (high) {
                elementState_ = kFirstMark;
                markCount_ = 1;
                return;
            }
            CountTick(gapCount_);
            if (gapCount_ > static_cast<int>(2.5 * charGapThreshold_) && spacesPrinted_ < 3) {
                sink_.EmitWordSpace();
                ++spacesPrinted_;
                gapCount_ = 0;
            }
            return;
        case kFirstMark:
            if (high) {
                CountTick(markCount_);
                return;
            }
            codeNumber_ = 2;
            carried_ = 0;
            markLengths_[0] = markCount_;
            elementCount_ = 1;
            AddElement();
            gapCount_ = 1;
            return;
        case kInnerGap:
            if (high) {
                markCount_ = 1;
                elementState_ = kFurtherMark;
                return;
            }
            CountTick(gapCount_);
            if (gapCount_ > charGapThreshold_ && speedValid_) {
                if (sink_.ExtendOn()) {
                    if (sink_.EmitExtended(Current(false)).Printed)
                        spacesPrinted_ = 0;
                } else {
                    sink_.EmitCharacter(codeNumber_);
                    spacesPrinted_ = 0;
                }
                elementState_ = kIdle;
            }
            return;
        case kFurtherMark:
            if (high) {
                CountTick(markCount_);
                return;
            }
            codeNumber_ *= 2;
            gapLengths_[carried_ + elementCount_] = gapCount_;
            markLengths_[carried_ + elementCount_] = markCount_;
            ++elementCount_;
            AddElement();
            gapCount_ = 1;
            return;
        default:
            elementState_ = kIdle;
    }
}

void ElementTiming::AddElement() {
    if (markCount_ > dashThreshold_)
        ++codeNumber_;
    markCount_ = 0;
    if (elementCount_ >= kMaxCharacterElements) {
        CompleteAtElementLimit();
        return;
    }
    elementState_ = kInnerGap;
}

void ElementTiming::CompleteAtElementLimit() {
    if (!sink_.ExtendOn()) {
        sink_.EmitCharacter(codeNumber_);
        spacesPrinted_ = 0;
        elementState_ = kIdle;
        elementCount_ = 1;
        return;
    }
    // Only what splits off at character gaps is printed; the rest goes on
    // as one character, however long, until a character gap ends it.
    const ExtendedResult result = sink_.EmitExtended(Current(true));
    if (result.Printed)
        spacesPrinted_ = 0;
    const int total = carried_ + elementCount_;
    int start = std::clamp(result.RemainderStart, 0, total - 1);
    codeNumber_ = result.RemainderCode;
    // A run that never reaches a character gap keeps only its last 30
    // elements, so the code cannot overflow; no table entry is that long.
    if (total - start > kMaxCharacterElements) {
        start = total - kMaxCharacterElements;
        constexpr long long kTop = 1LL << kMaxCharacterElements;
        codeNumber_ = kTop | (codeNumber_ & (kTop - 1));
    }
    std::copy(markLengths_.begin() + start, markLengths_.begin() + total, markLengths_.begin());
    std::copy(gapLengths_.begin() + start, gapLengths_.begin() + total, gapLengths_.begin());
    gapLengths_[0] = 0;
    carried_ = total - start - 1;
    elementCount_ = 1;
    elementState_ = kInnerGap;
}

ExtendedCharacter ElementTiming::Current(bool partialFlush) const {
    const auto total = static_cast<std::size_t>(carried_ + elementCount_);
    return {.CodeNumber = codeNumber_,
            .ElementCount = static_cast<int>(total),
            .MarkLengths = std::span<const int>(markLengths_.data(), total),
            .GapLengths = std::span<const int>(gapLengths_.data(), total),
            .DashThreshold = dashThreshold_,
            .CharGapThreshold = charGapThreshold_,
            .PartialFlush = partialFlush};
}

RxSpeedControlResult ElementTiming::SetRxSpeedAuto(bool checked, int sliderPosition) {
    RxSpeedControlResult result;
    rxSpeedAuto_ = checked;
    if (checked) {
        result.SettingWord = "rxautoON";
    } else {
        result.LabelText = SetRxSpeedIndex(sliderPosition).LabelText;
        result.SettingWord = "rxautoOFF";
    }
    ringIndex_ = 0;
    return result;
}

RxSpeedControlResult ElementTiming::SetRxSpeedIndex(int sliderPosition) {
    int index = std::clamp(sliderPosition, 0, kSpeedSteps - 1);
    rxSpeedIndex_ = index;
    dashThreshold_ = ThresholdForSpeedIndex(index);
    charGapThreshold_ = ThresholdForSpeedIndex(index);
    return {.SettingWord = {}, .LabelText = SpeedLabelText(RxSpeedTable[index])};
}

void ElementTiming::ResetSpeedMeasurement(bool clearSpeedValid) {
    ringIndex_ = 0;
    if (clearSpeedValid)
        speedValid_ = false;
}

}  // namespace morvane::decode
