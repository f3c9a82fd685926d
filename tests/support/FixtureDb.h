#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// Small encrypted word-list files for tests and benchmarks, written straight through
// SQLCipher so that the code under test is not used to make its own fixtures.
namespace fixture {

inline constexpr char kPassword[] = "###K777k$$$P888p";

// A null QVariant stores NULL.
struct Row {
    QVariant index, word;
    QVariant showTimes = 0, toShowTime = 0;
    QVariant pronounce = QString(), wordChn = QString(), sentence1 = QString(), sentence1Chn = QString(),
             sentence2 = QString(), sentence2Chn = QString();
};

// Creates (or adds to) an encrypted database at path with one word table per call; false, with the
// error printed, on failure.
bool WriteTable(const QString& path, const QString& table, const QList<Row>& rows,
                const QString& password = QString::fromLatin1(kPassword));

// n generated rows "word1".."wordN" with index 1..N and the given counters.
QList<Row> GeneratedRows(int n, int showTimes = 0, int toShowTime = 0);

// (showTimes, toShowTime) of the row with the given index.
std::optional<QPair<qint64, qint64>> Counters(const QString& path, const QString& table, int index,
                                              const QString& password = QString::fromLatin1(kPassword));

// Runs one statement on the file: every row's columns as text (NULL reads as empty).
QList<QStringList> Select(const QString& path, const QString& sql,
                          const QString& password = QString::fromLatin1(kPassword));

// The first column of the first row of Select, or a null string.
QString Query(const QString& path, const QString& sql,
              const QString& password = QString::fromLatin1(kPassword));

} // namespace fixture
