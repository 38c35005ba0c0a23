#pragma once

#include <QAction>
#include <QFile>
#include <QtTest>
#include <functional>

#include "support/MainWindowFixture.h"
#include "support/Modal.h"
#include "windows/transfer/FrmImport.h"

namespace testing {

inline void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Imports `path` through the menu; `inside` looks at the preview and answers it.
inline void importFile(MainWindowFixture& f, const QString& path,
                       const std::function<void(windows::FrmImport&)>& inside) {
    f.desktop.openFileAnswers = {path};
    whileModal<windows::FrmImport>([&] { f.page->mnuFileImport->trigger(); }, inside);
}

}  // namespace testing
