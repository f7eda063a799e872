#pragma once

#include "labobserver.h"

#include <QStringList>

#include <array>

// The algorithms the labs run, written out in the languages of the course,
// with the line each statement a run carries out stands on. Pascal and the
// algorithmic language count from 1, as the lab does; Python from 0.
class LabCode
{
public:
    enum class Operation {
        DeleteElement,
        DeleteRow,
        DeleteColumn,
        InsertRow,
        InsertColumn,
        MinLinear,
        MaxLinear,
        MinTable,
        MaxTable,
        SortLinear,
        SortTable,
    };
    enum class Language { Algorithmic, Pascal, Python };
    static constexpr std::array<Language, 3> Languages = {Language::Algorithmic, Language::Pascal, Language::Python};

    struct Listing
    {
        QStringList lines;
        // Index into lines for each LabObserver::Line; -1 where the algorithm has none.
        std::array<int, LabObserver::LineCount> lineOf = none();
        int line(LabObserver::Line role) const { return lineOf[size_t(role)]; }

    private:
        static std::array<int, LabObserver::LineCount> none()
        {
            std::array<int, LabObserver::LineCount> lines{};
            lines.fill(-1);
            return lines;
        }
    };

    static Listing listing(Operation operation, Language language);
    static QString languageName(Language language);
    // The variable a search keeps its extreme in, the same in every language.
    static QString extremeName(bool minimum);
    // Whether the operation works on the table rather than the linear array.
    static bool onTable(Operation operation);
    static bool isSort(Operation operation);
    static bool isSearch(Operation operation);
    static bool isMinimum(Operation operation);
    static bool isInsert(Operation operation);
    // Whether the pupil types a position for it (k in the code).
    static bool takesPosition(Operation operation);
};
