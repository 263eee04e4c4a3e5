#include "resample/ResampleThreads.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::atomic<int> gRequestedThreads{0};
thread_local bool tInsideBand = false;

int AllCores() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

// Workers that sleep between jobs. One job runs at a time; its bands are
// handed out through an atomic counter to the workers and the caller alike.
class BandPool {
public:
    ~BandPool() { Resize(0); }

    void Run(int threads, int32_t count, const BandBody& body, int32_t band) {
        std::lock_guard<std::mutex> serial(runMutex_);
        Resize(threads - 1);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            body_ = &body;
            count_ = count;
            band_ = band;
            next_.store(0);
            busy_ = static_cast<int>(workers_.size());
            error_ = nullptr;
            ++generation_;
        }
        wake_.notify_all();
        Work();
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return busy_ == 0; });
        body_ = nullptr;
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    void Resize(int workers) {
        if (static_cast<int>(workers_.size()) == workers) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& worker : workers_) worker.join();
        workers_.clear();
        stop_ = false;
        for (int i = 0; i < workers; ++i) workers_.emplace_back([this, seen = generation_]() mutable { Loop(seen); });
    }

    void Loop(uint64_t seen) {
        tInsideBand = true;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
                if (stop_) return;
                seen = generation_;
            }
            Work();
            std::lock_guard<std::mutex> lock(mutex_);
            if (--busy_ == 0) done_.notify_all();
        }
    }

    void Work() {
        const bool wasInside = std::exchange(tInsideBand, true);
        for (;;) {
            const int32_t begin = next_.fetch_add(band_);
            if (begin >= count_) break;
            try {
                (*body_)(begin, std::min(count_, begin + band_));
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!error_) error_ = std::current_exception();
                next_.store(count_);  // the remaining bands are not worth starting
            }
        }
        tInsideBand = wasInside;
    }

    std::mutex runMutex_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<std::thread> workers_;
    const BandBody* body_ = nullptr;
    int32_t count_ = 0, band_ = 1;
    std::atomic<int32_t> next_{0};
    int busy_ = 0;
    bool stop_ = false;
    uint64_t generation_ = 0;
    std::exception_ptr error_;
};

BandPool& Pool() {
    static BandPool pool;
    return pool;
}

}  // namespace

void SetResampleThreads(int count) { gRequestedThreads.store(std::max(0, count)); }

int ResampleThreads() {
    const int requested = gRequestedThreads.load();
    return requested > 0 ? requested : AllCores();
}

int32_t BandRowsFor(size_t rowBytes) {
    constexpr size_t kBandBytes = 64 * 1024;
    return static_cast<int32_t>(std::clamp<size_t>(kBandBytes / std::max<size_t>(rowBytes, 1), 1, 1 << 20));
}

void ParallelBands(int32_t count, const BandBody& body, int32_t minBand) {
    if (count <= 0) return;
    minBand = std::max<int32_t>(1, minBand);
    const int threads = ResampleThreads();
    if (threads <= 1 || tInsideBand || count <= minBand) {
        body(0, count);
        return;
    }
    // Two bands per thread: the caller takes a second band while a worker
    // is still waking up, and each band start costs the fused passes a few
    // intermediate rows computed twice.
    const int32_t bands = std::min<int32_t>(count / minBand, threads * 2);
    const int32_t band = (count + bands - 1) / bands;
    Pool().Run(threads, count, body, band);
}
