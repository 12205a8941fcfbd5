// mkresources: draws the pictures of the program's resources and writes the resource
// collection that the resource compiler reads.
//
//   mkresources --out DIR [--static LIST] [--qrc FILE] [--ico FILE]
//
// DIR receives every picture and computed text of the tables under its resource path. LIST
// names the files kept in the source tree (one "alias<TAB>path" a line); FILE gets a
// collection of those files and the made ones under the prefix "/". --ico writes the
// program's icon file.
#include "picturetable.h"
#include "texttable.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

#include <cstdio>

using namespace MkResources;

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "mkresources: %s\n", qPrintable(text));
    return 1;
}

bool makeFolderOf(const QString &path, QString *error)
{
    if (QDir().mkpath(QFileInfo(path).absolutePath()))
        return true;
    *error = QStringLiteral("cannot make the folder of %1").arg(path);
    return false;
}

bool writeImage(const QImage &image, const QString &path, const QByteArray &format, QString *error)
{
    if (!makeFolderOf(path, error))
        return false;
    QImageWriter writer(path, format);
    if (!writer.write(image)) {
        *error = QStringLiteral("%1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

bool writeText(const QByteArray &content, const QString &path, QString *error)
{
    if (!makeFolderOf(path, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString escaped(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('"'), QLatin1String("&quot;"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawn without a display, the same on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the pictures of the program's resources."));
    parser.addHelpOption();
    const QCommandLineOption outOption("out", "Folder for the drawn pictures.", "dir");
    const QCommandLineOption staticOption("static", "Source files to collect: alias<TAB>path a line.", "list");
    const QCommandLineOption qrcOption("qrc", "Resource collection to write.", "file");
    const QCommandLineOption icoOption("ico", "Program icon file to write.", "file");
    parser.addOptions({outOption, staticOption, qrcOption, icoOption});
    parser.process(app);
    if (!parser.isSet(outOption))
        return fail(QStringLiteral("--out is required"));

    const QDir out(parser.value(outOption));
    QString error;
    // alias -> file, in the order written
    QVector<QPair<QString, QString>> entries;
    QSet<QString> aliases;

    if (parser.isSet(staticOption)) {
        QFile list(parser.value(staticOption));
        if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot read %1").arg(list.fileName()));
        QTextStream in(&list);
        in.setCodec("UTF-8");
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (line.isEmpty())
                continue;
            const QStringList parts = line.split(QLatin1Char('\t'));
            if (parts.size() != 2)
                return fail(QStringLiteral("bad line in %1: %2").arg(list.fileName(), line));
            entries.append({parts[0], parts[1]});
            aliases.insert(parts[0]);
        }
    }

    for (const Picture &picture : pictures()) {
        const QString alias = QString::fromLatin1(picture.path);
        if (aliases.contains(alias))
            return fail(QStringLiteral("%1 is both drawn and a source file").arg(alias));
        aliases.insert(alias);
        const QString file = out.filePath(alias);
        if (!writeImage(render(picture), file, "png", &error))
            return fail(error);
        entries.append({alias, file});
    }

    for (const TextResource &text : texts()) {
        const QString alias = QString::fromLatin1(text.path);
        if (aliases.contains(alias))
            return fail(QStringLiteral("%1 is both written and another resource").arg(alias));
        aliases.insert(alias);
        const QString file = out.filePath(alias);
        if (!writeText(text.make(), file, &error))
            return fail(error);
        entries.append({alias, file});
    }

    if (parser.isSet(icoOption) && !writeImage(programIcon(), parser.value(icoOption), "ico", &error))
        return fail(error);

    if (parser.isSet(qrcOption)) {
        QSaveFile qrc(parser.value(qrcOption));
        if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text))
            return fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
        QTextStream s(&qrc);
        s.setCodec("UTF-8");
        s << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
        for (const auto &entry : entries)
            s << "  <file alias=\"" << escaped(entry.first) << "\">" << escaped(entry.second) << "</file>\n";
        s << "</qresource>\n</RCC>\n";
        s.flush();
        if (!qrc.commit())
            return fail(QStringLiteral("cannot write %1").arg(qrc.fileName()));
    }
    return 0;
}
