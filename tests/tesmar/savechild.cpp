// A child process for the save tests: saves under a file-size limit, saves until it is killed,
// or opens a package and reports its peak memory.
//   savechild save <source> <target> [--begin] [--fsize BYTES]
//   savechild loop <source> <target>
//   savechild open <package>
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "pcranalysisdocument.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: savechild save|loop|open ...\n");
    return 2;
}

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    PcrAnalysisDocument *doc = PcrAnalysisDocument::getInstance();
    const QString mode = args.at(0);

    if (mode == QLatin1String("open") && args.size() == 2) {
        const bool opened = doc->open(args.at(1));
        int nulls = 0;
        if (opened)
            for (const auto &well : doc->getAnalysisDataMgr()->getAnalysisExpMgr()->getWellDrpltImgInfos())
                for (const QImage &image : well.images)
                    nulls += image.isNull() ? 1 : 0;
        struct rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("opened %d nulls %d peak %ld\n", opened ? 1 : 0, nulls, long(usage.ru_maxrss));
        return 0;
    }
    if (args.size() < 3)
        return usage();
    if (!doc->open(args.at(1))) {
        say("not opened");
        return 3;
    }
    const QString target = args.at(2);

    if (mode == QLatin1String("loop")) {
        say("ready");
        for (;;)
            say(doc->save(target) ? "saved 1" : "saved 0");
    }
    if (mode != QLatin1String("save"))
        return usage();
    if (args.contains(QLatin1String("--begin")))
        doc->beginSaveFile();
    const int at = args.indexOf(QLatin1String("--fsize"));
    if (at > 0 && at + 1 < args.size()) {
        // Writing past the limit then fails with an error instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = rlim_t(args.at(at + 1).toLongLong());
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            say("no limit");
            return 4;
        }
    }
    const bool saved = doc->save(target);
    doc->endSaveFile();
    say(saved ? "saved 1" : "saved 0");
    return 0;
}
