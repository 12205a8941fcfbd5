// trainer <feature: hog|lbp> <model: svm|rtrees> <out.xml> [per-kind]
// Trains the droplet classifier on cut-outs of synthetic chips of every droplet volume, with
// the library's own feature rows, and reports its accuracy on cut-outs of other chips.
//
// The committed models:
//   trainer hog rtrees data/classify_droplet.xml
//   trainer lbp rtrees tests/fixtures/classify_droplet_lbp.xml
// (the parameter files select HOG features; the LBP model serves the tests).
#include "cutouts.h"
#include "ml_classifymodel.h"

#include <opencv2/ml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace LumaraSynth;

namespace {

struct Samples {
    cv::Mat features;
    cv::Mat labels; // CV_32S
    std::vector<CutoutKind> kinds;
};

Samples collect(int featureType, std::uint64_t seedBase, int perKind)
{
    Samples s;
    for (Volume v : allVolumes()) {
        const std::vector<Cutout> cuts = makeCutouts(v, seedBase + std::uint64_t(v), perKind);
        for (const Cutout &c : cuts) {
            const cv::Mat row = ML_ClassifyModel::featureRow(c.image, featureType);
            if (row.empty())
                continue;
            s.features.push_back(row);
            s.labels.push_back(c.label);
            s.kinds.push_back(c.kind);
        }
    }
    return s;
}

const char *kindName(CutoutKind k)
{
    switch (k) {
    case CutoutKind::Droplet:
        return "droplet";
    case CutoutKind::EmptyOil:
        return "empty oil";
    case CutoutKind::Haze:
        return "haze";
    case CutoutKind::BrightBlob:
        return "bright blob";
    case CutoutKind::Debris:
        return "debris";
    }
    return "?";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s hog|lbp svm|rtrees <out.xml> [per-kind]\n", argv[0]);
        return 2;
    }
    const bool hog = std::strcmp(argv[1], "hog") == 0;
    const bool svm = std::strcmp(argv[2], "svm") == 0;
    const int featureType = hog ? ML_ClassifyModel::HogFeature : ML_ClassifyModel::LbpFeature;
    const std::string out = argv[3];
    const int perKind = argc > 4 ? std::atoi(argv[4]) : 150;

    const Samples train = collect(featureType, 1, perKind);
    std::printf("training on %d cut-outs of %d features\n", train.features.rows, train.features.cols);
    cv::Ptr<cv::ml::TrainData> data = cv::ml::TrainData::create(train.features, cv::ml::ROW_SAMPLE, train.labels);

    cv::Ptr<cv::ml::StatModel> model;
    if (svm) {
        cv::Ptr<cv::ml::SVM> m = cv::ml::SVM::create();
        m->setType(cv::ml::SVM::C_SVC);
        m->setKernel(cv::ml::SVM::LINEAR);
        m->setC(0.1);
        m->setTermCriteria(cv::TermCriteria(cv::TermCriteria::MAX_ITER + cv::TermCriteria::EPS, 20000, 1e-6));
        m->train(data);
        model = m;
    } else {
        cv::Ptr<cv::ml::RTrees> m = cv::ml::RTrees::create();
        m->setMaxDepth(6);
        m->setMinSampleCount(4);
        m->setActiveVarCount(0);
        m->setCalculateVarImportance(false);
        m->setTermCriteria(cv::TermCriteria(cv::TermCriteria::MAX_ITER, 20, 0));
        m->train(data);
        model = m;
    }
    model->save(out);

    // Held-out check through the library's own loader and prediction.
    ML_ClassifyModel classifier;
    std::string error;
    if (classifier.loadModel(out, featureType, error) == ML_ClassifyModel::NoModel) {
        std::fprintf(stderr, "cannot load %s: %s\n", out.c_str(), error.c_str());
        return 1;
    }
    int right = 0, total = 0;
    int kindRight[5] = {0}, kindTotal[5] = {0};
    for (Volume v : allVolumes()) {
        for (const Cutout &c : makeCutouts(v, 90001 + std::uint64_t(v), perKind / 2)) {
            const bool ok = classifier.predict(c.image) == c.label;
            right += ok;
            ++total;
            kindRight[int(c.kind)] += ok;
            ++kindTotal[int(c.kind)];
        }
    }
    std::printf("held-out accuracy %.2f %% of %d\n", 100.0 * right / std::max(1, total), total);
    for (int k = 0; k < 5; ++k)
        std::printf("  %-12s %.2f %% of %d\n", kindName(CutoutKind(k)), 100.0 * kindRight[k] / std::max(1, kindTotal[k]),
                    kindTotal[k]);
    return 0;
}
