#include "images/Effector/CustomFilter.h"

#include <algorithm>

#include "images/Effector/RowConvolver.h"
#include "platform/Bitmap.h"
#include "platform/Exceptions.h"

namespace {

struct NamedFilter {
    const char* Name;
    int Size;  // 3, 5, or 0 for the names without a kernel
    std::array<int16_t, 25> Weights;
    int32_t Divisor;
    int32_t Bias;
};

// clang-format off
constexpr NamedFilter kNamedFilters[] = {
    {"Blur",            3, { 0,  1,  0,   1,  1,  1,   0,  1,  0}, 5, 0},
    {"BlurMore",        3, { 2,  2,  2,   2,  1,  2,   2,  2,  2}, 17, 0},
    {"BlurSmall",       3, { 1,  1,  1,   1,  3,  1,   1,  1,  1}, 11, 0},
    {"BlurEdge",        3, { 0,  2,  0,   2, -4,  2,   0,  2,  0}, 4, 0},
    {"Sharpen",         3, {-1, -1, -1,  -1, 28, -1,  -1, -1, -1}, 20, 0},
    {"POSTER",          3, { 2, -2,  2,  -2,  1, -2,   2, -2,  2}, 1, 0},
    {"ColorEmboss",     0, {}, 1, 0},
    {"ColorEmboss2",    3, { 1,  0,  1,   0,  0,  0,   1,  0, -2}, 1, 0},
    {"ColorEmbossDeko", 3, { 3,  2,  1,   2,  7, -2,  -1, -2, -3}, 7, 0},
    {"ColorEmbossBoko", 3, {-2, -2, -2,  -1,  5,  1,   2,  2,  2}, 5, 0},
    {"Laplacian8",      3, { 1,  1,  1,   1, -8,  1,   1,  1,  1}, 1, 0},
    {"Laplacian4",      3, { 0,  1,  0,   1, -4,  1,   0,  1,  0}, 1, 0},
    {"Soften",          3, { 2,  2,  2,   2,  0,  2,   2,  2,  2}, 16, 0},
    {"FindEdge",        3, { 1,  1,  1,   1, -2,  1,  -1, -1, -1}, 1, 0},
    {"Hipass",          3, {-1, -1, -1,  -1,  9, -1,  -1, -1, -1}, 1, 0},
    {"EdgeEnhance",     0, {}, 1, 0},
    {"SoftenLess",      3, { 1,  0,  1,   0,  2,  0,   1,  0,  1}, 6, 0},
    {"Bure",            5, { 1,  0,  0,  0,  0,
                             0,  0,  0,  0,  0,
                             0,  0,  1,  0,  0,
                             0,  0,  0,  0,  0,
                             0,  0,  0,  0,  1}, 3, 0},
    {"Test",            5, { 0,  1,  0,  0,  0,
                             1,  2,  1,  0,  0,
                             0,  0, -2,  0, -1,
                             0,  0,  0, -2,  0,
                             0,  0, -1,  0, -3}, 10, 290},
};
// clang-format on

const NamedFilter* FindFilter(const std::string& name) {
    for (const NamedFilter& filter : kNamedFilters)
        if (name == filter.Name) return &filter;
    return nullptr;
}

void Convolve(TBitmap& picture, int radius, const int16_t* weights, int32_t divisor, int32_t bias) {
    if (divisor == 0) throw EZeroDivide("Division by zero");
    picture.SetPixelFormat(pf24bit);
    if (picture.Empty()) return;
    // The convolver copies every source row before a result row is written
    // over it, so the result goes straight back into the picture.
    const TPixelPlane plane{picture.ScanLine(0), picture.RowStride(), picture.Width(), picture.Height(), 3};
    TRowConvolver convolver(plane, TIntegerKernel{radius, weights, divisor, bias});
    const size_t rowBytes = size_t(picture.Width()) * 3;
    for (int y = 0; y < picture.Height(); ++y) std::copy_n(convolver.Row(y), rowBytes, picture.ScanLine(y));
}

}  // namespace

void ApplyNamedFilter(TBitmap& picture, const std::string& name) {
    const NamedFilter* filter = FindFilter(name);
    if (!filter || filter->Size == 0) return;
    Convolve(picture, filter->Size / 2, filter->Weights.data(), filter->Divisor, filter->Bias);
}

bool IsNamedFilter(const std::string& name) { return FindFilter(name) != nullptr; }

std::vector<std::string> NamedFilterNames() {
    std::vector<std::string> names;
    for (const NamedFilter& filter : kNamedFilters) names.emplace_back(filter.Name);
    return names;
}

void Convolve3x3(TBitmap& picture, const std::array<int16_t, 9>& kernel, int32_t divisor, int32_t bias) {
    Convolve(picture, 1, kernel.data(), divisor, bias);
}

void Convolve5x5(TBitmap& picture, const std::array<int16_t, 25>& kernel, int32_t divisor, int32_t bias) {
    Convolve(picture, 2, kernel.data(), divisor, bias);
}
