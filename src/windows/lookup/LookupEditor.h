#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "windows/lookup/LookupKind.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace app {
struct AppState;
}
namespace db {
class DbError;
class Recordset;
}  // namespace db
namespace platform {
class Desktop;
}

namespace windows {

class LookupList;

// An editor of one lookup list (artists, categories or formats): add a value in two steps
// (Add, then Insert), delete the value shown, and see how many there are. Every change goes
// to the table at once and to the list the main window's drop-down shares, so the two never
// differ. The three editors are this one class with their differences as data.
class LookupEditor : public QDialog {
    Q_OBJECT
  public:
    LookupEditor(const LookupKind& kind, app::AppState& state, LookupList& list, QLabel* mainStatus,
                 QWidget* owner);
    ~LookupEditor() override;

    QLabel* Label1;
    QComboBox* dropDown;
    QPushButton* CmdAdd;
    QPushButton* CmdDelete;
    QPushButton* CmdReturn;
    QLabel* lblMsgBar1;

    void CmdAdd_Click();
    void CmdDelete_Click();
    void CmdReturn_Click();
    void DisplayCount();
    // Idle with an empty text, and hidden (the artist editor is kept between openings).
    void ResetForm();
    // "AddMode" when idle, "InsertMode" while a new value is typed: the Add button's tag.
    QString mode() const;
    // Return, Esc and the window's close button alike.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void Form_Load();
    void readList();
    void readListIfUnread();
    void setMode(const char* mode);
    db::Recordset& records();
    bool inTable(const QString& value);
    std::vector<int> positionsOf(const QString& value);
    void failed(const db::DbError& error, const char* procedure);

    const LookupKind& kind_;
    app::AppState& state_;
    platform::Desktop& desktop_;
    LookupList& list_;
    QLabel* mainStatus_;
};

class FrmArtist : public LookupEditor {
    Q_OBJECT
  public:
    FrmArtist(app::AppState& state, LookupList& list, QLabel* mainStatus, QWidget* owner)
        : LookupEditor(artistKind(), state, list, mainStatus, owner) {}
};

class FrmCategory : public LookupEditor {
    Q_OBJECT
  public:
    FrmCategory(app::AppState& state, LookupList& list, QLabel* mainStatus, QWidget* owner)
        : LookupEditor(categoryKind(), state, list, mainStatus, owner) {}
};

class FrmFormat : public LookupEditor {
    Q_OBJECT
  public:
    FrmFormat(app::AppState& state, LookupList& list, QLabel* mainStatus, QWidget* owner)
        : LookupEditor(formatKind(), state, list, mainStatus, owner) {}
};

}  // namespace windows
