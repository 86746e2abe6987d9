#pragma once

#include <QList>
#include <QStringView>

namespace velmor {

// Sort ranks of many texts at once, for a table sorted by one of its
// columns: the first text in the order gets rank 0, equal texts share a
// rank, and the next different text gets the next rank. Computed once for a
// column, they make every sort of its rows a pass over integers. Each is
// fast for millions of texts, also when all of them differ or share long
// beginnings.

// In the order of their UTF-16 code units, as QString compares.
QList<int> CodeUnitRanks(const QList<QStringView> &texts);

// In Turkish alphabetical order (ç after c, ı before i, then letter case and
// accents); texts the alphabet finds equal (they differ in characters it
// passes over) are ordered by their code units, so that equal ranks mean
// equal texts.
QList<int> TurkishRanks(const QList<QStringView> &texts);

} // namespace velmor
