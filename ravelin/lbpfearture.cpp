#include "lbpfearture.h"

#include <cmath>

LBPFearture::LBPFearture(QObject *parent) : QObject(parent) {}

LBPFearture::~LBPFearture() = default;

const std::array<uchar, 256> &LBPFearture::uniformTable()
{
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        uchar label = 1;
        for (int code = 0; code < 256; ++code) {
            int changes = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int a = (code >> bit) & 1;
                const int b = (code >> ((bit + 1) % 8)) & 1;
                changes += a != b;
            }
            t[size_t(code)] = changes <= 2 ? label++ : 0;
        }
        return t;
    }();
    return table;
}

void LBPFearture::circularLbp(cv::InputArray srcArr, cv::OutputArray dstArr, int radius, int neighbors)
{
    const cv::Mat src = srcArr.getMat();
    if (src.empty() || src.type() != CV_8UC1 || radius < 1 || neighbors < 1 || neighbors > 8
        || src.rows <= 2 * radius || src.cols <= 2 * radius) {
        dstArr.release();
        return;
    }
    dstArr.create(src.rows - 2 * radius, src.cols - 2 * radius, CV_8UC1);
    cv::Mat dst = dstArr.getMat();
    dst.setTo(0);
    const double pi = 3.14159265358979323846;
    for (int n = 0; n < neighbors; ++n) {
        const double theta = 2.0 * pi * n / neighbors;
        const float a = float(radius * std::cos(theta));
        const float b = float(-(radius * std::sin(theta)));
        const int fa = int(std::floor(a)), ca = int(std::ceil(a));
        const int fb = int(std::floor(b)), cb = int(std::ceil(b));
        const float ta = a - float(fa), tb = b - float(fb);
        const float w1 = (1 - ta) * (1 - tb);
        const float w2 = ta * (1 - tb);
        const float w3 = (1 - ta) * tb;
        const float w4 = ta * tb;
        const uchar bit = uchar(1u << (neighbors - 1 - n));
        for (int i = radius; i < src.rows - radius; ++i) {
            const uchar *centre = src.ptr<uchar>(i);
            const uchar *rf = src.ptr<uchar>(i + fa);
            const uchar *rc = src.ptr<uchar>(i + ca);
            uchar *out = dst.ptr<uchar>(i - radius);
            for (int j = radius; j < src.cols - radius; ++j) {
                const float t = w1 * rf[j + fb] + w2 * rf[j + cb] + w3 * rc[j + fb] + w4 * rc[j + cb];
                if (t > float(centre[j]))
                    out[j - radius] |= bit;
            }
        }
    }
    const std::array<uchar, 256> &table = uniformTable();
    for (int i = 0; i < dst.rows; ++i) {
        uchar *row = dst.ptr<uchar>(i);
        for (int j = 0; j < dst.cols; ++j)
            row[j] = table[row[j]];
    }
}
