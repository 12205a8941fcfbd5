/* The workbook writer module. It is the only code linking the workbook library, and the program
 * loads it into a namespace of its own: the zip library linked through the package code
 * exports functions under the same names the workbook library calls. Plain C across the
 * boundary, rows and columns counted from 0, texts in UTF-8. */
#ifndef LUMARAXLSX_H
#define LUMARAXLSX_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct lumara_xlsx_book lumara_xlsx_book;

/* A workbook to be written to path at close; tmpdir (may be NULL) takes the library's
 * temporary files. NULL when it cannot be started. */
typedef lumara_xlsx_book *(*lumara_xlsx_open_fn)(const char *path, int constant_memory, const char *tmpdir);
/* Index of the new sheet, -1 when the name is refused. */
typedef int (*lumara_xlsx_add_sheet_fn)(lumara_xlsx_book *book, const char *name);
/* Index of a new cell format; fill < 0 for none. */
typedef int (*lumara_xlsx_add_format_fn)(lumara_xlsx_book *book, int bold, int border, unsigned font_rgb, int fill_rgb);
/* 0 on success; format -1 for none. */
typedef int (*lumara_xlsx_write_string_fn)(lumara_xlsx_book *book, int sheet, unsigned row, unsigned col, const char *text, int format);
typedef int (*lumara_xlsx_write_number_fn)(lumara_xlsx_book *book, int sheet, unsigned row, unsigned col, double value, int format);
typedef int (*lumara_xlsx_set_column_fn)(lumara_xlsx_book *book, int sheet, unsigned col, double width);
typedef int (*lumara_xlsx_merge_fn)(lumara_xlsx_book *book, int sheet, unsigned first_row, unsigned first_col,
                                    unsigned last_row, unsigned last_col, const char *text, int format);
/* Writes the file and frees the book; 0 on success, else the library's message in error. */
typedef int (*lumara_xlsx_close_fn)(lumara_xlsx_book *book, char *error, int error_size);

lumara_xlsx_book *lumara_xlsx_open(const char *path, int constant_memory, const char *tmpdir);
int lumara_xlsx_add_sheet(lumara_xlsx_book *book, const char *name);
int lumara_xlsx_add_format(lumara_xlsx_book *book, int bold, int border, unsigned font_rgb, int fill_rgb);
int lumara_xlsx_write_string(lumara_xlsx_book *book, int sheet, unsigned row, unsigned col, const char *text, int format);
int lumara_xlsx_write_number(lumara_xlsx_book *book, int sheet, unsigned row, unsigned col, double value, int format);
int lumara_xlsx_set_column(lumara_xlsx_book *book, int sheet, unsigned col, double width);
int lumara_xlsx_merge(lumara_xlsx_book *book, int sheet, unsigned first_row, unsigned first_col, unsigned last_row,
                      unsigned last_col, const char *text, int format);
int lumara_xlsx_close(lumara_xlsx_book *book, char *error, int error_size);

#ifdef __cplusplus
}
#endif

#endif
