#include "save/JPEGBoundary.h"

#include <stdlib.h>
#include <string.h>

#include <jerror.h>

static vx_jpeg_guard *guard_of(j_common_ptr cinfo) { return (vx_jpeg_guard *)cinfo->err; }

static void fail_with_text(j_common_ptr cinfo, int status, int code, const char *text) {
    vx_jpeg_guard *guard = guard_of(cinfo);
    guard->status = status;
    guard->code = code;
    strncpy(guard->message, text ? text : "", sizeof guard->message - 1);
    guard->message[sizeof guard->message - 1] = '\0';
    longjmp(guard->jump, 1);
}

static void fail(j_common_ptr cinfo, int status, int code) { fail_with_text(cinfo, status, code, NULL); }

static void error_exit(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    guard_of(cinfo)->library_format(cinfo, text);
    fail_with_text(cinfo, VX_JPEG_FAILED, cinfo->err->msg_code, text);
}

/* Warnings and trace messages are counted by libjpeg but never shown. */
static void output_message(j_common_ptr cinfo) { (void)cinfo; }

/* A progressive picture is complete once every coefficient has arrived at
 * full precision. */
static int coefficients_incomplete(j_decompress_ptr d) {
    int c, k;
    if (!d->coef_bits) return 1;
    for (c = 0; c < d->num_components; c++)
        for (k = 0; k < DCTSIZE2; k++)
            if (d->coef_bits[c][k] != 0) return 1;
    return 0;
}

/* Whether the data running out leaves part of the picture missing. A
 * complete file that only lacks its end marker runs out while its last row
 * of blocks is decoded, after its last scan, or while the decompressor
 * finishes. */
static int picture_incomplete_at_end(j_decompress_ptr d, const vx_jpeg_guard *guard) {
    JDIMENSION last_row_height;
    if (guard->finishing || d->output_height == 0) return 0;
    if (d->progressive_mode) return coefficients_incomplete(d);
    last_row_height = (JDIMENSION)(d->max_v_samp_factor * d->min_DCT_scaled_size);
    return d->output_height - d->output_scanline > last_row_height;
}

/* A file that ends early decodes as libjpeg fills it (what was read, the
 * rest grey); the guard records that it happened so the caller can say so.
 * The Huffman decoder's "hit a marker" after the end of the data means a
 * block it needed was missing. */
static void emit_message(j_common_ptr cinfo, int msg_level) {
    vx_jpeg_guard *guard = guard_of(cinfo);
    if (msg_level >= 0) return;
    cinfo->err->num_warnings++;
    if (!cinfo->is_decompressor) return;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
        guard->input_ended = 1;
        if (picture_incomplete_at_end((j_decompress_ptr)cinfo, guard)) guard->ended_early = 1;
    } else if (cinfo->err->msg_code == JWRN_HIT_MARKER && guard->input_ended) {
        guard->ended_early = 1;
    }
}

static void format_message(j_common_ptr cinfo, char *buffer) {
    (void)cinfo;
    buffer[0] = '\0';
}

static void reset_error_mgr(j_common_ptr cinfo) {
    cinfo->err->msg_code = 0;
    cinfo->err->num_warnings = 0;
}

static void progress_monitor(j_common_ptr cinfo) {
    vx_jpeg_guard *guard = guard_of(cinfo);
    /* Each scan costs a pass over the whole picture, and a few bytes can
     * describe one; a crafted file with thousands would keep the decoder
     * busy for minutes. */
    if (cinfo->is_decompressor && guard->max_scans > 0 &&
        ((j_decompress_ptr)cinfo)->input_scan_number > guard->max_scans)
        fail_with_text(cinfo, VX_JPEG_FAILED, JERR_IMAGE_TOO_BIG, "The file has too many scans");
    if (guard->on_progress && guard->on_progress(guard->context, cinfo))
        fail(cinfo, VX_JPEG_STOPPED, 0);
}

static void init_guard(vx_jpeg_guard *guard) {
    jpeg_std_error(&guard->errors);
    guard->library_format = guard->errors.format_message;
    guard->errors.error_exit = error_exit;
    guard->errors.output_message = output_message;
    guard->errors.emit_message = emit_message;
    guard->errors.format_message = format_message;
    guard->errors.reset_error_mgr = reset_error_mgr;
    guard->progress.progress_monitor = progress_monitor;
    guard->status = VX_JPEG_OK;
    guard->code = 0;
    guard->finishing = 0;
    guard->input_ended = 0;
    guard->ended_early = 0;
    guard->message[0] = '\0';
}

/* One libjpeg call under a jump point. Nothing the call changes is read
 * after the jump except through the guard, so no local needs volatile. */
#define GUARDED(common, call)                                   \
    do {                                                        \
        vx_jpeg_guard *const guard_ = guard_of(common);         \
        if (setjmp(guard_->jump) != 0) return guard_->status;   \
        call;                                                   \
        return VX_JPEG_OK;                                      \
    } while (0)

int vx_jpeg_create_decompress(vx_jpeg_guard *guard, j_decompress_ptr cinfo) {
    init_guard(guard);
    cinfo->err = &guard->errors;
    if (setjmp(guard->jump) != 0) return guard->status;
    jpeg_create_decompress(cinfo);
    cinfo->progress = &guard->progress;
    return VX_JPEG_OK;
}

int vx_jpeg_create_compress(vx_jpeg_guard *guard, j_compress_ptr cinfo) {
    init_guard(guard);
    cinfo->err = &guard->errors;
    if (setjmp(guard->jump) != 0) return guard->status;
    jpeg_create_compress(cinfo);
    cinfo->progress = &guard->progress;
    return VX_JPEG_OK;
}

/* Safe on an object whose creation failed: libjpeg frees only what its
 * memory manager holds. */
void vx_jpeg_destroy(j_common_ptr cinfo) { jpeg_destroy(cinfo); }

void vx_jpeg_message_text(int code, char *buffer) {
    struct jpeg_error_mgr errors;
    struct jpeg_common_struct common;
    memset(&common, 0, sizeof common);
    common.err = jpeg_std_error(&errors);
    errors.msg_code = code;
    errors.format_message(&common, buffer);
}

int vx_jpeg_mem_src(j_decompress_ptr cinfo, const unsigned char *bytes, unsigned long size) {
    GUARDED((j_common_ptr)cinfo, jpeg_mem_src(cinfo, bytes, size));
}

int vx_jpeg_read_header(j_decompress_ptr cinfo, int require_image, int *result) {
    GUARDED((j_common_ptr)cinfo, *result = jpeg_read_header(cinfo, require_image ? TRUE : FALSE));
}

int vx_jpeg_has_multiple_scans(j_decompress_ptr cinfo, int *result) {
    GUARDED((j_common_ptr)cinfo, *result = jpeg_has_multiple_scans(cinfo) ? 1 : 0);
}

int vx_jpeg_calc_output_dimensions(j_decompress_ptr cinfo) {
    GUARDED((j_common_ptr)cinfo, jpeg_calc_output_dimensions(cinfo));
}

int vx_jpeg_start_decompress(j_decompress_ptr cinfo) { GUARDED((j_common_ptr)cinfo, jpeg_start_decompress(cinfo)); }

int vx_jpeg_input_complete(j_decompress_ptr cinfo, int *result) {
    GUARDED((j_common_ptr)cinfo, *result = jpeg_input_complete(cinfo) ? 1 : 0);
}

int vx_jpeg_start_output(j_decompress_ptr cinfo, int scan_number) {
    GUARDED((j_common_ptr)cinfo, jpeg_start_output(cinfo, scan_number));
}

int vx_jpeg_read_scanlines(j_decompress_ptr cinfo, JSAMPARRAY rows, JDIMENSION max_lines, JDIMENSION *lines) {
    GUARDED((j_common_ptr)cinfo, *lines = jpeg_read_scanlines(cinfo, rows, max_lines));
}

int vx_jpeg_finish_output(j_decompress_ptr cinfo) { GUARDED((j_common_ptr)cinfo, jpeg_finish_output(cinfo)); }

int vx_jpeg_finish_decompress(j_decompress_ptr cinfo) {
    guard_of((j_common_ptr)cinfo)->finishing = 1;
    GUARDED((j_common_ptr)cinfo, jpeg_finish_decompress(cinfo));
}

/* Memory destination ---------------------------------------------------- */

enum { INITIAL_DEST_CAPACITY = 65536 };

static void init_memory_destination(j_compress_ptr cinfo) {
    vx_jpeg_memory_dest *dest = (vx_jpeg_memory_dest *)cinfo->dest;
    if (!dest->buffer) {
        dest->buffer = (unsigned char *)malloc(INITIAL_DEST_CAPACITY);
        if (!dest->buffer) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
        dest->capacity = INITIAL_DEST_CAPACITY;
    }
    dest->size = 0;
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = dest->capacity;
}

static boolean empty_memory_output_buffer(j_compress_ptr cinfo) {
    vx_jpeg_memory_dest *dest = (vx_jpeg_memory_dest *)cinfo->dest;
    const size_t used = dest->capacity;
    unsigned char *grown;
    if (dest->capacity > ((size_t)-1) / 2) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    grown = (unsigned char *)realloc(dest->buffer, dest->capacity * 2);
    if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 1);
    dest->buffer = grown;
    dest->capacity *= 2;
    dest->pub.next_output_byte = grown + used;
    dest->pub.free_in_buffer = dest->capacity - used;
    return TRUE;
}

static void term_memory_destination(j_compress_ptr cinfo) {
    vx_jpeg_memory_dest *dest = (vx_jpeg_memory_dest *)cinfo->dest;
    dest->size = dest->capacity - dest->pub.free_in_buffer;
}

int vx_jpeg_set_memory_dest(j_compress_ptr cinfo, vx_jpeg_memory_dest *dest) {
    dest->pub.init_destination = init_memory_destination;
    dest->pub.empty_output_buffer = empty_memory_output_buffer;
    dest->pub.term_destination = term_memory_destination;
    cinfo->dest = &dest->pub;
    return VX_JPEG_OK;
}

void vx_jpeg_memory_dest_free(vx_jpeg_memory_dest *dest) {
    free(dest->buffer);
    dest->buffer = NULL;
    dest->capacity = 0;
    dest->size = 0;
}

int vx_jpeg_set_defaults(j_compress_ptr cinfo) { GUARDED((j_common_ptr)cinfo, jpeg_set_defaults(cinfo)); }

int vx_jpeg_set_quality(j_compress_ptr cinfo, int quality, int force_baseline) {
    GUARDED((j_common_ptr)cinfo, jpeg_set_quality(cinfo, quality, force_baseline ? TRUE : FALSE));
}

int vx_jpeg_set_colorspace(j_compress_ptr cinfo, J_COLOR_SPACE colorspace) {
    GUARDED((j_common_ptr)cinfo, jpeg_set_colorspace(cinfo, colorspace));
}

int vx_jpeg_simple_progression(j_compress_ptr cinfo) { GUARDED((j_common_ptr)cinfo, jpeg_simple_progression(cinfo)); }

int vx_jpeg_start_compress(j_compress_ptr cinfo, int write_all_tables) {
    GUARDED((j_common_ptr)cinfo, jpeg_start_compress(cinfo, write_all_tables ? TRUE : FALSE));
}

int vx_jpeg_write_scanlines(j_compress_ptr cinfo, JSAMPARRAY rows, JDIMENSION count, JDIMENSION *lines) {
    GUARDED((j_common_ptr)cinfo, *lines = jpeg_write_scanlines(cinfo, rows, count));
}

int vx_jpeg_finish_compress(j_compress_ptr cinfo) { GUARDED((j_common_ptr)cinfo, jpeg_finish_compress(cinfo)); }
