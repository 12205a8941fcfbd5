#pragma once
// Saved packages must open in standard zip tools, not only in the zip library the program uses.
#include <QString>
#include <QtTest>

namespace LumaraTest {

// Reads the package with Python's zipfile, with the password its "password" entry holds: every
// entry must read whole with its checksum, and the entries and checksums must be those the
// program's zip library lists. Empty when so, else what went wrong.
QString standardZipCheck(const QString &path);

} // namespace LumaraTest

#define LUMARA_VERIFY_STANDARD_ZIP(path)                                                            \
    do {                                                                                           \
        const QString zipProblem_ = LumaraTest::standardZipCheck(path);                            \
        QVERIFY2(zipProblem_.isEmpty(), qPrintable(zipProblem_));                                  \
    } while (false)
