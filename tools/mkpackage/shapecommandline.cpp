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

// "tail:SHARE" or "shelf:SHARE", with an optional ":DEPTH" as a multiple of the negatives' level.
bool lowerTail(const QString &text, ShapeOptions *shape)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const bool shelf = parts[0] == QLatin1String("shelf");
    if ((parts.size() != 2 && parts.size() != 3) || (!shelf && parts[0] != QLatin1String("tail")))
        return false;
    shape->lowerShelf = shelf;
    return number(parts[1], &shape->lowerTail) && (parts.size() == 2 || number(parts[2], &shape->lowerDepth));
}

// "FROM:TO" with an optional ":HUMPS".
bool plateau(const QString &text, ShapeOptions *shape)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    return (parts.size() == 2 || parts.size() == 3) && number(parts[0], &shape->plateauFrom)
           && number(parts[1], &shape->plateauTo) && (parts.size() == 2 || number(parts[2], &shape->plateauHumps));
}

// "M:S,M:S...": each level's multiple of the negatives' level and its share.
bool levels(const QString &text, ShapeOptions *shape)
{
    std::vector<LumaraSynth::WellShape::Level> read;
    for (const QString &item : text.split(QLatin1Char(','))) {
        const QStringList parts = item.split(QLatin1Char(':'));
        std::optional<double> multiple, share;
        if (parts.size() != 2 || !number(parts[0], &multiple) || !number(parts[1], &share))
            return false;
        read.push_back({*multiple, *share});
    }
    shape->levels = read;
    return true;
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
        {"lower-tail", "Negatives trailing down: tail:SHARE[:DEPTH] (thinning out towards DEPTH times their level, "
                       "default 0.4), or shelf:SHARE[:DEPTH] (spread evenly down to it). They count negative.",
         "tail", lowerTail},
        {"plateau", "Positives spread over a plateau, FROM:TO[:HUMPS] times the negatives' level, instead of one "
                    "cluster; with HUMPS, half of them in that many humps across it.",
         "plateau", plateau},
        {"levels", "Positives in levels instead of one cluster, M:S[,M:S...]: each at M times the negatives' level "
                   "with a share S of the droplets (the target's fraction is then not used).",
         "levels", levels},
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
