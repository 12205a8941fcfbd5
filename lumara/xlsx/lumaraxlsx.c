#define _GNU_SOURCE
#include "lumaraxlsx.h"

#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xlsxwriter.h>

struct lumara_xlsx_book {
    lxw_workbook *workbook;
    lxw_worksheet **sheets;
    int sheet_count;
    lxw_format **formats;
    int format_count;
    char *tmpdir;
};

/* This module's C library, in its own namespace, sets up a thread's character tables only for
 * the thread that loaded it; on any other thread the library's first isalnum() would read a
 * null table. Choosing the global locale for the thread sets those tables. */
static void prepare_thread(void)
{
    uselocale(LC_GLOBAL_LOCALE);
}

static int grow(void **items, int count, size_t size)
{
    void *bigger = realloc(*items, (size_t)(count + 1) * size);
    if (!bigger)
        return 0;
    *items = bigger;
    return 1;
}

lumara_xlsx_book *lumara_xlsx_open(const char *path, int constant_memory, const char *tmpdir)
{
    prepare_thread();
    lumara_xlsx_book *book = calloc(1, sizeof *book);
    if (!book)
        return NULL;
    lxw_workbook_options options;
    memset(&options, 0, sizeof options);
    options.constant_memory = constant_memory ? LXW_TRUE : LXW_FALSE;
    options.use_zip64 = LXW_TRUE;
    if (tmpdir && *tmpdir) {
        book->tmpdir = strdup(tmpdir);
        options.tmpdir = book->tmpdir;
    }
    book->workbook = workbook_new_opt(path, &options);
    if (!book->workbook) {
        free(book->tmpdir);
        free(book);
        return NULL;
    }
    return book;
}

static lxw_worksheet *sheet_of(lumara_xlsx_book *book, int sheet)
{
    return (book && sheet >= 0 && sheet < book->sheet_count) ? book->sheets[sheet] : NULL;
}

static lxw_format *format_of(lumara_xlsx_book *book, int format)
{
    return (format >= 0 && format < book->format_count) ? book->formats[format] : NULL;
}

int lumara_xlsx_add_sheet(lumara_xlsx_book *book, const char *name)
{
    prepare_thread();
    if (!book || workbook_validate_sheet_name(book->workbook, name) != LXW_NO_ERROR)
        return -1;
    if (!grow((void **)&book->sheets, book->sheet_count, sizeof *book->sheets))
        return -1;
    lxw_worksheet *sheet = workbook_add_worksheet(book->workbook, name);
    if (!sheet)
        return -1;
    book->sheets[book->sheet_count] = sheet;
    return book->sheet_count++;
}

int lumara_xlsx_add_format(lumara_xlsx_book *book, int bold, int border, unsigned font_rgb, int fill_rgb)
{
    if (!book || !grow((void **)&book->formats, book->format_count, sizeof *book->formats))
        return -1;
    lxw_format *format = workbook_add_format(book->workbook);
    if (!format)
        return -1;
    if (bold)
        format_set_bold(format);
    format_set_align(format, LXW_ALIGN_CENTER);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    if (border)
        format_set_border(format, LXW_BORDER_THIN);
    /* The library takes 0 as "no colour": pure black is asked for as its default. */
    if (font_rgb & 0xFFFFFFu)
        format_set_font_color(format, font_rgb & 0xFFFFFFu);
    if (fill_rgb >= 0) {
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, (lxw_color_t)fill_rgb & 0xFFFFFFu);
    }
    book->formats[book->format_count] = format;
    return book->format_count++;
}

int lumara_xlsx_write_string(lumara_xlsx_book *book, int sheet, unsigned row, unsigned col, const char *text, int format)
{
    lxw_worksheet *ws = sheet_of(book, sheet);
    if (!ws)
        return -1;
    /* An empty text is a blank cell; only a formatted blank is kept. */
    if (!text || !*text)
        return format_of(book, format) ? (int)worksheet_write_blank(ws, row, (lxw_col_t)col, format_of(book, format)) : 0;
    return (int)worksheet_write_string(ws, row, (lxw_col_t)col, text, format_of(book, format));
}

int lumara_xlsx_write_number(lumara_xlsx_book *book, int sheet, unsigned row, unsigned col, double value, int format)
{
    lxw_worksheet *ws = sheet_of(book, sheet);
    if (!ws)
        return -1;
    return (int)worksheet_write_number(ws, row, (lxw_col_t)col, value, format_of(book, format));
}

int lumara_xlsx_set_column(lumara_xlsx_book *book, int sheet, unsigned col, double width)
{
    lxw_worksheet *ws = sheet_of(book, sheet);
    if (!ws)
        return -1;
    return (int)worksheet_set_column(ws, (lxw_col_t)col, (lxw_col_t)col, width, NULL);
}

int lumara_xlsx_merge(lumara_xlsx_book *book, int sheet, unsigned first_row, unsigned first_col, unsigned last_row,
                      unsigned last_col, const char *text, int format)
{
    lxw_worksheet *ws = sheet_of(book, sheet);
    if (!ws)
        return -1;
    prepare_thread();
    return (int)worksheet_merge_range(ws, first_row, (lxw_col_t)first_col, last_row, (lxw_col_t)last_col,
                                      text ? text : "", format_of(book, format));
}

int lumara_xlsx_close(lumara_xlsx_book *book, char *error, int error_size)
{
    if (!book)
        return -1;
    prepare_thread();
    lxw_error result = workbook_close(book->workbook);
    if (result != LXW_NO_ERROR && error && error_size > 0)
        snprintf(error, (size_t)error_size, "%s", lxw_strerror(result));
    free(book->sheets);
    free(book->formats);
    free(book->tmpdir);
    free(book);
    return result == LXW_NO_ERROR ? 0 : -1;
}
