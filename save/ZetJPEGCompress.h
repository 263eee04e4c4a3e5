#pragma once
// Encoding with quantisation tables and sampling factors of our own (the
// 4:4:4 path and the sample page), and the lossless rewrite of a JPEG into
// a progressive or grey one through libjpeg's coefficient interface.
//
// The tables, factors and rewrite options are process-wide: every caller
// sets them immediately before it encodes, so these routines are not
// re-entrant.

#include <array>
#include <cstdint>

#include "platform/Bitmap.h"
#include "platform/Streams.h"

class TJPEGImage;

using TQuantTable = std::array<uint32_t, 64>;  // natural (row-major) order

struct TSamplingFactor {
    int32_t Horizontal = 1;
    int32_t Vertical = 1;
};

// The luminance and chrominance tables of the JPEG standard.
extern const TQuantTable StandardLumaTable;
extern const TQuantTable StandardChromaTable;

extern TQuantTable LumaQuantTable;    // table 0
extern TQuantTable ChromaQuantTable;  // table 1
extern std::array<TSamplingFactor, 3> SamplingFactors;

enum class TMarkerCopy : uint8_t { None = 0, Comments = 1, All = 2 };

// Options of the lossless rewrite. Rotations and flips are never asked
// for: the rewrite always copies the coefficients unchanged.
struct TTranscodeOptions {
    TMarkerCopy CopyMarkers = TMarkerCopy::All;
    bool Progressive = false;
    bool OptimizeCoding = false;
    bool ForceGrayscale = false;
};
extern TTranscodeOptions TranscodeOptions;

void LoadStandardQuantTables();
// Scales both tables from the standard ones as libjpeg's quality setting
// with the baseline limit does (quality below 1 counts as 1, above 100 as
// 100).
void ScaleQuantTables(int quality);
void Set444SamplingFactors();

// A baseline JPEG of picture with the module tables and factors, written
// from the stream's start. An empty picture writes nothing. libjpeg's
// errors raise EJPEG.
void EncodeWithModuleTables(const TBitmap& picture, TStream& stream);
// EncodeWithModuleTables, loaded into image as its compressed form.
void EncodeToJPEGImage(const TBitmap& picture, TJPEGImage& image);

// Rewrites the JPEG in source (from its start) into destination (from its
// start, replacing what it held) with the coefficients unchanged, as the
// rewrite options ask. Returns false when libjpeg counted a warning; a
// libjpeg error raises EJPEG.
bool TranscodeJPEG(TStream& source, TStream& destination);
void ResetTranscodeOptions();
