#include "pages/Export/xlsxbook.h"

#include "pages/Export/cleanname.h"

#include "../../xlsx/lumaraxlsx.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <dlfcn.h>
#include <mutex>

namespace {

struct Module {
    lumara_xlsx_open_fn open = nullptr;
    lumara_xlsx_add_sheet_fn addSheet = nullptr;
    lumara_xlsx_add_format_fn addFormat = nullptr;
    lumara_xlsx_write_string_fn writeString = nullptr;
    lumara_xlsx_write_number_fn writeNumber = nullptr;
    lumara_xlsx_write_numbers_fn writeNumbers = nullptr;
    lumara_xlsx_set_column_fn setColumn = nullptr;
    lumara_xlsx_merge_fn merge = nullptr;
    lumara_xlsx_close_fn close = nullptr;
    QString error;
    bool loaded = false;
};

// The module in a namespace of its own, so that the workbook library binds to the system's
// zip functions rather than to the same-named ones the package code brings in. Never unloaded.
const Module &module()
{
    static Module m;
    static std::once_flag once;
    std::call_once(once, [] {
        const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/liblumara_xlsx.so");
        void *handle = dlmopen(LM_ID_NEWLM, QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            m.error = QStringLiteral("The workbook writer could not be loaded: %1").arg(QString::fromLocal8Bit(dlerror()));
            return;
        }
        auto get = [handle](auto &fn, const char *name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
            return fn != nullptr;
        };
        m.loaded = get(m.open, "lumara_xlsx_open") && get(m.addSheet, "lumara_xlsx_add_sheet")
            && get(m.addFormat, "lumara_xlsx_add_format") && get(m.writeString, "lumara_xlsx_write_string")
            && get(m.writeNumber, "lumara_xlsx_write_number")
            && get(m.writeNumbers, "lumara_xlsx_write_numbers") && get(m.setColumn, "lumara_xlsx_set_column")
            && get(m.merge, "lumara_xlsx_merge") && get(m.close, "lumara_xlsx_close");
        if (!m.loaded)
            m.error = QStringLiteral("The workbook writer is incomplete: %1").arg(path);
    });
    return m;
}

} // namespace

bool XlsxBook::moduleAvailable(QString *error)
{
    const Module &m = module();
    if (error)
        *error = m.error;
    return m.loaded;
}

XlsxBook::XlsxBook(const QString &folder, bool constantMemory)
{
    const Module &m = module();
    if (!m.loaded) {
        m_error = m.error;
        return;
    }
    // A unique name in the target folder; the library writes the file itself at close.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".workbook-XXXXXX.xlsx")));
    if (!probe.open()) {
        m_error = QStringLiteral("Cannot write into %1: %2").arg(folder, probe.errorString());
        return;
    }
    m_tempPath = probe.fileName();
    probe.setAutoRemove(false);
    probe.close();
    const QByteArray tmpdir = QFile::encodeName(folder);
    m_book = m.open(QFile::encodeName(m_tempPath).constData(), constantMemory ? 1 : 0,
                    constantMemory ? tmpdir.constData() : nullptr);
    if (!m_book)
        fail(QStringLiteral("The workbook could not be started"));
}

XlsxBook::~XlsxBook()
{
    if (m_book) {
        char error[256] = {};
        module().close(m_book, error, sizeof error);
    }
    if (!m_tempPath.isEmpty())
        QFile::remove(m_tempPath);
}

bool XlsxBook::fail(const QString &what)
{
    if (m_error.isEmpty())
        m_error = what;
    return false;
}

QString XlsxBook::cleanSheetName(const QString &name, uint wellId, QSet<QString> &used)
{
    QString base = CleanName::replaced(name, QStringLiteral("[]:*?/\\"), false);
    while (base.startsWith(QLatin1Char('\'')))
        base.remove(0, 1);
    while (base.endsWith(QLatin1Char('\'')))
        base.chop(1);
    if (base.isEmpty())
        base = QStringLiteral("Well %1").arg(wellId);
    return CleanName::unique(base, used, [](const QString &text, const QString &suffix) {
        // Cutting may leave an apostrophe at the end again.
        QString cut = text.left(31 - suffix.size());
        while (cut.endsWith(QLatin1Char('\'')))
            cut.chop(1);
        return cut + suffix;
    });
}

bool XlsxBook::addSheet(const QString &name, uint wellId)
{
    if (!m_book)
        return fail(QStringLiteral("No workbook"));
    const QString clean = cleanSheetName(name, wellId, m_usedNames);
    const int sheet = module().addSheet(m_book, clean.toUtf8().constData());
    if (sheet < 0)
        return fail(QStringLiteral("The sheet name \"%1\" was refused").arg(clean));
    m_sheet = sheet;
    m_sheetName = clean;
    return true;
}

int XlsxBook::styleIndex(const Style &style)
{
    // A library format is a shared handle resolved at close: changing one in place would
    // recolour every cell written with it, so each distinct style gets its own.
    const quint64 font = style.font.rgb() & 0xFFFFFFu;
    const quint64 fill = style.fill.isValid() ? (style.fill.rgb() & 0xFFFFFFu) | 0x1000000u : 0;
    const quint64 key = quint64(style.bold) | quint64(style.border) << 1 | font << 2 | fill << 26;
    auto it = m_styles.constFind(key);
    if (it != m_styles.constEnd())
        return *it;
    const int index = module().addFormat(m_book, style.bold, style.border, uint(font),
                                         style.fill.isValid() ? int(fill & 0xFFFFFFu) : -1);
    m_styles.insert(key, index);
    return index;
}

bool XlsxBook::writeString(int row, int column, const QString &text, const Style &style)
{
    if (!m_book || m_sheet < 0 || row < 1 || column < 1)
        return fail(QStringLiteral("Cell %1,%2 cannot be written").arg(row).arg(column));
    if (module().writeString(m_book, m_sheet, unsigned(row - 1), unsigned(column - 1), text.toUtf8().constData(),
                             styleIndex(style))
        != 0)
        return fail(QStringLiteral("Cell %1,%2 was refused").arg(row).arg(column));
    return true;
}

bool XlsxBook::writeNumber(int row, int column, double value, const Style &style)
{
    if (!m_book || m_sheet < 0 || row < 1 || column < 1)
        return fail(QStringLiteral("Cell %1,%2 cannot be written").arg(row).arg(column));
    if (module().writeNumber(m_book, m_sheet, unsigned(row - 1), unsigned(column - 1), value, styleIndex(style)) != 0)
        return fail(QStringLiteral("Cell %1,%2 was refused").arg(row).arg(column));
    return true;
}

bool XlsxBook::writeNumbers(int row, int column, const double *values, int count, const Style &style)
{
    if (!m_book || m_sheet < 0 || row < 1 || column < 1 || count < 0 || (count > 0 && !values))
        return fail(QStringLiteral("Cells from %1,%2 cannot be written").arg(row).arg(column));
    if (module().writeNumbers(m_book, m_sheet, unsigned(row - 1), unsigned(column - 1), values, unsigned(count),
                              styleIndex(style))
        != 0)
        return fail(QStringLiteral("Cells from %1,%2 were refused").arg(row).arg(column));
    return true;
}

bool XlsxBook::setColumnWidth(int column, double width)
{
    if (!m_book || m_sheet < 0 || column < 1)
        return fail(QStringLiteral("Column %1 cannot be sized").arg(column));
    return module().setColumn(m_book, m_sheet, unsigned(column - 1), width) == 0
        || fail(QStringLiteral("Column %1 was refused").arg(column));
}

bool XlsxBook::mergeCells(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString &text,
                          const Style &style)
{
    if (firstRow > lastRow || firstColumn > lastColumn)
        return fail(QStringLiteral("A reversed range cannot be merged"));
    if (firstRow == lastRow && firstColumn == lastColumn)
        return writeString(firstRow, firstColumn, text, style);
    if (!m_book || m_sheet < 0 || firstRow < 1 || firstColumn < 1)
        return fail(QStringLiteral("No sheet to merge in"));
    return module().merge(m_book, m_sheet, unsigned(firstRow - 1), unsigned(firstColumn - 1), unsigned(lastRow - 1),
                          unsigned(lastColumn - 1), text.toUtf8().constData(), styleIndex(style))
            == 0
        || fail(QStringLiteral("The range %1,%2:%3,%4 was refused").arg(firstRow).arg(firstColumn).arg(lastRow).arg(lastColumn));
}

bool XlsxBook::save(const QString &path)
{
    if (!m_book) {
        fail(QStringLiteral("No workbook"));
    } else {
        char error[256] = {};
        const bool closed = module().close(m_book, error, sizeof error) == 0;
        m_book = nullptr;
        if (!closed)
            fail(QStringLiteral("The workbook could not be written: %1").arg(QString::fromUtf8(error)));
    }
    if (m_error.isEmpty()) {
        QFile::remove(path);
        if (QFile::rename(m_tempPath, path)) {
            m_tempPath.clear();
            return true;
        }
        fail(QStringLiteral("The workbook could not be renamed to %1").arg(path));
    }
    if (!m_tempPath.isEmpty())
        QFile::remove(m_tempPath);
    m_tempPath.clear();
    return false;
}
