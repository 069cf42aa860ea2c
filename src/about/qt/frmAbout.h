#pragma once

// The About box: icon, title, version, what Tessaly does and whom it thanks. One shared,
// modeless instance without an owner; OK unloads it, so the next opening loads it afresh.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tessaly::about {

inline constexpr char kApplicationTitle[] = "Tessaly";
inline constexpr int kClientWidthTwips = 5730;
inline constexpr int kClientHeightTwips = 3720;

// "Version " + major.minor.revision in plain decimal; the build number is not shown.
QString VersionLine(int major, int minor, int revision);

// The version line of this program.
QString ProgramVersionLine();

} // namespace tessaly::about

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Shows the shared instance, loading it first when it is not loaded.
    static void ShowShared();
    // The loaded instance, or nullptr.
    static frmAbout* SharedInstance();

private:
    frmAbout();
    ~frmAbout() override;

    void Form_Load();
    void cmdOK_Click();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;
};
