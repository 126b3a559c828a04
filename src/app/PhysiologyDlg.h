#pragma once
// The "Physiology..." dialog: the heart file's length unit, the Purkinje and
// myocardial conduction velocities (m/s) and the PMJ delay (ms). Numbers are read
// locale-free with vantrel-grow's limits and messages (velocities "a finite number
// above 0", the delay "a finite number 0 or more"); OK with a refused value keeps
// the dialog open and names the field.
#include <QDialog>

#include "growth/PhysiologySettings.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vantrel {

class PhysiologyDlg : public QDialog {
public:
    PhysiologyDlg(const PhysiologySettings& settings, QWidget* parent);
    // The accepted values (the root delays of the settings given are kept).
    const PhysiologySettings& Settings() const { return settings_; }

    QComboBox* unitBox = nullptr;
    QLineEdit* purkinjeEdit = nullptr;
    QLineEdit* myocardialEdit = nullptr;
    QLineEdit* pmjDelayEdit = nullptr;
    QLabel* message = nullptr;

    void accept() override;

private:
    PhysiologySettings settings_;
};

// Reads `text` as vantrel-grow does: the whole text a finite number above `minimum`
// (or equal to it when `allowMinimum`). Empty string when it is, else the message.
QString CheckPhysiologyNumber(const QString& text, double minimum, bool allowMinimum,
                              double* value);

}  // namespace vantrel
