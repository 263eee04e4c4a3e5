#include "save/JPEGCoefficients.h"

/* The error manager is the guard's first member, so err leads to it. */
#define COEFFICIENT_CALL(common, call)                                        \
    do {                                                                      \
        vx_jpeg_guard *const guard_ = (vx_jpeg_guard *)(common)->err;         \
        if (setjmp(guard_->jump) != 0) return guard_->status;                 \
        call;                                                                 \
        return VX_JPEG_OK;                                                    \
    } while (0)

int vx_jpeg_save_markers(j_decompress_ptr cinfo, int marker_code, unsigned int length_limit) {
    COEFFICIENT_CALL((j_common_ptr)cinfo, jpeg_save_markers(cinfo, marker_code, length_limit));
}

int vx_jpeg_read_coefficients(j_decompress_ptr cinfo, jvirt_barray_ptr **arrays) {
    COEFFICIENT_CALL((j_common_ptr)cinfo, *arrays = jpeg_read_coefficients(cinfo));
}

int vx_jpeg_copy_critical_parameters(j_decompress_ptr source, j_compress_ptr destination) {
    COEFFICIENT_CALL((j_common_ptr)destination, jpeg_copy_critical_parameters(source, destination));
}

int vx_jpeg_write_coefficients(j_compress_ptr cinfo, jvirt_barray_ptr *arrays) {
    COEFFICIENT_CALL((j_common_ptr)cinfo, jpeg_write_coefficients(cinfo, arrays));
}

int vx_jpeg_write_marker(j_compress_ptr cinfo, int marker, const JOCTET *data, unsigned int length) {
    COEFFICIENT_CALL((j_common_ptr)cinfo, jpeg_write_marker(cinfo, marker, data, length));
}

int vx_jpeg_add_quant_table(j_compress_ptr cinfo, int which, const unsigned int *table, int scale, int force_baseline) {
    COEFFICIENT_CALL((j_common_ptr)cinfo, jpeg_add_quant_table(cinfo, which, table, scale, force_baseline ? TRUE : FALSE));
}
