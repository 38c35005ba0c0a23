#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {
struct AppState;
}

namespace db {
struct TableSource;
}

namespace windows {

class MainRequests;

// Searching the catalogue: go to the first record whose field begins with a text, set a
// criteria (a field between two texts), or find the records that contain words; the last two
// put the main window into search mode. Made at its first use, then only hidden and shown
// again, keeping what the user left in it.
class FrmSearch : public QDialog {
    Q_OBJECT
  public:
    FrmSearch(app::AppState& state, MainRequests& main);

    QLabel* lblField;
    QComboBox* CmbField;
    QLabel* lblSearch_To;
    QLineEdit* txtSearchString;
    QLabel* lblFrom;
    QLineEdit* txtFrom;
    QLineEdit* txtTo;
    QGroupBox* Frame1;
    QRadioButton* optSetCriteria;
    QRadioButton* optGotoRecord;
    QRadioButton* optContains;
    QLineEdit* txtContains;  // the words, with Contains
    QPushButton* CmdSearch;
    QPushButton* CmdAbort;

    void SetSearchType(bool gotoRecord);
    void SetContainsType();
    void GetFieldName();
    QString fieldTag() const;  // CmbField's tag: the column of the search
    void CmdSearch_Click();
    void CmdAbort_Click();
    void reject() override;  // Esc is Return

  protected:
    void showEvent(QShowEvent* event) override;  // Form_Activate
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void searchFor();
    bool gotoRecordFound();
    bool criteriaFound();
    bool containsFound();
    bool resultsOpened(const std::function<db::TableSource()>& source, QLineEdit* retry);
    bool enterSearchMode(const QString& reportFilter, const QString& view);
    void returnToRecordBeforeSearch();
    bool step(const std::function<void()>& action);
    bool testOrTrue(const std::function<bool()>& test);

    app::AppState& state_;
    MainRequests& main_;
    bool stopped_ = false;         // a failure ended the search
    bool modeSetByCheck_ = false;  // the click under way checked its button, setting the mode
};

}  // namespace windows
