// Nanoseconds per code on the full path Base32 text -> TOTP code, ours against liboath, for
// SHA-1, SHA-256 and SHA-512 (the RFC 6238 seeds), followed by the ratio ours/liboath of the
// median CPU times.
#include "otp/otpgenerator.h"

#include <benchmark/benchmark.h>
#include <liboath/oath.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

struct Seed
{
    const char *name;
    const char *base32;
    unsigned char algorithm;
    int oathFlags;
};

// "1234567890" repeated to 20, 32 and 64 bytes, in Base32.
const Seed SEEDS[] = {
    {"SHA1", "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ", 1, 0},
    {"SHA256", "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZA", 2, OATH_TOTP_HMAC_SHA256},
    {"SHA512",
     "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGN"
     "A",
     3, OATH_TOTP_HMAC_SHA512},
};

constexpr unsigned PERIOD = 30;
constexpr long START_TIME = 1111111109;
// The machine is usually busy with other work: the median of several runs is what is compared.
constexpr int REPETITIONS = 5;

void ours(benchmark::State &state, const Seed &seed)
{
    const std::string secret = seed.base32;
    long now = START_TIME;
    for (auto _ : state) {
        OTPGenErrorCode error = OTPGenErrorCode::NoError;
        std::string code = OTPGenerator::computeTOTP(now, secret, 8, PERIOD, seed.algorithm, &error);
        benchmark::DoNotOptimize(code);
        now += PERIOD;
    }
}

void oath(benchmark::State &state, const Seed &seed)
{
    const std::string secret = seed.base32;
    long now = START_TIME;
    for (auto _ : state) {
        char *key = nullptr;
        size_t keyLength = 0;
        char code[11];
        if (oath_base32_decode(secret.data(), secret.size(), &key, &keyLength) != OATH_OK ||
            oath_totp_generate2(key, keyLength, now, PERIOD, 0, 8, seed.oathFlags, code) != OATH_OK) {
            state.SkipWithError("liboath failed");
            std::free(key);
            break;
        }
        benchmark::DoNotOptimize(code);
        std::free(key);
        now += PERIOD;
    }
}

// Console output as usual, plus the figures kept by name for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

} // namespace

int main(int argc, char **argv)
{
    if (oath_init() != OATH_OK) {
        std::fprintf(stderr, "oath_init failed\n");
        return 1;
    }
    for (const Seed &seed : SEEDS) {
        benchmark::RegisterBenchmark((std::string("ours/") + seed.name).c_str(), ours, seed)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(REPETITIONS)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark((std::string("liboath/") + seed.name).c_str(), oath, seed)
            ->Unit(benchmark::kNanosecond)
            ->Repetitions(REPETITIONS)
            ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nBase32 text -> TOTP code, median CPU ns per code\n%-8s %10s %10s %8s\n", "hash", "ours",
                "liboath", "ratio");
    for (const Seed &seed : SEEDS) {
        const auto o = reporter.nanoseconds.find(std::string("ours/") + seed.name);
        const auto l = reporter.nanoseconds.find(std::string("liboath/") + seed.name);
        if (o == reporter.nanoseconds.end() || l == reporter.nanoseconds.end() || l->second <= 0) {
            continue;
        }
        std::printf("%-8s %10.1f %10.1f %8.2f\n", seed.name, o->second, l->second, o->second / l->second);
    }
    oath_done();
    return 0;
}
