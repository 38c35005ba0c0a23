#pragma once

#include <QtTest>

#include "windows/browse/FrmBrowse.h"
#include "windows/controls/Grid.h"

namespace testing {

// Double-clicks a row of the browse grid where a user would: on its title cell, through the
// grid's view.
inline void doubleClickRow(windows::FrmBrowse& browse, int row) {
    QTableView* grid = browse.Grid1;
    const QRect cell = grid->visualRect(grid->model()->index(row, 2));
    QVERIFY(grid->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace testing
