#include "app/GrowthParameterDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace vantrel {
namespace {

QSlider* AddSlider(QVBoxLayout* layout, const QString& label, const QString& name) {
    QLabel* text = new QLabel(label);
    text->setAlignment(Qt::AlignHCenter);
    layout->addWidget(text);
    QSlider* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(0, 100);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(slider);
    return slider;
}

}  // namespace

GrowthParameterDlg::GrowthParameterDlg(GrowthParameters& parameters, QWidget* parent)
    : QDialog(parent), parameters_(parameters) {
    setWindowTitle("Parameter Dialog");
    setModal(false);
    QVBoxLayout* layout = new QVBoxLayout(this);
    segmentResolution_ = AddSlider(layout, "Segment Resolution (1-100)", "SegmentResolution");
    gradientDirectionRate_ =
        AddSlider(layout, "Gradient Direction Rate (0-1.0)", "GradientDirectionRate");
    randomDirectionRate_ =
        AddSlider(layout, "Random Direction Rate (0-1.0)", "RandomDirectionRate");
    setMinimumWidth(380);
    ShowParameters(parameters_);
    for (QSlider* slider : {segmentResolution_, gradientDirectionRate_, randomDirectionRate_}) {
        connect(slider, &QSlider::valueChanged, this, [this] { WriteParameters(); });
    }
}

int GrowthParameterDlg::SegmentResolutionPosition(const GrowthParameters& parameters) {
    return parameters.SegmentResolution - 2;
}

int GrowthParameterDlg::RatePosition(double rate) {
    return static_cast<int>(rate * 100);
}

void GrowthParameterDlg::ShowParameters(const GrowthParameters& parameters) {
    const QSignalBlocker blockResolution(segmentResolution_);
    const QSignalBlocker blockGradient(gradientDirectionRate_);
    const QSignalBlocker blockRandom(randomDirectionRate_);
    segmentResolution_->setValue(SegmentResolutionPosition(parameters));
    gradientDirectionRate_->setValue(RatePosition(parameters.GradientDirectionRate));
    randomDirectionRate_->setValue(RatePosition(parameters.RandomDirectionRate));
}

void GrowthParameterDlg::WriteParameters() {
    parameters_.SegmentResolution = segmentResolution_->value() + 2;
    parameters_.GradientDirectionRate = gradientDirectionRate_->value() / 100.0;
    parameters_.RandomDirectionRate = randomDirectionRate_->value() / 100.0;
}

void GrowthParameterDlg::keyPressEvent(QKeyEvent* event) {
    // Enter hides the dialog like Escape (it has no buttons to press).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace vantrel
