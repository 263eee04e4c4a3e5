// Peak memory of every resampler: each case runs in a child process, whose
// high-water mark of resident memory after resampling, less the mark with
// only the source resident, is the engine's own peak. The budget is the
// intermediate picture (separable resamplers only) and the result, plus 10 %
// of source, intermediate and result together. Exits 1 when a case is over.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/ResampleEx.h"

namespace {

struct Case {
    std::string Name;
    bool Separable;
    std::function<void(TBitmap&, int32_t, int32_t)> Run;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    const char* names[] = {"lanczos4", "lanczos3", "lanczos2", "mitchell", "lagrange", "hermite", "bell",
                           "bspline",  "gauss",    "bicubic",  "bilinear", "average",  "nearest"};
    for (int n = 0; n < 13; ++n)
        cases.push_back({names[n], n <= 10, [n](TBitmap& b, int32_t w, int32_t h) { ResampleByAlgorithm(b, n, w, h); }});
    cases.push_back({"test1", true, Test1Resample});
    cases.push_back({"test2", true, Test2Resample});
    cases.push_back({"bilinear-v2", false, BilinearV2Resample});
    cases.push_back({"lifting-bilinear", false, LiftingBilinearResample});
    return cases;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Runs in the child: returns the peak growth in KiB through the exit pipe.
long MeasureInChild(const Case& c, int32_t sw, int32_t sh, int32_t dw, int32_t dh) {
    TBitmap picture(sw, sh, pf24bit);
    for (int32_t y = 0; y < sh; ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int32_t x = 0; x < 3 * sw; ++x) row[x] = static_cast<uint8_t>((x * 7 + y * 13) ^ (x >> 5));
    }
    const long before = PeakKiB();
    c.Run(picture, dw, dh);
    return PeakKiB() - before;
}

}  // namespace

int main() {
    const int32_t sw = 4000, sh = 3000;
    const std::pair<int32_t, int32_t> targets[] = {{1000, 750}, {8000, 6000}};
    bool over = false;
    std::printf("%-17s %-11s %10s %10s %7s\n", "algorithm", "target", "peak MiB", "budget MiB", "ratio");
    for (const Case& c : Cases()) {
        for (const auto& [dw, dh] : targets) {
            int fds[2];
            if (pipe(fds) != 0) return 2;
            const pid_t child = fork();
            if (child == 0) {
                close(fds[0]);
                const long growth = MeasureInChild(c, sw, sh, dw, dh);
                if (write(fds[1], &growth, sizeof growth) != sizeof growth) _exit(2);
                _exit(0);
            }
            close(fds[1]);
            long growth = -1;
            const bool got = read(fds[0], &growth, sizeof growth) == sizeof growth;
            close(fds[0]);
            int status = 0;
            waitpid(child, &status, 0);
            if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::printf("%-17s %dx%d: the child failed\n", c.Name.c_str(), dw, dh);
                return 2;
            }
            const double mib = 1024.0 * 1024.0;
            const double source = 3.0 * sw * sh, result = 3.0 * dw * dh;
            const double intermediate = c.Separable ? 3.0 * dw * sh : 0.0;
            const double budget = intermediate + result + 0.1 * (source + intermediate + result);
            const double peak = growth * 1024.0;
            over = over || peak > budget;
            std::printf("%-17s %5dx%-5d %10.1f %10.1f %7.2f%s\n", c.Name.c_str(), dw, dh, peak / mib, budget / mib,
                        peak / budget, peak > budget ? "  OVER" : "");
        }
    }
    return over ? 1 : 0;
}
