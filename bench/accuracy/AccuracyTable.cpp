// The accuracy table: character error rate against SNR for both decoders on
// varied generated recordings (random texts, speeds, tones, keying edges;
// the "hard" rows add fading, hand-sent weights, more jitter and a weaker
// neighbour 100 Hz away). Every recording is decoded from a cold start.
// The last rows come from a second generator written apart from the
// program's synthesiser (IndependentCw), so that the figures do not only
// measure the decoders on the signal model they were tuned on.
// Prints a Markdown table; scripts/accuracy-table.sh puts it in the README.
// --text groups|calls sends random five-letter groups or random call signs
// instead (own generator's rows only), to see that the weak decoder's text
// prior does not cost copy of text it does not expect; --prior off reads
// without it.
//   bench_accuracy_table [--count N] [--seed S] [--snr LIST] [--rows 0,1,2,3,4]
//                        [--text contact|groups|calls] [--prior on|off]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "IndependentCw.h"
#include "common/Text.h"
#include "receive/ReceivePath.h"
#include "synth/BandRecording.h"

namespace {

using namespace morvane;

enum class Source { Own, SecondKeyer, SecondHandSent };

struct Row {
    const char* Name;
    synth::PlanRange Range;
    Source From = Source::Own;
};

// The standard decoder's tone range ends at 947 Hz, so rows it is compared
// on stay below.
const Row kRows[] = {
    {"18-28 wpm, 400-950 Hz", {.MinWpm = 18, .MaxWpm = 28, .MinToneHz = 400, .MaxToneHz = 950}},
    {"10-40 wpm, 300-1200 Hz", {.MinWpm = 10, .MaxWpm = 40, .MinToneHz = 300, .MaxToneHz = 1200}},
    {"18-28 wpm, QSB, hand-sent, neighbour",
     {.MinWpm = 18, .MaxWpm = 28, .MinToneHz = 400, .MaxToneHz = 950, .Hard = true}},
    {"second generator, keyer, 15/22/30 wpm, 500-950 Hz", {}, Source::SecondKeyer},
    {"second generator, hand-sent, 15/22/30 wpm, 500-950 Hz", {}, Source::SecondHandSent},
};

struct Sample {
    std::string Text;
    std::vector<std::int16_t> Frames;
    double Wpm, ToneHz;
};

enum class TextKind { Contact, Groups, Calls };
TextKind textKind = TextKind::Contact;
bool textPrior = true;

// The `n`th recording of `row` at `snrDb` (1000: no noise).
Sample Draw(const Row& row, std::mt19937_64& rng, int n, double snrDb) {
    if (row.From == Source::Own) {
        auto plan = synth::RandomPlan(rng, row.Range);
        if (textKind != TextKind::Contact)
            plan.Text = synth::RandomOddText(
                rng, textKind == TextKind::Groups ? synth::OddText::Groups : synth::OddText::Calls,
                plan.Words);
        plan.NoiseOn = snrDb < 999.0;
        plan.SnrDb = snrDb;
        auto recording = synth::MakeRecording(plan);
        return {std::move(recording.Text), std::move(recording.Frames), plan.Wpm, plan.ToneHz};
    }
    constexpr double kSpeeds[] = {15.0, 22.0, 30.0};
    auto plan = accuracy::DrawPlan(rng, kSpeeds[n % 3], row.From == Source::SecondHandSent);
    plan.Noise = snrDb < 999.0;
    plan.SnrDb = snrDb;
    auto recording = accuracy::Render(plan);
    return {std::move(recording.Text), std::move(recording.Stereo), plan.Style.Wpm, plan.ToneHz};
}

struct Score {
    std::size_t Errors = 0;
    std::size_t Sent = 0;
};

// Each character's confidence as a digit, for looking at failures.
std::string ConfidenceDigits(const receive::ReceivePath& path) {
    std::string digits;
    for (const auto& piece : path.ConfidenceLog())
        digits +=
            piece.Text == " "
                ? ' '
                : static_cast<char>('0' + std::min(9, static_cast<int>(piece.Confidence * 10)));
    return digits;
}

std::string lastDigits;
double squelch = receive::ReceivePathOptions{}.Squelch;

std::string Decode(const Sample& recording, receive::DecoderKind kind) {
    receive::ReceivePathOptions options;
    options.Decoder = kind;
    options.KeepConfidence = true;
    options.Squelch = squelch;
    options.TextPrior = textPrior;
    receive::ReceivePath path(options);
    path.OnRecording(recording.Frames, 0);
    path.Flush();
    lastDigits = ConfidenceDigits(path);
    return common::CollapseBlanks(path.ReceivedText());
}

std::string Cell(const Score& score) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%",
                  100.0 * score.Errors / std::max<std::size_t>(1, score.Sent));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 6;
    std::uint64_t seed = 12;
    std::vector<double> snrs{1000.0, 10.0, 6.0, 3.0, 0.0, -3.0, -6.0};
    bool verbose = false;
    std::vector<int> rows{0, 1, 2, 3, 4};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--count" && value) {
            count = std::atoi(value);
            ++i;
        } else if (arg == "--seed" && value) {
            seed = std::strtoull(value, nullptr, 10);
            ++i;
        } else if (arg == "--snr" && value) {
            snrs.clear();
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');)
                snrs.push_back(item == "clean" ? 1000.0 : std::atof(item.c_str()));
            ++i;
        } else if (arg == "--rows" && value) {
            rows.clear();
            std::stringstream list(value);
            for (std::string item; std::getline(list, item, ',');)
                rows.push_back(std::atoi(item.c_str()));
            ++i;
        } else if (arg == "--squelch" && value) {
            squelch = std::atof(value);
            ++i;
        } else if (arg == "--text" && value) {
            textKind = std::strcmp(value, "groups") == 0  ? TextKind::Groups
                       : std::strcmp(value, "calls") == 0 ? TextKind::Calls
                                                          : TextKind::Contact;
            ++i;
        } else if (arg == "--prior" && value) {
            textPrior = std::strcmp(value, "off") != 0;
            ++i;
        } else if (arg == "-v") {
            verbose = true;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--count N] [--seed S] [--snr clean,10,...] [--rows 0,1,2,3,4] "
                         "[--squelch L] [--text contact|groups|calls] [--prior on|off] [-v]\n",
                         argv[0]);
            return 2;
        }
    }
    std::printf("| Recordings | Decoder |");
    for (double snr : snrs) {
        if (snr >= 999.0)
            std::printf(" clean |");
        else
            std::printf(" %+.0f dB |", snr);
    }
    std::printf("\n|---|---|");
    for (std::size_t i = 0; i < snrs.size(); ++i)
        std::printf("---|");
    std::printf("\n");
    for (int r : rows) {
        const Row& row = kRows[r];
        std::vector<Score> standard(snrs.size()), weak(snrs.size());
        for (std::size_t s = 0; s < snrs.size(); ++s) {
            // The same recordings at every SNR, so the columns compare.
            std::mt19937_64 rng(seed + 1000 * static_cast<std::uint64_t>(r));
            for (int n = 0; n < count; ++n) {
                const Sample recording = Draw(row, rng, n, snrs[s]);
                for (auto kind : {receive::DecoderKind::Standard, receive::DecoderKind::Weak}) {
                    const std::string decoded = Decode(recording, kind);
                    Score& score = kind == receive::DecoderKind::Weak ? weak[s] : standard[s];
                    const std::size_t errors = common::EditDistance(decoded, recording.Text);
                    score.Errors += errors;
                    score.Sent += recording.Text.size();
                    if (verbose && kind == receive::DecoderKind::Weak)
                        std::fprintf(stderr,
                                     "%s snr %.0f wpm %.1f tone %.0f: %zu\n  sent %s\n  got  %s\n  "
                                     "conf %s\n",
                                     row.Name, snrs[s], recording.Wpm, recording.ToneHz, errors,
                                     recording.Text.c_str(), decoded.c_str(), lastDigits.c_str());
                }
            }
        }
        for (auto* scores : {&standard, &weak}) {
            std::printf("| %s | %s |", row.Name, scores == &weak ? "Weak signal" : "Standard");
            for (const auto& score : *scores)
                std::printf(" %s |", Cell(score).c_str());
            std::printf("\n");
        }
        std::fflush(stdout);
    }
    return 0;
}
