#include "app/GrowthParameterDlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace vantrel {
namespace {

// A labelled slider row: the slider, then its value and its range.
QSlider* AddSlider(QVBoxLayout* layout, const QString& label, const QString& name,
                   const QString& range, QLabel** value) {
    QLabel* text = new QLabel(label);
    text->setAlignment(Qt::AlignHCenter);
    layout->addWidget(text);
    QHBoxLayout* row = new QHBoxLayout;
    QSlider* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(0, 100);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setFocusPolicy(Qt::TabFocus);
    row->addWidget(slider, 1);
    *value = new QLabel;
    (*value)->setMinimumWidth(40);
    (*value)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(*value);
    QLabel* limits = new QLabel(range);
    limits->setEnabled(false);
    row->addWidget(limits);
    layout->addLayout(row);
    return slider;
}

}  // namespace

GrowthParameterDlg::GrowthParameterDlg(GrowthParameters& parameters, QWidget* parent)
    : QDialog(parent), parameters_(parameters) {
    setWindowTitle("Parameter Dialog");
    setModal(false);
    QVBoxLayout* layout = new QVBoxLayout(this);
    segmentResolution_ = AddSlider(layout, "Segment Resolution (1-100)", "SegmentResolution",
                                   "2 to 102", &values_[0]);
    gradientDirectionRate_ = AddSlider(layout, "Gradient Direction Rate (0-1.0)",
                                       "GradientDirectionRate", "0 to 1", &values_[1]);
    randomDirectionRate_ = AddSlider(layout, "Random Direction Rate (0-1.0)", "RandomDirectionRate",
                                     "0 to 1", &values_[2]);
    defaults_ = new QPushButton("Defaults");
    defaults_->setToolTip("Put the three parameters back to their start values");
    defaults_->setAutoDefault(false);
    layout->addWidget(defaults_, 0, Qt::AlignRight);
    connect(defaults_, &QPushButton::clicked, this, [this] { RestoreDefaults(); });
    setMinimumWidth(420);
    ShowParameters(parameters_);
    for (QSlider* slider : {segmentResolution_, gradientDirectionRate_, randomDirectionRate_}) {
        connect(slider, &QSlider::valueChanged, this, [this] { WriteParameters(); });
    }
}

void GrowthParameterDlg::ShowValues(const GrowthParameters& parameters) {
    values_[0]->setText(QString::number(parameters.SegmentResolution));
    values_[1]->setText(QString::number(parameters.GradientDirectionRate, 'f', 2));
    values_[2]->setText(QString::number(parameters.RandomDirectionRate, 'f', 2));
}

void GrowthParameterDlg::RestoreDefaults() {
    const GrowthParameters defaults;
    parameters_.SegmentResolution = defaults.SegmentResolution;
    parameters_.GradientDirectionRate = defaults.GradientDirectionRate;
    parameters_.RandomDirectionRate = defaults.RandomDirectionRate;
    ShowParameters(parameters_);
    if (onChange_) onChange_();
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
    ShowValues(parameters);
}

void GrowthParameterDlg::WriteParameters() {
    parameters_.SegmentResolution = segmentResolution_->value() + 2;
    parameters_.GradientDirectionRate = gradientDirectionRate_->value() / 100.0;
    parameters_.RandomDirectionRate = randomDirectionRate_->value() / 100.0;
    ShowValues(parameters_);
    if (onChange_) onChange_();
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
