#pragma once
// A workbook written through the writer module (lumara/xlsx), which the program loads once
// into a link namespace of its own. Rows and columns count from 1. The library takes the path
// at creation and fails only at close: the book is written under a temporary name in the
// target's folder and renamed by save() after a good close, so a failure leaves nothing.
#include <QColor>
#include <QHash>
#include <QSet>
#include <QString>

struct lumara_xlsx_book;

class XlsxBook {
public:
    struct Style {
        bool bold = false;
        bool border = false;
        QColor font = Qt::black; // alpha ignored
        QColor fill; // invalid: no fill; alpha ignored
    };

    // folder: where the temporary file (and, in constant-memory mode, the library's own
    // temporary files) go; the final name is given to save(). In constant-memory mode rows
    // must be written strictly in order.
    explicit XlsxBook(const QString &folder, bool constantMemory = false);
    ~XlsxBook();
    XlsxBook(const XlsxBook &) = delete;
    XlsxBook &operator=(const XlsxBook &) = delete;

    // Loads the module (once per process); false and the reason when it cannot be loaded.
    static bool moduleAvailable(QString *error = nullptr);

    // A sheet under the cleaned name (cleanSheetName), made current. False when refused.
    bool addSheet(const QString &name, uint wellId = 0);
    QString currentSheetName() const { return m_sheetName; }

    bool writeString(int row, int column, const QString &text, const Style &style);
    bool writeNumber(int row, int column, double value, const Style &style);
    bool setColumnWidth(int column, double width);
    // Only ranges of two or more cells are merged: one cell is written as it is.
    bool mergeCells(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString &text,
                    const Style &style);

    // Closes the workbook and gives it its final path, replacing a file of that name. False,
    // with the reason in errorText(), when anything failed; the temporary file is removed.
    bool save(const QString &path);
    QString errorText() const { return m_error; }

    // A sheet name the workbook accepts: each of []:*?/\ to "_", outer apostrophes dropped,
    // "Well <id>" for an empty name, at most 31 characters; a name used before (ignoring
    // case) gets " (2)", " (3)" ... with its base shortened to stay within 31. used collects
    // the names given, lower-cased.
    static QString cleanSheetName(const QString &name, uint wellId, QSet<QString> &used);

private:
    int styleIndex(const Style &style);
    bool fail(const QString &what);

    lumara_xlsx_book *m_book = nullptr;
    QString m_tempPath;
    int m_sheet = -1;
    QHash<quint64, int> m_styles; // one library format per distinct style
    QSet<QString> m_usedNames;
    QString m_sheetName;
    QString m_error;
};
