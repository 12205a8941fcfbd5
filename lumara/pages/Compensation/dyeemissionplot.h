#pragma once
// The normalised emission spectra of the dyes the open experiment uses, in percent over the
// wavelength, so that the user sees where the channels overlap. Nine built-in curves; those
// whose dye a target channel names are shown.
#include "qwtbasic.h"

#include <QPointF>
#include <QString>
#include <QVector>

class QwtLegend;
class QwtPlotCurve;
class QwtPlotPicker;

class Spectrogram : public QwtBasic {
    Q_OBJECT
public:
    explicit Spectrogram(QWidget *parent = nullptr);
    ~Spectrogram() override;

    // One spectrum resource as points (wavelength, 100 x intensity). A line that does not give
    // two numbers split at tabs is skipped; a file that cannot be read gives no points.
    static QVector<QPointF> readSpectrum(const QString &path);

    // The curves shown, by title, in attach order.
    QStringList shownCurves() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private slots:
    void updateFuelShow();

private:
    struct Curve {
        QwtPlotCurve *curve = nullptr;
        QStringList dyes; // the dye names that show it
    };
    QVector<Curve> m_curves;
    QwtPlotPicker *m_picker = nullptr;
    QwtLegend *m_legend = nullptr;
};
