// vyrddjvu bench FILE [--page=N|all] [--repeat=K]
// vyrddjvu bench --bzz FILE [--repeat=K]
// (vyrddjvu bench FILE --text: TextCommand.cpp)

#include "BzzDecoder.h"
#include "Commands.h"
#include "Options.h"
#include "Render.h"
#include "ToolPlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace vyrddjvu {

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The best of `repeat` runs: the least disturbed by the rest of the machine.
template <class Work>
double BestMilliseconds(int repeat, Work work) {
    double best = 0;
    for (int i = 0; i < repeat; ++i) {
        const Clock::time_point start = Clock::now();
        work();
        const double ms = MillisecondsSince(start);
        best = i == 0 ? ms : std::min(best, ms);
    }
    return best;
}

int BenchBzz(const std::u16string& path, int repeat) {
    std::vector<uint8_t> input;
    if (!ReadWholeFile(path, input)) {
        return kExitFailure;
    }
    std::vector<uint8_t> buffer(1 << 16);
    uint64_t total = 0;
    const double ms = BestMilliseconds(repeat, [&] {
        vyrd::CBzzDecoder bzz(vyrd::CByteRange(input.data(), static_cast<uint32_t>(input.size())));
        total = 0;
        uint32_t n;
        while ((n = bzz.read(buffer.data(), static_cast<uint32_t>(buffer.size()))) > 0) {
            total += n;
        }
    });
    std::printf("bzz %llu bytes in %.3f ms (%.1f MB/s), peak memory %llu KiB\n",
                static_cast<unsigned long long>(total), ms,
                ms > 0 ? static_cast<double>(total) / 1000.0 / ms : 0.0,
                static_cast<unsigned long long>(PeakMemoryBytes() / 1024));
    return kExitOk;
}

int BenchPages(const CommandOptions& options) {
    vyrd::RefPtr<vyrd::CDjVuContainer> document = OpenDocumentOrComplain(options.positional[0]);
    if (!document) {
        return kExitFailure;
    }
    const int pages = document->CountPages();
    const int first = options.allPages ? 0 : options.page - 1;
    const int last = options.allPages ? pages : std::min(options.page, pages);
    if (first >= last) {
        PrintError("no page " + std::to_string(options.page));
        return kExitFailure;
    }
    double sum = 0;
    for (int index = first; index < last; ++index) {
        bool rendered = false;
        const double ms = BestMilliseconds(options.repeat, [&] {
            const vyrd::RefPtr<vyrd::CDjVuPage> page = document->GetPageObject(index);
            rendered = page && vyrd::RenderPage(*page);
        });
        sum += ms;
        std::printf("page %d %s %.3f ms\n", index + 1, rendered ? "rendered" : "failed", ms);
    }
    std::printf("total %.3f ms for %d pages, %.3f ms per page, peak memory %llu KiB\n", sum,
                last - first, sum / (last - first),
                static_cast<unsigned long long>(PeakMemoryBytes() / 1024));
    return kExitOk;
}

}  // namespace

int RunBench(const Arguments& args) {
    CommandOptions options;
    if (!ParseOptions(args, {u"--page", u"--repeat", u"--bzz", u"--text"}, options)) {
        return kExitUsage;
    }
    if (options.positional.size() != 1) {
        PrintError("usage: vyrddjvu bench FILE [--page=N|all] [--repeat=K] | --bzz FILE");
        return kExitUsage;
    }
    if (options.text) {
        return BenchText(options);
    }
    return options.bzz ? BenchBzz(options.positional[0], options.repeat) : BenchPages(options);
}

}  // namespace vyrddjvu
