#pragma once
// The command-line options of the well shapes, shared by the generator and the end-to-end
// driver: one for every target of every well (--rain 0.05), and one per well and target
// (--well-rain 3:Target-FAM=0.05).
#include "generator.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <functional>
#include <vector>

namespace MkPackage {

class ShapeCommandLine {
public:
    ShapeCommandLine();

    void addTo(QCommandLineParser &parser) const;
    // The options given, into options->shape and options->wellShapes (wells 1 to
    // options->wells); false with a message naming the option when a value cannot be read.
    bool read(const QCommandLineParser &parser, GeneratorOptions *options, QString *error) const;

    // "W:rest" with W a well number from 1 to `wells`: its 0-based index and the rest.
    static bool splitWell(const QString &text, int wells, int *index, QString *rest);

private:
    struct Field {
        QCommandLineOption run;
        QCommandLineOption well;
        // Reads a value into the shape; false when it is not one.
        std::function<bool(const QString &, ShapeOptions *)> set;
    };
    std::vector<Field> m_fields;
};

} // namespace MkPackage
