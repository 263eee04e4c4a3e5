/* The C side of every libjpeg call the program makes.
 *
 * libjpeg reports a fatal error by calling the error manager's error_exit,
 * which must not return. C++ exceptions must not pass through libjpeg's C
 * frames, so each call below sets a jump point, makes one libjpeg call and
 * reports how it ended; error_exit (and a progress handler that asks to
 * stop) jumps back to that point. Only C frames lie between the jump point
 * and the jump. The C++ side turns the status into an exception. */
#ifndef VORLIX_SAVE_JPEGBOUNDARY_H
#define VORLIX_SAVE_JPEGBOUNDARY_H

#include <setjmp.h>
#include <stddef.h>
#include <stdio.h>

#include <jpeglib.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    VX_JPEG_OK = 0,      /* the call completed */
    VX_JPEG_FAILED = 1,  /* libjpeg raised an error; its message code is in code */
    VX_JPEG_STOPPED = 2  /* the progress handler asked to stop */
};

/* Called from libjpeg's progress monitor. Returns nonzero to stop the
 * operation in progress. Must not throw. */
typedef int (*vx_jpeg_progress_fn)(void *context, j_common_ptr cinfo);

typedef struct vx_jpeg_guard {
    struct jpeg_error_mgr errors; /* first: the object's err points here */
    struct jpeg_progress_mgr progress;
    jmp_buf jump;
    int status;
    int code;      /* libjpeg message code of the last error */
    int max_scans; /* a file with more input scans fails; 0: no limit */
    int finishing; /* set once every row has been read: the end marker may be missing */
    int input_ended;   /* the data ran out (libjpeg went on with an inserted end marker) */
    int ended_early;   /* ... before the picture was complete: the rest is libjpeg's filling */
    char message[JMSG_LENGTH_MAX]; /* libjpeg's text of the last error */
    void (*library_format)(j_common_ptr cinfo, char *buffer); /* libjpeg's own formatter */
    vx_jpeg_progress_fn on_progress;
    void *context;
} vx_jpeg_guard;

/* A growing memory buffer as the compressor's destination. */
typedef struct vx_jpeg_memory_dest {
    struct jpeg_destination_mgr pub;
    unsigned char *buffer; /* malloc'd; free with vx_jpeg_memory_dest_free */
    size_t capacity;
    size_t size; /* bytes written, valid after jpeg_finish_compress */
} vx_jpeg_memory_dest;

/* Creation attaches guard as the error manager and progress monitor.
 * Whatever the result, the object must be destroyed with vx_jpeg_destroy. */
int vx_jpeg_create_decompress(vx_jpeg_guard *guard, j_decompress_ptr cinfo);
int vx_jpeg_create_compress(vx_jpeg_guard *guard, j_compress_ptr cinfo);
void vx_jpeg_destroy(j_common_ptr cinfo);
/* libjpeg's text for a message code, without its parameters filled in. */
void vx_jpeg_message_text(int code, char *buffer);

int vx_jpeg_mem_src(j_decompress_ptr cinfo, const unsigned char *bytes, unsigned long size);
int vx_jpeg_read_header(j_decompress_ptr cinfo, int require_image, int *result);
int vx_jpeg_has_multiple_scans(j_decompress_ptr cinfo, int *result);
int vx_jpeg_calc_output_dimensions(j_decompress_ptr cinfo);
int vx_jpeg_start_decompress(j_decompress_ptr cinfo);
int vx_jpeg_input_complete(j_decompress_ptr cinfo, int *result);
int vx_jpeg_start_output(j_decompress_ptr cinfo, int scan_number);
int vx_jpeg_read_scanlines(j_decompress_ptr cinfo, JSAMPARRAY rows, JDIMENSION max_lines, JDIMENSION *lines);
int vx_jpeg_finish_output(j_decompress_ptr cinfo);
int vx_jpeg_finish_decompress(j_decompress_ptr cinfo);

int vx_jpeg_set_memory_dest(j_compress_ptr cinfo, vx_jpeg_memory_dest *dest);
void vx_jpeg_memory_dest_free(vx_jpeg_memory_dest *dest);
int vx_jpeg_set_defaults(j_compress_ptr cinfo);
int vx_jpeg_set_quality(j_compress_ptr cinfo, int quality, int force_baseline);
int vx_jpeg_set_colorspace(j_compress_ptr cinfo, J_COLOR_SPACE colorspace);
int vx_jpeg_simple_progression(j_compress_ptr cinfo);
int vx_jpeg_start_compress(j_compress_ptr cinfo, int write_all_tables);
int vx_jpeg_write_scanlines(j_compress_ptr cinfo, JSAMPARRAY rows, JDIMENSION count, JDIMENSION *lines);
int vx_jpeg_finish_compress(j_compress_ptr cinfo);

#ifdef __cplusplus
}
#endif

#endif
