#pragma once
// "Parameter Dialog": a modeless window with three sliders (0 to 100) through which
// the user sets the three numeric growth parameters while the program runs. Every
// change of any slider writes all three parameters from the three positions:
//   SegmentResolution     = position + 2        (2 to 102)
//   GradientDirectionRate = position / 100.0    (0.0 to 1.0)
//   RandomDirectionRate   = position / 100.0    (0.0 to 1.0)
// Each slider shows its parameter's value and range beside it; "Defaults" puts the
// three parameters back to their start values. Closing it (window button, Escape or
// Enter) only hides it.
#include <QDialog>
#include <functional>

#include "growth/GrowthParameters.h"

class QLabel;
class QPushButton;
class QSlider;

namespace vantrel {

class GrowthParameterDlg : public QDialog {
public:
    // Created hidden, without a parent; the sliders start at the positions of the
    // current parameters. `parameters` must outlive the dialog.
    explicit GrowthParameterDlg(GrowthParameters& parameters, QWidget* parent = nullptr);

    // Moves the sliders to the positions of `parameters` without writing anything
    // (used when a scene file brings its own parameters).
    void ShowParameters(const GrowthParameters& parameters);

    QSlider* segmentResolutionSlider() const { return segmentResolution_; }
    QSlider* gradientDirectionRateSlider() const { return gradientDirectionRate_; }
    QSlider* randomDirectionRateSlider() const { return randomDirectionRate_; }
    // The value shown beside each slider, top to bottom.
    QLabel* valueLabel(int index) const { return values_[index]; }
    QPushButton* defaultsButton() const { return defaults_; }

    // Called after every change of the parameters by the dialog.
    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    // Slider positions of a parameter record, each truncated towards zero.
    static int SegmentResolutionPosition(const GrowthParameters& parameters);
    static int RatePosition(double rate);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void WriteParameters();
    void ShowValues(const GrowthParameters& parameters);
    void RestoreDefaults();

    GrowthParameters& parameters_;
    QSlider* segmentResolution_;
    QSlider* gradientDirectionRate_;
    QSlider* randomDirectionRate_;
    QLabel* values_[3] = {};
    QPushButton* defaults_;
    std::function<void()> onChange_;
};

}  // namespace vantrel
