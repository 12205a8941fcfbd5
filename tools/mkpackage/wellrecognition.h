#pragma once
// The program's droplet recognition over the rendered images of one well, its analyser
// configured as the program's analyser set-up configures it for the run's chips: the data
// folder's template and kernel for the droplet volume and image size, the parameters the
// package carries and the package's flat field. What it finds is what an instrument running
// the same recognition stores.
#include "runplan.h"

#include "analysisrecords.h"

#include <opencv2/core.hpp>

namespace MkPackage {

class WellRecognition {
public:
    struct Found {
        bool valid = false;
        QVector<DropletAnalysisInfo> droplets; // by row, then column
        double sharpness = 0.0;
        int saturated = 0;
    };

    // False with a message when the template or the kernel cannot be read (the analyser reads
    // them anew for every well). flatField: the package's flat field (CV_32FC1), one image
    // block large.
    bool setUp(const QString &dataFolder, int volume, int imageWidth, const QByteArray &parameters,
               const cv::Mat &flatField, QString *error);

    // The droplets of a well whose 16-bit channel images (null: no image) are stored as `blocks`
    // sets, each set recognised apart as the program does. Thread-safe.
    Found recognise(const std::array<QImage, ChannelCount> &images, int blocks) const;

    // The sharpness the analysis gives the reference image as stored (its first set).
    static double sharpness(const QImage &reference, int blocks);

private:
    QString m_template;
    QString m_kernel;
    QString m_model;
    QByteArray m_parameters;
    cv::Mat m_flatField16; // the flat field as a fraction of the 16-bit scale, as raw images carry it
};

} // namespace MkPackage
