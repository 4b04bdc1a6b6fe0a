#include "qso/HamlogLink.h"

#include <algorithm>
#include <vector>

#include "common/Utf8.h"
#include "qso/LogFormats.h"

namespace morvane::qso {
namespace {

constexpr std::uint32_t kCallField = 1;
constexpr std::uint32_t kCallFieldRequest = 101;
constexpr std::size_t kMaxTextCharacters = 120;
constexpr std::size_t kMaxReplyBytes = 128;
constexpr std::string_view kProbeText = "****";

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

HamlogLink::HamlogLink(platform::LoggerWindows& windows, const platform::SystemCodePage& codePage,
                       QsoFields& fields)
    : windows_(windows), codePage_(codePage), fields_(fields) {}

bool& HamlogLink::Flag(HamlogAwait await) {
    switch (await) {
        case HamlogAwait::Call:
            return AwaitCall;
        case HamlogAwait::Name:
            return AwaitName;
        case HamlogAwait::Qth:
            return AwaitQth;
        case HamlogAwait::Settings:
            return AwaitSettings;
        case HamlogAwait::Probe:
            break;
    }
    return AwaitProbe;
}

bool HamlogLink::SendText(platform::WindowHandle hamlog, std::uint32_t command,
                          std::string_view text, Deadline deadline) {
    const std::vector<std::uint8_t> bytes = codePage_.Encode(text, kMaxTextCharacters);
    return windows_.SendCopyData(hamlog, command, bytes, deadline);
}

bool HamlogLink::SendAscii(platform::WindowHandle hamlog, std::uint32_t command,
                           std::string_view text, Deadline deadline) {
    const auto ascii = PrintableAscii(text);
    return !ascii || windows_.SendCopyData(hamlog, command, Bytes(*ascii), deadline);
}

bool HamlogLink::SendCommand(platform::WindowHandle hamlog, std::uint32_t command,
                             Deadline deadline) {
    return windows_.SendCopyData(hamlog, command, {}, deadline);
}

bool HamlogLink::Request(platform::WindowHandle hamlog, std::uint32_t command, HamlogAwait await,
                         Deadline deadline) {
    Flag(await) = true;
    const bool sent = SendCommand(hamlog, command, deadline);
    // An unanswered request must not take a later, unrelated message.
    Flag(await) = false;
    return sent;
}

HamlogProbe HamlogLink::ProbeHamlog(Deadline deadline) {
    const HamlogProbe result = [&] {
        const platform::WindowHandle hamlog = FindHamlog(deadline);
        if (hamlog == 0)
            return HamlogProbe::NoAnswer;
        // A stale reply from an earlier probe must not pass for an answer.
        ProbeReply.clear();
        if (!Request(hamlog, kCallFieldRequest, HamlogAwait::Probe, deadline))
            return HamlogProbe::NoAnswer;
        const std::string kept = ProbeReply;
        ProbeReply.clear();
        if (!SendAscii(hamlog, kCallField, kProbeText, deadline) ||
            !Request(hamlog, kCallFieldRequest, HamlogAwait::Probe, deadline)) {
            return HamlogProbe::NoAnswer;
        }
        if (ProbeReply != kProbeText)
            return HamlogProbe::SelectionScreen;
        // Give HamLog its call field back.
        return SendAscii(hamlog, kCallField, kept, deadline) ? HamlogProbe::Answering
                                                             : HamlogProbe::NoAnswer;
    }();
    HamlogLinked = result == HamlogProbe::Answering;
    return result;
}

bool HamlogLink::OnCopyData(const platform::CopyDataMessage& message) {
    if (!AwaitCall && !AwaitName && !AwaitQth && !AwaitSettings && !AwaitProbe)
        return false;
    const std::size_t size = std::min(message.Bytes.size(), kMaxReplyBytes);
    const std::string text =
        codePage_.Decode(std::span<const std::uint8_t>(message.Bytes.data(), size));
    if (AwaitCall) {
        fields_.SetText(QsoField::HisCall, text);
        AwaitCall = false;
    } else if (AwaitName) {
        if (!text.empty())
            fields_.SetText(QsoField::HisName, text);
        AwaitName = false;
    } else if (AwaitQth) {
        fields_.SetText(QsoField::HisQth, text);
        AwaitQth = false;
    } else if (AwaitSettings) {
        const auto characters = common::SplitUtf8(text);
        HamlogUtc = characters.size() > 5 && characters[5] == "U";
        AwaitSettings = false;
    } else {
        ProbeReply = text;
        AwaitProbe = false;
    }
    return true;
}

}  // namespace morvane::qso
