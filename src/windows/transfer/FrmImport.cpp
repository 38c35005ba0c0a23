#include "windows/transfer/FrmImport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/SharedRoutines.h"
#include "app/text/Characters.h"
#include "catalogue/Catalogue.h"
#include "platform/ScreenFit.h"
#include "windows/controls/PopupChoice.h"
#include "windows/transfer/ImportColumns.h"

namespace windows {
namespace {

QString records(std::int64_t count) {
    return app::counted(count, "record", "records");
}

// Names after `heading`, as many as fit on a line of the window (a file may have thousands,
// or names of any length), then how many more there are.
QString namesText(const QString& heading, const QStringList& names) {
    constexpr qsizetype LineCharacters = 90;
    constexpr qsizetype NameCharacters = 30;
    QString text = heading;
    qsizetype listed = 0;
    for (const QString& name : names) {
        const QString shown = name.size() > NameCharacters
                                  ? app::leftCharacters(name, NameCharacters - 1) + "\u2026"
                                  : name;
        if (listed > 0 && text.size() + shown.size() + 2 > LineCharacters) {
            break;
        }
        text += (listed > 0 ? ", " : "") + app::isolated(shown);
        ++listed;
    }
    if (listed < names.size()) {
        text +=
            " and " + QLocale().toString(static_cast<qlonglong>(names.size() - listed)) + " more";
    }
    return text;
}

QString number(std::int64_t count) {
    return QLocale().toString(static_cast<qlonglong>(count));
}

// What each field of a file without a header became, and which columns stay empty.
QString headerlessText(const QStringList& read) {
    QStringList empty{"Artist", "Title", "Category", "Format"};
    empty.erase(empty.begin(), empty.begin() + read.size());
    QString text = "Its first line names no column: each line is read as " + read.join(", ") +
                   ", in that order";
    if (!empty.isEmpty()) {
        text += "; " + empty.join(" and ") + (empty.size() == 1 ? " is" : " are") + " left empty";
    }
    return text + ".";
}

// "To add" counts the records already there only when they are to be added again.
QString countsText(QStringList lines, const app::RecordImport& import,
                   const app::RecordImport::Preview& preview, bool leaveOut) {
    if (!import.encoding().empty() && import.encoding() != "UTF-8") {
        lines << "Read as " + QString::fromStdString(import.encoding());
    }
    if (!import.readsArtistOrTitle()) {
        lines << "Its first line names none of the columns Artist, Title, Category and Format: "
                 "choose below the columns to read, Artist or Title at least.";
    }
    lines << "To add: " + records(leaveOut ? preview.rows - preview.existing : preview.rows);
    if (preview.existing > 0) {
        lines << "Already in the catalogue with the same four values: " + records(preview.existing);
    }
    if (preview.cut > 0) {
        lines << "With a text longer than its column, to be cut: " + records(preview.cut);
    }
    if (preview.empty > 0 && import.readsArtistOrTitle()) {
        lines << "Empty rows left out: " + number(preview.empty);
    }
    if (preview.repeated > 0) {
        lines << "Releases listed again, left out: " + number(preview.repeated);
    }
    const struct {
        const char* one;
        const char* many;
        db::catalogue::Lookup list;
    } listed[] = {{"artist", "artists", db::catalogue::Lookup::Artist},
                  {"category", "categories", db::catalogue::Lookup::Category},
                  {"format", "formats", db::catalogue::Lookup::Format}};
    for (std::size_t kind = 0; kind < 3; ++kind) {
        if (const std::int64_t count = preview.tooLongForList[kind]; count > 0) {
            const auto& k = listed[kind];
            lines << app::counted(count, k.one, k.many) + " longer than the list's " +
                         QString::number(db::catalogue::lookupWidth(k.list)) + " letters " +
                         (count == 1 ? "is" : "are") + " not offered";
        }
    }
    if (!import.ignoredColumns().isEmpty()) {
        lines << namesText("Columns left out: ", import.ignoredColumns());
    }
    return lines.join('\n');
}

}  // namespace

QStringList FrmImport::aboutFile(const QString& fileName, const app::RecordImport& import) {
    QStringList lines{QFileInfo(fileName).fileName() +
                      (import.isDiscogsExport() ? QString(" (Discogs collection export)")
                                                : " (" + import.delimiterName() + " separated)")};
    if (import.headerless()) {
        lines << headerlessText(import.columnsRead());
    }
    return lines;
}

QStringList FrmImport::aboutMusicFolder(const QString& folder, const music::FolderScan& scan,
                                        const std::vector<music::Album>& albums) {
    const auto byFolder =
        std::count_if(albums.begin(), albums.end(),
                      [](const music::Album& album) { return album.namedByFolder; });
    QStringList lines{
        QDir(folder).dirName() + " (music folder): " +
        app::counted(static_cast<std::int64_t>(scan.tracks.size()), "track", "tracks") +
        " read in " + app::counted(static_cast<std::int64_t>(albums.size()), "album", "albums")};
    if (byFolder > 0) {
        lines << "Without an album tag, named by their folder: " +
                     app::counted(byFolder, "album", "albums");
    }
    if (scan.passedOver > 0) {
        lines << "Files passed over, not music: " + number(scan.passedOver);
    }
    if (!scan.unreadable.empty()) {
        QStringList names;
        for (const music::Unread& file : scan.unreadable) {
            names << file.path;
        }
        lines << namesText("Music files that could not be read (" +
                               number(static_cast<std::int64_t>(names.size())) + "): ",
                           names);
    }
    return lines;
}

QStringList FrmImport::unreadInMusicFolder(const music::FolderScan& scan) {
    QStringList lines;
    for (const music::Unread& file : scan.unreadable) {
        lines << app::isolated(file.path) + ": " + file.why;
    }
    return lines;
}

// Every file the preview could only name a few of, and why each was not read.
void FrmImport::showDetails() {
    QDialog list(this);
    list.setObjectName("FrmImportDetails");
    list.setWindowTitle("Music Files Not Read");
    auto* text = new QPlainTextEdit(details_.join('\n'), &list);
    text->setObjectName("txtDetails");
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &list);
    connect(buttons, &QDialogButtonBox::rejected, &list, &QDialog::reject);
    auto* layout = new QVBoxLayout(&list);
    layout->addWidget(text);
    layout->addWidget(buttons);
    list.resize(600, 320);
    platform::fitOnScreen(list);
    list.exec();
}

FrmImport::FrmImport(QWidget* owner, const QStringList& about, app::RecordImport& import,
                     const app::RecordImport::Preview& preview, ReadAgain readAgain,
                     const QStringList& details)
    : QDialog(owner),
      about_(about),
      import_(import),
      readAgain_(std::move(readAgain)),
      details_(details) {
    setObjectName("FrmImport");
    // Blocks its owner and the owner's windows, not the help viewer, a window of its own.
    setWindowModality(Qt::WindowModal);
    setWindowTitle("Import Records");

    lblCounts = new QLabel(this);
    lblCounts->setObjectName("lblCounts");
    lblCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmbEncoding = nullptr;
    QLabel* encodingLabel = nullptr;
    if (readAgain_ && !import.encoding().empty()) {
        encodingLabel = new QLabel("Rea&d as:", this);
        cmbEncoding = new QComboBox(this);
        cmbEncoding->setObjectName("cmbEncoding");
        for (const std::string& name : import.encodingChoices()) {
            cmbEncoding->addItem(QString::fromStdString(name));
        }
        cmbEncoding->setCurrentText(QString::fromStdString(import.encoding()));
        encodingLabel->setBuddy(cmbEncoding);
        chooseFromListOnly(cmbEncoding);
        connect(cmbEncoding, &QComboBox::activated, this, [this] { readWithEncodingChosen(); });
    }
    fraColumns = nullptr;
    if (readAgain_ && !import.isDiscogsExport() && !import.fileColumns().isEmpty()) {
        fraColumns = new ImportColumns(this, import.fileColumns(), import.chosenColumns());
        fraColumns->onChange([this] { readWithColumnsChosen(); });
    }

    optAddEveryRow = new QRadioButton("Add &every record, those already there again", this);
    optAddEveryRow->setObjectName("optAddEveryRow");
    optLeaveOutExisting = new QRadioButton("&Leave out the records already in the catalogue", this);
    optLeaveOutExisting->setObjectName("optLeaveOutExisting");
    // Adding again what is there already doubles the records: only the user chooses it.
    optLeaveOutExisting->setChecked(true);
    connect(optLeaveOutExisting, &QRadioButton::toggled, this, [this] { showCounts(); });

    auto* firstLabel = new QLabel("The first records, as they will be stored:", this);
    grdPreview = new QTableWidget(0, 4, this);
    grdPreview->setObjectName("grdPreview");
    grdPreview->setHorizontalHeaderLabels({"Artist", "Title", "Category", "Format"});
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->setTabKeyNavigation(false);  // Tab moves on to the buttons
    // Artist and Title share the width; the short Category and Format take what they need.
    for (int column = 0; column < 4; ++column) {
        grdPreview->horizontalHeader()->setSectionResizeMode(
            column, column < 2 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    grdPreview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    firstLabel->setBuddy(grdPreview);
    grdPreview->setAccessibleName(firstLabel->text());  // a buddy does not name a table

    auto* buttons = new QDialogButtonBox(this);
    CmdImport = buttons->addButton("&Import", QDialogButtonBox::AcceptRole);
    CmdImport->setObjectName("CmdImport");
    CmdCancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    CmdCancel->setObjectName("CmdCancel");
    CmdDetails = nullptr;
    if (!details_.isEmpty()) {
        CmdDetails = buttons->addButton("&Details...", QDialogButtonBox::ActionRole);
        CmdDetails->setObjectName("CmdDetails");
        CmdDetails->setAutoDefault(false);
        connect(CmdDetails, &QPushButton::clicked, this, [this] { showDetails(); });
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCounts);
    if (cmbEncoding) {
        auto* row = new QHBoxLayout;
        row->addWidget(encodingLabel);
        row->addWidget(cmbEncoding);
        row->addStretch(1);
        layout->addLayout(row);
    }
    if (fraColumns) {
        layout->addWidget(fraColumns);
    }
    layout->addWidget(optAddEveryRow);
    layout->addWidget(optLeaveOutExisting);
    layout->addWidget(firstLabel);
    layout->addWidget(grdPreview, 1);
    layout->addWidget(buttons);
    resize(640, 420);
    platform::fitOnScreen(*this);
    showPreview(preview);
    (CmdImport->isDefault() ? CmdImport : CmdCancel)->setFocus();
}

// Import is offered, and Enter imports, only when it would add a record.
// The counts and the first records to be stored follow the choice of leaving out those there
// already.
void FrmImport::showCounts() {
    const bool leaveOut = existing() == app::RecordImport::Existing::LeftOut;
    lblCounts->setText(countsText(about_, import_, preview_, leaveOut));
    const bool worthAdding =
        import_.readsArtistOrTitle() && preview_.rows > (leaveOut ? preview_.existing : 0);
    CmdImport->setEnabled(worthAdding);
    CmdImport->setDefault(worthAdding);
    CmdCancel->setDefault(!worthAdding);
    const auto& first = leaveOut ? preview_.firstNew : preview_.first;
    grdPreview->setRowCount(static_cast<int>(first.size()));
    for (int row = 0; row < grdPreview->rowCount(); ++row) {
        const auto& texts = first[static_cast<std::size_t>(row)];
        for (int column = 0; column < 4; ++column) {
            const auto& text = texts[static_cast<std::size_t>(column)];
            grdPreview->setItem(row, column,
                                new QTableWidgetItem(text ? QString::fromStdString(*text) : ""));
        }
    }
}

void FrmImport::showPreview(const app::RecordImport::Preview& preview) {
    preview_ = preview;
    optAddEveryRow->setVisible(preview.existing > 0);
    optLeaveOutExisting->setVisible(preview.existing > 0);
    showCounts();
}

void FrmImport::readWithColumnsChosen() {
    readAgain([this] { import_.chooseColumns(fraColumns->chosen()); });
}

// Read in another encoding, the file's header may name other columns; a file the encoding
// cannot read stays read as it was, and the choice shows so.
void FrmImport::readWithEncodingChosen() {
    readAgain([this] {
        import_.readAs(cmbEncoding->currentText().toStdString());
        if (fraColumns) {
            fraColumns->showColumns(import_.fileColumns(), import_.chosenColumns());
        }
    });
    cmbEncoding->setCurrentText(QString::fromStdString(import_.encoding()));
}

// The whole file read again after a change: the window waits, painted, meanwhile.
void FrmImport::readAgain(const std::function<void()>& change) {
    QWidget* focus = focusWidget();  // the drop-down chosen in keeps the keys
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto preview = readAgain_(change);
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (focus) {
        focus->setFocus();
    }
    if (preview) {
        showPreview(*preview);
    }
}

app::RecordImport::Existing FrmImport::existing() const {
    // With none there, nothing is looked for: the import goes its quicker way.
    return preview_.existing > 0 && optLeaveOutExisting->isChecked()
               ? app::RecordImport::Existing::LeftOut
               : app::RecordImport::Existing::Added;
}

}  // namespace windows
