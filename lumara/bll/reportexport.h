#pragma once
// The facade's report-export object. The export page writes its workbooks and images itself;
// this object only has its place among the facade's children.
#include <QObject>

class ReportExport : public QObject {
    Q_OBJECT
public:
    explicit ReportExport(QObject *parent = nullptr) : QObject(parent) {}
};
