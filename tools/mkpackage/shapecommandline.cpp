#include "shapecommandline.h"

#include <type_traits>

namespace MkPackage {

namespace {

template <typename T>
bool number(const QString &text, std::optional<T> *out)
{
    bool ok = false;
    const T value = std::is_integral<T>::value ? T(text.toInt(&ok)) : T(text.toDouble(&ok));
    if (ok)
        *out = value;
    return ok;
}

// "lognormal:S", or "flat:SHARE" with an optional ":WIDTH" in negative deviations.
bool tail(const QString &text, ShapeOptions *shape)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() == 2 && parts[0] == QLatin1String("lognormal"))
        return number(parts[1], &shape->logNormal);
    if ((parts.size() == 2 || parts.size() == 3) && parts[0] == QLatin1String("flat"))
        return number(parts[1], &shape->flatTail) && (parts.size() == 2 || number(parts[2], &shape->flatTailWidth));
    return false;
}

} // namespace

ShapeCommandLine::ShapeCommandLine()
{
    struct Option {
        const char *name;
        const char *what;
        const char *value;
        std::function<bool(const QString &, ShapeOptions *)> set;
    };
    const Option options[] = {
        {"rain", "Share of the droplets spread evenly between the two clusters; those from their midpoint on count "
                 "positive.",
         "share", [](const QString &v, ShapeOptions *s) { return number(v, &s->rain); }},
        {"positive-cv", "Deviation of the positives over their level (default: the plain levels' spread).", "cv",
         [](const QString &v, ShapeOptions *s) { return number(v, &s->positiveCv); }},
        {"separation", "Positives this many of the negatives' deviations above the negatives (default: the plain "
                       "positive level).",
         "sd", [](const QString &v, ShapeOptions *s) { return number(v, &s->separation); }},
        {"tail", "A tail on the negatives: lognormal:SHAPE, or flat:SHARE[:WIDTH] (a share spread evenly up to WIDTH "
                 "deviations above them, default 5).",
         "tail", tail},
        {"debris", "Droplets far above every cluster, each counted positive.", "n",
         [](const QString &v, ShapeOptions *s) { return number(v, &s->debris); }},
        {"saturated", "Droplets above full scale, saturated on the images, each counted positive.", "n",
         [](const QString &v, ShapeOptions *s) { return number(v, &s->saturated); }},
    };
    for (const Option &option : options) {
        const QString name = QString::fromLatin1(option.name);
        const QString what = QString::fromLatin1(option.what);
        m_fields.push_back({QCommandLineOption(name, what + QStringLiteral(" Every target of every well."),
                                               QString::fromLatin1(option.value)),
                            QCommandLineOption(QStringLiteral("well-") + name,
                                               what + QStringLiteral(" One target of one well, W:NAME=VALUE (W from 1); "
                                                                     "repeatable, in place of the run-wide value."),
                                               QStringLiteral("plan")),
                            option.set});
    }
}

void ShapeCommandLine::addTo(QCommandLineParser &parser) const
{
    for (const Field &f : m_fields) {
        parser.addOption(f.run);
        parser.addOption(f.well);
    }
}

bool ShapeCommandLine::read(const QCommandLineParser &parser, GeneratorOptions *options, QString *error) const
{
    for (const Field &f : m_fields) {
        const QString name = f.run.names().constFirst();
        if (parser.isSet(f.run) && !f.set(parser.value(f.run), &options->shape)) {
            *error = QStringLiteral("--%1 cannot take \"%2\"").arg(name, parser.value(f.run));
            return false;
        }
        for (const QString &plan : parser.values(f.well)) {
            int index = 0;
            QString rest;
            const int equals = plan.indexOf(QLatin1Char('='));
            if (!splitWell(plan, options->wells, &index, &rest) || equals < 0
                || !f.set(rest.section(QLatin1Char('='), 1), &options->wellShapes[index][rest.section(QLatin1Char('='), 0, 0)])) {
                *error = QStringLiteral("--well-%1 needs W:NAME=VALUE with W a well, not \"%2\"").arg(name, plan);
                return false;
            }
        }
    }
    return true;
}

bool ShapeCommandLine::splitWell(const QString &text, int wells, int *index, QString *rest)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    bool ok = false;
    const int number = colon < 1 ? 0 : text.left(colon).toInt(&ok);
    if (!ok || number < 1 || number > wells)
        return false;
    *index = number - 1;
    *rest = text.mid(colon + 1);
    return true;
}

} // namespace MkPackage
