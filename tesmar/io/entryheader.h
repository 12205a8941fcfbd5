#pragma once
#include "tesmar_global.h"
#include <QDataStream>
#include <QString>

// Header at the start of every typed package entry (28 bytes with null strings).
struct TESMAR_EXPORT EntryHeader {
    enum FileType : qint32 {
        FileLog = 0,
        Experiment = 1,
        AnalysisData = 2,
        DeviceParameters = 3,
        CompensationMatrix = 4,
    };

    qint32 fileType = 0;
    qint32 version = 0;
    QString reserved[3]; // written null, ignored on read
    qint64 writeTime = 0;

    void write(QDataStream &ds) const;
    bool read(QDataStream &ds);

    // A header stamped with the current time.
    static EntryHeader make(qint32 fileType, qint32 version);
};
