#include "save/ZetJPEGCompress.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include <jerror.h>

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "save/JPEGCoefficients.h"
#include "save/JPEGSession.h"
#include "save/ZetJPEGImage.h"

const TQuantTable StandardLumaTable = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,   //
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,   //
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,   //
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
};

const TQuantTable StandardChromaTable = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,  //
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
};

TQuantTable LumaQuantTable = StandardLumaTable;
TQuantTable ChromaQuantTable = StandardChromaTable;
std::array<TSamplingFactor, 3> SamplingFactors = {TSamplingFactor{2, 2}, TSamplingFactor{1, 1}, TSamplingFactor{1, 1}};
TTranscodeOptions TranscodeOptions;

namespace {

// The session classes keep their status check to themselves; the calls of
// this unit go through the same check.
class TTableCompressor : public TJPEGCompressor {
public:
    using TJPEGSession::Check;
};

class TCoefficientReader : public TJPEGDecompressor {
public:
    using TJPEGSession::Check;
};

bool RowStepAllowsBlocks(const TBitmap& bitmap) {
    if (bitmap.Height() < 2) return true;
    const ptrdiff_t step = bitmap.ScanLine(1) - bitmap.ScanLine(0);
    return step > 0 && step % 4 == 0;
}

int QualityScaling(int quality) {
    quality = std::clamp(quality, 1, 100);
    return quality < 50 ? 5000 / quality : 200 - 2 * quality;
}

void ScaleTable(const TQuantTable& standard, int scaling, TQuantTable& table) {
    for (size_t i = 0; i < table.size(); ++i) {
        int64_t v = (int64_t{standard[i]} * scaling + 50) / 100;
        v = std::clamp<int64_t>(v, 1, 32767);
        table[i] = static_cast<uint32_t>(std::min<int64_t>(v, 255));
    }
}

bool IsJFIFMarker(const jpeg_saved_marker_ptr marker) {
    return marker->marker == JPEG_APP0 && marker->data_length >= 5 && std::memcmp(marker->data, "JFIF", 5) == 0;
}

bool IsAdobeMarker(const jpeg_saved_marker_ptr marker) {
    return marker->marker == JPEG_APP0 + 14 && marker->data_length >= 5 &&
           std::memcmp(marker->data, "Adobe", 5) == 0;
}

std::vector<uint8_t> WholeStream(TStream& stream) {
    stream.SetPosition(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(stream.Size(), 0)));
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

void ReplaceStream(TStream& stream, const std::vector<uint8_t>& bytes) {
    stream.SetPosition(0);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetSize(static_cast<int64_t>(bytes.size()));
}

}  // namespace

void LoadStandardQuantTables() {
    LumaQuantTable = StandardLumaTable;
    ChromaQuantTable = StandardChromaTable;
}

void ScaleQuantTables(int quality) {
    const int scaling = QualityScaling(quality);
    ScaleTable(StandardLumaTable, scaling, LumaQuantTable);
    ScaleTable(StandardChromaTable, scaling, ChromaQuantTable);
}

void Set444SamplingFactors() { SamplingFactors.fill(TSamplingFactor{1, 1}); }

void EncodeWithModuleTables(const TBitmap& picture, TStream& stream) {
    TTableCompressor jpeg;
    stream.SetPosition(0);
    if (picture.Width() <= 0 || picture.Height() <= 0) return;

    // libjpeg only reads the rows; a 24-bit picture is handed over as it is.
    std::optional<TBitmap> converted;
    if (picture.PixelFormat() != pf24bit) {
        converted.emplace(picture);
        converted->SetPixelFormat(pf24bit);
    }
    TBitmap& rowsOf = converted ? *converted : const_cast<TBitmap&>(picture);

    jpeg_compress_struct& c = jpeg.Info();
    c.image_width = static_cast<JDIMENSION>(picture.Width());
    c.image_height = static_cast<JDIMENSION>(picture.Height());
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg.SetDefaults();
    for (int i = 0; i < std::min<int>(c.num_components, static_cast<int>(SamplingFactors.size())); ++i) {
        c.comp_info[i].h_samp_factor = SamplingFactors[static_cast<size_t>(i)].Horizontal;
        c.comp_info[i].v_samp_factor = SamplingFactors[static_cast<size_t>(i)].Vertical;
    }
    jpeg.Check(vx_jpeg_add_quant_table(&c, 0, LumaQuantTable.data(), 100, 0));
    jpeg.Check(vx_jpeg_add_quant_table(&c, 1, ChromaQuantTable.data(), 100, 0));
    jpeg.StartCompress(true);

    const bool allAtOnce = RowStepAllowsBlocks(rowsOf);
    std::vector<uint8_t*> rows(allAtOnce ? static_cast<size_t>(rowsOf.Height()) : 1u);
    while (c.next_scanline < c.image_height) {
        const unsigned first = c.next_scanline;
        const unsigned count = allAtOnce ? c.image_height - first : 1u;
        for (unsigned i = 0; i < count; ++i) rows[i] = rowsOf.ScanLine(static_cast<int>(first + i));
        if (jpeg.WriteScanlines(rows.data(), count) == 0) break;
    }
    jpeg.FinishCompress();
    const std::vector<uint8_t> bytes = jpeg.Output();
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void EncodeToJPEGImage(const TBitmap& picture, TJPEGImage& image) {
    TMemoryStream encoded;
    EncodeWithModuleTables(picture, encoded);
    encoded.SetPosition(0);
    image.LoadFromStream(encoded);
}

bool TranscodeJPEG(TStream& source, TStream& destination) {
    const std::vector<uint8_t> input = WholeStream(source);
    destination.SetPosition(0);

    TCoefficientReader reader;
    reader.SetSource(input.data(), input.size());
    jpeg_decompress_struct& d = reader.Info();
    if (TranscodeOptions.CopyMarkers != TMarkerCopy::None)
        reader.Check(vx_jpeg_save_markers(&d, JPEG_COM, 0xFFFF));
    if (TranscodeOptions.CopyMarkers == TMarkerCopy::All)
        for (int m = 0; m < 16; ++m) reader.Check(vx_jpeg_save_markers(&d, JPEG_APP0 + m, 0xFFFF));
    reader.ReadHeader();
    jvirt_barray_ptr* coefficients = nullptr;
    reader.Check(vx_jpeg_read_coefficients(&d, &coefficients));

    std::vector<uint8_t> output;
    long warnings = 0;
    {
        TTableCompressor writer;
        jpeg_compress_struct& c = writer.Info();
        writer.Check(vx_jpeg_copy_critical_parameters(&d, &c));
        if (TranscodeOptions.ForceGrayscale) {
            if (d.jpeg_color_space == JCS_YCbCr && d.num_components == 3) {
                // The luminance keeps the table its coefficients were
                // quantised with; the colour space change would reset it.
                const int lumaTable = c.comp_info[0].quant_tbl_no;
                writer.SetColorspace(JCS_GRAYSCALE);
                c.comp_info[0].quant_tbl_no = lumaTable;
            } else if (!(d.jpeg_color_space == JCS_GRAYSCALE && d.num_components == 1)) {
                throw EJPEG(Format("JPEG error #%d", static_cast<int>(JERR_CONVERSION_NOTIMPL)));
            }
        }
        if (TranscodeOptions.Progressive) writer.SimpleProgression();
        if (TranscodeOptions.OptimizeCoding) c.optimize_coding = TRUE;
        writer.Check(vx_jpeg_write_coefficients(&c, coefficients));
        for (jpeg_saved_marker_ptr marker = d.marker_list; marker; marker = marker->next) {
            if (c.write_JFIF_header && IsJFIFMarker(marker)) continue;
            if (c.write_Adobe_marker && IsAdobeMarker(marker)) continue;
            writer.Check(vx_jpeg_write_marker(&c, marker->marker, marker->data, marker->data_length));
        }
        writer.FinishCompress();
        output = writer.Output();
        warnings += writer.Warnings();
    }
    reader.FinishDecompress();
    warnings += reader.Warnings();
    ReplaceStream(destination, output);
    return warnings == 0;
}

void ResetTranscodeOptions() { TranscodeOptions = TTranscodeOptions{}; }
