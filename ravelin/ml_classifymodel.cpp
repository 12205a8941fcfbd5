#include "ml_classifymodel.h"

#include "lbpfearture.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/ml.hpp>
#include <opencv2/objdetect.hpp>

#include <fstream>

class ML_ClassifyModelPrivate {
public:
    cv::Ptr<cv::ml::SVM> svm;
    cv::Ptr<cv::ml::RTrees> rtrees;
    int modelKind = ML_ClassifyModel::NoModel;
    int featureType = ML_ClassifyModel::LbpFeature;
};

ML_ClassifyModel::ML_ClassifyModel() : d(std::make_shared<ML_ClassifyModelPrivate>()) {}

int ML_ClassifyModel::modelKind() const
{
    return d->modelKind;
}

int ML_ClassifyModel::featureType() const
{
    return d->featureType;
}

int ML_ClassifyModel::loadModel(const std::string &path, int featureType, std::string &error)
{
    d->featureType = featureType;
    if (!std::ifstream(path).good()) {
        error = "cannot open " + path;
        return NoModel;
    }
    // Algorithm::load gives an empty pointer, without throwing, for a file that opens but
    // holds no model of the asked kind: that is a failure as much as an exception.
    try {
        cv::Ptr<cv::ml::SVM> svm = cv::Algorithm::load<cv::ml::SVM>(path);
        if (svm && svm->isTrained()) {
            d->svm = svm;
            d->rtrees.release();
            d->modelKind = SvmModel;
            error.clear();
            return SvmModel;
        }
        error = "no support-vector machine in " + path;
    } catch (const cv::Exception &e) {
        error = e.what();
    }
    try {
        cv::Ptr<cv::ml::RTrees> trees = cv::Algorithm::load<cv::ml::RTrees>(path);
        if (trees && trees->isTrained()) {
            d->rtrees = trees;
            d->svm.release();
            d->modelKind = RTreesModel;
            error.clear();
            return RTreesModel;
        }
        error = "no random-trees model in " + path;
    } catch (const cv::Exception &e) {
        error = e.what();
    }
    return NoModel;
}

cv::Mat ML_ClassifyModel::featureRow(const cv::Mat &roi, int featureType)
{
    if (roi.empty() || roi.type() != CV_8UC1)
        return cv::Mat();
    try {
        return featureRowOf(roi, featureType);
    } catch (const cv::Exception &) {
        return cv::Mat();
    }
}

cv::Mat ML_ClassifyModel::featureRowOf(const cv::Mat &roi, int featureType)
{
    cv::Mat small, smooth, equal, img;
    cv::resize(roi, small, cv::Size(32, 32), 0, 0, cv::INTER_LINEAR);
    cv::blur(small, smooth, cv::Size(3, 3));
    cv::equalizeHist(smooth, equal);
    cv::GaussianBlur(equal, img, cv::Size(3, 3), 1.5, 1.5);
    if (featureType == HogFeature) {
        cv::HOGDescriptor hog(cv::Size(32, 32), cv::Size(8, 8), cv::Size(4, 4), cv::Size(4, 4), 6, 1, -1,
                              cv::HOGDescriptor::L2Hys, 0.2, false, 64, false);
        std::vector<float> values;
        hog.compute(img, values);
        return cv::Mat(values, true).reshape(1, 1);
    }
    if (featureType == LbpFeature) {
        LBPFearture lbp(nullptr);
        cv::Mat codes;
        lbp.circularLbp(img, codes, 3, 8);
        cv::Mat row;
        codes.reshape(1, 1).convertTo(row, CV_32F);
        return row;
    }
    return cv::Mat();
}

int ML_ClassifyModel::predict(const cv::Mat &roi)
{
    if (d->modelKind == NoModel)
        return 1;
    try {
        const cv::Mat row = featureRow(roi, d->featureType);
        if (row.empty())
            return 1;
        float out = 1.0f;
        if (d->modelKind == SvmModel && d->svm)
            out = d->svm->predict(row, cv::noArray(), 0);
        else if (d->modelKind == RTreesModel && d->rtrees)
            out = d->rtrees->predict(row);
        else
            return 1;
        return int(out);
    } catch (const cv::Exception &) {
        // A feature row that does not fit the model (a model trained on the other kind)
        // confirms nothing.
        return 1;
    }
}
