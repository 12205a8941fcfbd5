#pragma once
// Droplet classifier: a cv::ml SVM or random-trees model over HOG or LBP features of a small
// 8-bit cut-out. Class 0 means the cut-out shows no droplet.
#include "ravelin_global.h"

#include <opencv2/core.hpp>

#include <memory>
#include <string>

class ML_ClassifyModelPrivate;

class RAVELIN_EXPORT ML_ClassifyModel {
public:
    enum FeatureType { HogFeature = 0, LbpFeature = 1 };
    enum ModelKind { SvmModel = 0, RTreesModel = 1, NoModel = 2 };

    ML_ClassifyModel();

    // 0: SVM loaded, 1: random trees loaded, 2: nothing loaded (`error` says why).
    int loadModel(const std::string &path, int featureType, std::string &error);
    // Predicted class of an 8-bit single-channel cut-out; 1 when no model is loaded or the
    // cut-out cannot be classified.
    int predict(const cv::Mat &roi);

    int modelKind() const;
    int featureType() const;

    // The feature row (one row of 32-bit floats) that predict feeds the model: 1176 HOG
    // values or 676 LBP codes. Empty for an unusable cut-out or an unknown feature type.
    // Training uses exactly this.
    static cv::Mat featureRow(const cv::Mat &roi, int featureType);

private:
    static cv::Mat featureRowOf(const cv::Mat &roi, int featureType);
    std::shared_ptr<ML_ClassifyModelPrivate> d;
};
