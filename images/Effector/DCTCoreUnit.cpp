#include "images/Effector/DCTCoreUnit.h"

#include <memory>
#include <mutex>

#include "images/Effector/DCTTransforms.h"

const uint8_t* DCTRangeLimit = nullptr;

namespace {

std::mutex gTableMutex;
std::unique_ptr<uint8_t[]> gTable;

}  // namespace

void InitializeDCTCoreUnit() {
    std::lock_guard lock(gTableMutex);
    if (gTable) return;
    auto table = std::make_unique<uint8_t[]>(DCTRangeLimitEntries);  // zeroed
    for (int i = 0; i < 256; ++i) table[256 + i] = static_cast<uint8_t>(i);
    for (int i = 512; i < 896; ++i) table[i] = 255;
    for (int i = 0; i < 128; ++i) table[1280 + i] = static_cast<uint8_t>(i);
    gTable = std::move(table);
    DCTRangeLimit = gTable.get();
}

void FinalizeDCTCoreUnit() {
    std::lock_guard lock(gTableMutex);
    DCTRangeLimit = nullptr;
    gTable.reset();
}

void ForwardDCTFloat(double block[64]) {
    for (int row = 0; row < 8; ++row) dct_detail::ForwardPass(block + 8 * row, 1);
    for (int column = 0; column < 8; ++column) dct_detail::ForwardPass(block + column, 8);
}

void InverseDCTFloat(double block[64]) {
    if (!DCTRangeLimit) InitializeDCTCoreUnit();
    double work[64];
    for (int column = 0; column < 8; ++column) dct_detail::InversePass(block + column, 8, work + column, 8);
    const uint8_t* range = DCTRangeLimit + DCTRangeLimitCentre;
    for (int row = 0; row < 8; ++row) {
        double values[8];
        dct_detail::InversePass(work + 8 * row, 1, values, 1);
        for (int i = 0; i < 8; ++i) {
            dct_detail::RoundHalfEven(values[i]);
            const int n = static_cast<int>(values[i]);
            block[8 * row + i] = range[((n + 4) >> 3) & 1023];
        }
    }
}
