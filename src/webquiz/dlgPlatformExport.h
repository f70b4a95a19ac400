#pragma once
// "Export for Learning Platform": asks for the package's pass mark and, when
// the menu item is used (not Export As with a version's filter), for its
// SCORM version.

#include "webquiz/ScormPackage.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QSpinBox;

class dlgPlatformExport : public QDialog {
    Q_OBJECT
public:
    dlgPlatformExport(QWidget *owner, const ScormSettings &initial, bool chooseVersion);

    ScormSettings settings() const;

    // The settings chosen, or none when the dialog was cancelled.
    static std::optional<ScormSettings> ask(QWidget *owner, const ScormSettings &initial, bool chooseVersion);

private:
    QSpinBox *spnPassMark;
    QComboBox *cboVersion;
    ScormSettings m_initial;
    bool m_chooseVersion;
};
