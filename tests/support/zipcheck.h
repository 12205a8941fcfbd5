#pragma once
// Saved packages must open in standard zip tools, not only in the zip library the program uses.
#include <QString>
#include <QtTest>

namespace LumaraTest {

// Reads the package with Python's zipfile, with the password its "password" entry holds: every
// entry must read with its checksum, and the entries and checksums must be those the program's
// zip library lists. Empty when so, else what went wrong. Python decrypts slowly: large
// encrypted entries are read in their first kilobytes only unless `whole` is set.
QString standardZipCheck(const QString &path, bool whole = false);

} // namespace LumaraTest

#define LUMARA_VERIFY_STANDARD_ZIP(path)                                                            \
    do {                                                                                           \
        const QString zipProblem_ = LumaraTest::standardZipCheck(path);                            \
        QVERIFY2(zipProblem_.isEmpty(), qPrintable(zipProblem_));                                  \
    } while (false)
