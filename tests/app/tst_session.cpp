// The open catalogue without a window: closing it closes every recordset and the connection,
// and forgets the steps, which name records of a file that may not be the one opened next.
#include <QtTest>

#include "app/session/Session.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Orders.h"
#include "support/TestCatalogue.h"

class TestSession : public QObject {
    Q_OBJECT

  private slots:
    void closingLetsTheFileGoAndForgetsTheSteps() {
        testing::TestCatalogue file({{"ABBA", "Arrival", "Pop", "CD"}});
        app::Session session;
        session.AppDir = file.directory() + "/";
        session.CatalogueName = QFileInfo(file.path()).fileName();
        QCOMPARE(session.path(), file.path());
        session.open();
        db::catalogue::prepareOrders(session.cnMain);
        const auto view = db::catalogue::mainTable(db::views()[0]);
        for (db::Recordset* records : {&session.rsMain, &session.rsSearch}) {
            records->open(session.cnMain, view);
        }
        session.rsArtist.open(session.cnMain,
                              db::catalogue::lookupTable(db::catalogue::Lookup::Artist));
        session.edits.updateRecord(session.rsMain, {std::nullopt, "Voulez-Vous"});
        QCOMPARE(session.edits.history().undoName(), QString("Update Record"));

        session.close();
        QVERIFY(!session.cnMain.isOpen());
        for (const db::Recordset* records :
             {&session.rsMain, &session.rsSearch, &session.rsArtist}) {
            QVERIFY(!records->isOpen());
        }
        QCOMPARE(session.edits.history().undoName(), QString());
        session.open();  // and it opens again, with the change kept
        QCOMPARE(session.cnMain.textValue("SELECT Title FROM Main"), std::string("Voulez-Vous"));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
