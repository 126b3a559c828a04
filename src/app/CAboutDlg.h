#pragma once
// The about box: "About Vantrel", the program's icon, its version line and an OK
// button; shown modally by "&About Vantrel...".
#include <QDialog>

namespace vantrel {

class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace vantrel
