#pragma once

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

// Damage done to a catalogue file as a failing disk or a stray write would do it.
namespace testing {

inline void overwrite(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(at));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Bytes that are the same for the same seed.
inline QByteArray garbage(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// Page `page` (counted from 1) of a catalogue made by the program, overwritten with garbage.
inline void spoilPage(const QString& path, qint64 page, quint32 seed = 1) {
    constexpr qint64 PageSize = 4096;  // the engine's default, which the catalogue keeps
    overwrite(path, (page - 1) * PageSize, garbage(PageSize, seed));
}

}  // namespace testing
