#include "app/PhysiologyDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>

#include "geometry/NumberText.h"

namespace vantrel {

QString CheckPhysiologyNumber(const QString& text, double minimum, bool allowMinimum,
                              double* value) {
    if (ReadBoundedNumber(text.trimmed().toStdString(), minimum, allowMinimum, *value))
        return QString();
    return QString::fromStdString(BoundedNumberRefusal(text.toStdString(), allowMinimum));
}

namespace {

QLineEdit* NumberEdit(double value) {
    // Shortest text that reads back exactly, without the locale.
    std::string text;
    AppendShortest(text, value);
    return new QLineEdit(QString::fromStdString(text));
}

}  // namespace

PhysiologyDlg::PhysiologyDlg(const PhysiologySettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle("Physiology");
    setObjectName("PhysiologyDlg");
    unitBox = new QComboBox;
    for (LengthUnit unit : {LengthUnit::kMicrometre, LengthUnit::kMillimetre,
                            LengthUnit::kCentimetre, LengthUnit::kMetre}) {
        unitBox->addItem(LengthUnitName(unit));
    }
    unitBox->setCurrentText(LengthUnitName(settings.meshUnit));
    purkinjeEdit = NumberEdit(settings.purkinjeVelocity);
    myocardialEdit = NumberEdit(settings.myocardialVelocity);
    pmjDelayEdit = NumberEdit(settings.pmjDelay);
    message = new QLabel;
    message->setStyleSheet("color: #b00000");
    auto* form = new QFormLayout;
    form->addRow("Heart file unit", unitBox);
    form->addRow("Purkinje velocity (m/s)", purkinjeEdit);
    form->addRow("Myocardial velocity (m/s)", myocardialEdit);
    form->addRow("PMJ delay (ms)", pmjDelayEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message);
    layout->addWidget(buttons);
}

void PhysiologyDlg::accept() {
    PhysiologySettings read = settings_;
    ParseLengthUnit(unitBox->currentText().toStdString(), read.meshUnit);
    struct Field {
        const char* name;
        QLineEdit* edit;
        bool allowZero;
        double* target;
    };
    const Field fields[] = {
        {"Purkinje velocity", purkinjeEdit, false, &read.purkinjeVelocity},
        {"Myocardial velocity", myocardialEdit, false, &read.myocardialVelocity},
        {"PMJ delay", pmjDelayEdit, true, &read.pmjDelay},
    };
    for (const Field& field : fields) {
        const QString error =
            CheckPhysiologyNumber(field.edit->text(), 0.0, field.allowZero, field.target);
        if (!error.isEmpty()) {
            message->setText(QString("%1: %2").arg(field.name, error));
            field.edit->setFocus();
            return;
        }
    }
    settings_ = read;
    QDialog::accept();
}

}  // namespace vantrel
