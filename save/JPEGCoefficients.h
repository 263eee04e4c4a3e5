/* The C side of the lossless rewrite and of encoding with tables of our
 * own: libjpeg's coefficient and table calls, each
 * under a jump point as in JPEGBoundary.h, for objects created through
 * vx_jpeg_create_decompress and vx_jpeg_create_compress. */
#ifndef VORLIX_SAVE_JPEGCOEFFICIENTS_H
#define VORLIX_SAVE_JPEGCOEFFICIENTS_H

#include "save/JPEGBoundary.h"

#ifdef __cplusplus
extern "C" {
#endif

int vx_jpeg_save_markers(j_decompress_ptr cinfo, int marker_code, unsigned int length_limit);
int vx_jpeg_read_coefficients(j_decompress_ptr cinfo, jvirt_barray_ptr **arrays);
int vx_jpeg_copy_critical_parameters(j_decompress_ptr source, j_compress_ptr destination);
int vx_jpeg_write_coefficients(j_compress_ptr cinfo, jvirt_barray_ptr *arrays);
int vx_jpeg_write_marker(j_compress_ptr cinfo, int marker, const JOCTET *data, unsigned int length);
/* A table taken as given (scale 100) or scaled, with or without the
 * baseline limit of 255. */
int vx_jpeg_add_quant_table(j_compress_ptr cinfo, int which, const unsigned int *table, int scale, int force_baseline);

#ifdef __cplusplus
}
#endif

#endif
