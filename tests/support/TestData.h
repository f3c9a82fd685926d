#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <array>
#include <initializer_list>

// File and data-table helpers shared by the tests.
namespace testdata {

// The file's bytes, or `missing` when it cannot be read.
inline QByteArray ReadFile(const QString& path, const QByteArray& missing = QByteArray()) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : missing;
}

// Replaces the file's content, creating its folder first.
inline bool WriteFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

inline QByteArray Sha256(const QString& path) {
    return QCryptographicHash::hash(ReadFile(path), QCryptographicHash::Sha256);
}

// Cases {what, input, expected} of a table-driven check: one line per case.
using StringRows = std::initializer_list<std::array<const char*, 3>>;

// Two string columns filled from {tag, first, second}: one line per case.
inline void AddStringRows(const char* first, const char* second, StringRows rows) {
    QTest::addColumn<QString>(first);
    QTest::addColumn<QString>(second);
    for (const auto& [tag, a, b] : rows)
        QTest::newRow(tag) << QString::fromUtf8(a) << QString::fromUtf8(b);
}

} // namespace testdata
