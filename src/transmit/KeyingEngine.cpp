#include "transmit/KeyingEngine.h"

#include <algorithm>
#include <span>

#include "common/Utf8.h"
#include "transmit/TransmitTags.h"

namespace morvane::transmit {

KeyingEngine::KeyingEngine(KeyingEngineParts parts) : parts_(parts) {}

void KeyingEngine::SetSpeedIndex(int step) {
    speedIndex_.store(std::clamp(step, 0, kSpeedStepCount - 1));
}

void KeyingEngine::SetWeights(const Weights& weights) {
    dotWeight_.store(weights.Dot);
    dashWeight_.store(weights.Dash);
    charSpaceWeight_.store(weights.CharSpace);
    wordSpaceWeight_.store(weights.WordSpace);
}

Weights KeyingEngine::CurrentWeights() const {
    return {dotWeight_.load(), dashWeight_.load(), charSpaceWeight_.load(),
            wordSpaceWeight_.load()};
}

void KeyingEngine::SetKeyMode(KeyMode mode) {
    keyMode_.store(mode);
    keyModeChanged_.store(true);
}

void KeyingEngine::ReadText() {
    TransmitSnapshot snapshot = parts_.Text.Snapshot();
    txText_ = std::move(snapshot.Text);
    chars_ = common::SplitUtf8(txText_);
    position_ = snapshot.Position;
    // A changed Key Mode or a cleared window drops a half-typed romaji group
    // (otherwise its lookahead would hold back the new text).
    if (keyModeChanged_.exchange(false) || snapshot.Generation != generation_)
        romaji_ = {};
    generation_ = snapshot.Generation;
    // The lookahead holds back the letters it examined; once the unsent text
    // is edited (a Backspace over the waiting consonant, a letter typed over
    // it) the group is examined again from its first letter.
    if (romaji_.RomajiLookahead > 0 && UnsentText() != waitingText_)
        romaji_.RomajiLookahead = 0;
}

std::string KeyingEngine::UnsentText() const {
    std::string unsent;
    for (std::size_t i = position_; i < chars_.size(); ++i)
        unsent += chars_[i];
    return unsent;
}

void KeyingEngine::CommitPosition() {
    parts_.Text.SetPosition(generation_, position_);
}

std::size_t KeyingEngine::SendableEnd() const {
    auto lookahead = static_cast<std::size_t>(romaji_.RomajiLookahead);
    return chars_.size() > lookahead ? chars_.size() - lookahead : 0;
}

void KeyingEngine::ReceiveAgain() {
    parts_.Receive.SetReceiveEnabled(true);
    parts_.Receive.ResetSpeedMeasurement();
}

void KeyingEngine::UpdateIdle() {
    romajiLookahead_.store(romaji_.RomajiLookahead);
    idle_.store(!patternActive_ && position_ >= chars_.size() && romaji_.RomajiLookahead == 0 &&
                !pttHeld_ && !pttTailPending_);
}

std::optional<int> KeyingEngine::KeyingStep() {
    if (!captureRunning_.load())
        return std::nullopt;
    std::optional<int> period;
    if (patternActive_) {
        if (currentPattern_.empty()) {
            patternActive_ = false;
            ReadText();
            if (position_ >= chars_.size())
                ReceiveAgain();
        } else if (!pttHeld_ && pttLeadMs_.load() >= 1) {
            period = pttLeadMs_.load();
            parts_.Output.PttOn();
            pttHeld_ = true;
        } else {
            if (echoPending_ && currentChar_ != "\r") {
                parts_.Echo.EchoSent(currentChar_);
                echoPending_ = false;
            }
            period = PlayElement();
        }
        UpdateIdle();
        return period;
    }
    ReadText();
    period = LoadNext();
    UpdateIdle();
    return period;
}

// Steps 3 to 9 of a tick without a pattern: PTT tail, holds, cuts, and loading.
std::optional<int> KeyingEngine::LoadNext() {
    std::optional<int> period;
    std::size_t length = chars_.size();
    if (pttTailPending_) {
        period = pttTailPeriodMs_;
        pttTailPending_ = false;
        pttHeld_ = false;
        restoreDotPeriod_ = true;
        parts_.Output.PttOff();
        if (position_ >= length)
            ReceiveAgain();
        return period;
    }
    if (txEditHold_.load()) {
        if (position_ >= length)
            parts_.Receive.SetReceiveEnabled(true);
        return period;
    }
    if (textCutMark_.exchange(false) && position_ >= length) {
        position_ = length;
        CommitPosition();
        if (pttHeld_) {
            parts_.Output.PttOff();
            pttHeld_ = false;
        }
        ReceiveAgain();
        return period;
    }
    if (restoreDotPeriod_) {
        period = RoundHalfUpMs(DotMs());
        restoreDotPeriod_ = false;
        if (position_ >= length)
            ReceiveAgain();
    }
    if (position_ >= SendableEnd()) {
        if (pttHeld_) {
            parts_.Output.PttOff();
            pttHeld_ = false;
        }
        parts_.Receive.SetReceiveEnabled(true);
        return period;
    }
    while (position_ < length) {
        ScanTags();
        if (position_ >= SendableEnd()) {
            if (position_ >= length)
                ReceiveAgain();
            break;
        }
        LookupResult found =
            LookupCharacter(chars_, position_, keyMode_.load(), katakana_.load(), romaji_);
        if (found.Result == LookupResult::Kind::Wait) {
            waitingText_ = UnsentText();
            break;
        }
        position_ += found.Consumed;
        // Auto CQ counts characters of its text, so a romaji group counts
        // every letter it took; a group still waiting has taken none.
        AutoCqCounter* autoCq = parts_.AutoCq;
        if (autoCq != nullptr && autoCq->Running() && !autoCq->Finished() &&
            autoCq->CountDown(static_cast<int>(found.Consumed)) < 1) {
            autoCq->MarkFinished();
        }
        if (found.Result == LookupResult::Kind::Hit) {
            currentChar_ = found.Echo;
            currentPattern_ = found.Pattern;
            elementIndex_ = 0;
            patternActive_ = true;
            echoPending_ = parts_.Echo.Mode() != EchoMode::None;
            sentCharacters_.fetch_add(1);
            break;
        }
        if (found.Result == LookupResult::Kind::Unsendable)
            parts_.Echo.EchoUnsendable(found.Echo);
    }
    CommitPosition();
    return period;
}

std::optional<int> KeyingEngine::PlayElement() {
    parts_.Receive.SetReceiveEnabled(false);
    // A pattern always closes with "2" or "6"; a malformed one closes here.
    char code = elementIndex_ < currentPattern_.size() ? currentPattern_[elementIndex_] : '2';
    ++elementIndex_;
    if (code != '2' && code != '6') {
        int ms = ElementDurationMs(code, DotMs(), CurrentWeights());
        if (ms < 0)
            return std::nullopt;
        if (code == '1' || code == '3') {
            parts_.Output.KeyDown();
        } else {
            parts_.Output.KeyUp();
        }
        return ms;
    }
    if (code == '2')
        parts_.Output.KeyUp();
    // A tag right after the character already applies to its gap.
    ReadText();
    ScanTags();
    CommitPosition();
    int gap = ElementDurationMs(code, DotMs(), CurrentWeights());
    if (position_ >= SendableEnd()) {
        if (pttLeadMs_.load() > 0) {
            pttTailPeriodMs_ = gap - kPttTailMs < 0 ? 10 : gap - kPttTailMs;
            gap = kPttTailMs;
            pttTailPending_ = true;
        }
        parts_.Receive.ResetSendMark();
    } else {
        restoreDotPeriod_ = true;
    }
    currentPattern_.clear();
    patternActive_ = false;
    parts_.Receive.ResetElementTiming();
    parts_.Listener.CharacterFinished();
    return gap;
}

void KeyingEngine::ScanTags() {
    while (position_ < chars_.size()) {
        std::span<const std::string_view> rest(chars_.data() + position_,
                                               chars_.size() - position_);
        std::optional<TransmitTag> tag = MatchTag(rest);
        if (!tag)
            break;
        position_ += static_cast<std::size_t>(tag->Length);
        AutoCqCounter* autoCq = parts_.AutoCq;
        if (autoCq != nullptr && autoCq->Running())
            autoCq->CountDown(tag->Length);
        ApplyTag(*tag);
    }
    AutoCqCounter* autoCq = parts_.AutoCq;
    if (autoCq != nullptr && autoCq->Running() && !autoCq->Finished() && autoCq->Remaining() <= 0) {
        if (pttLeadMs_.load() > 0) {
            int tail = static_cast<int>(DotMs()) - kPttTailMs;
            pttTailPeriodMs_ = tail < 0 ? 10 : tail;
            pttTailPending_ = true;
        }
        parts_.Receive.ResetSendMark();
        autoCq->MarkFinished();
    }
}

void KeyingEngine::ChangeSpeed(int step) {
    if (!speedSaved_.exchange(true))
        savedSpeedIndex_.store(speedIndex_.load());
    SetSpeedIndex(step);
    parts_.Listener.SpeedStepChanged(speedIndex_.load());
}

void KeyingEngine::ApplyTag(const TransmitTag& tag) {
    int steps = static_cast<int>(tag.Value);
    switch (tag.Kind) {
        case TagKind::SpeedUp:
            ChangeSpeed(std::min(speedIndex_.load() + steps, kSpeedStepCount - 1));
            break;
        case TagKind::SpeedDown:
            ChangeSpeed(std::max(speedIndex_.load() - steps, 0));
            break;
        case TagKind::Original:
            if (speedSaved_.exchange(false)) {
                SetSpeedIndex(savedSpeedIndex_.load());
                parts_.Listener.SpeedStepChanged(speedIndex_.load());
            }
            break;
        case TagKind::DotWeight:
            dotWeight_.store(tag.Value);
            parts_.Listener.WeightShown('D', tag.Value);
            break;
        case TagKind::DashWeight:
            dashWeight_.store(tag.Value);
            parts_.Listener.WeightShown('A', tag.Value);
            break;
        case TagKind::CharSpaceWeight:
            charSpaceWeight_.store(tag.Value);
            parts_.Listener.WeightShown('C', tag.Value);
            break;
        case TagKind::WordSpaceWeight:
            wordSpaceWeight_.store(tag.Value);
            parts_.Listener.WeightShown('W', tag.Value);
            break;
        case TagKind::TxTime:
            parts_.Echo.StampTime(parts_.Listener.ClockText());
            break;
        case TagKind::FunctionKey:
            parts_.Listener.FunctionKeyTag(steps);
            break;
    }
}

}  // namespace morvane::transmit
