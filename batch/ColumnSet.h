// The interface through which a capability adds columns to `tarvelo batch`
// (the ISO 6976 columns, line conditions, combustion, ...) without touching
// the pipeline. A run makes one object of each requested set; the set sees
// the header once, then computes its columns for every row, on any thread.
//
// For each row the pipeline reads the composition columns - every header
// label that the component table knows, whether the kernel has the
// component or not - into amounts in mol% by component index, read in
// double precision from the field's text. Header columns that are neither
// the name nor a component are offered to the sets in turn; a column no set
// claims is an unknown column. A set writes its columns after the kernel's
// results and before `flag`, in the order of the sets, each column empty
// when the set refused the row.
#pragma once

#include "Components.h"

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tarvelo::batch {

// The amounts of one row in mol%, by component index (0..59).
using Amounts = std::array<double, components::kCount>;

// What a set sees of one row.
struct RowInput {
    const Amounts& amounts;
    // The components the header names, in ascending order: the only ones
    // whose amounts may be other than 0 (the same for every row of a run).
    std::span<const std::size_t> present;
    // The row's fields by input column, as read (blanks kept), with the
    // run's decimal mark.
    std::span<const std::string_view> fields;
    char decimalMark;
};

class ColumnSet {
public:
    virtual ~ColumnSet() = default;

    // The output columns, in order.
    virtual std::span<const std::string_view> names() const = 0;

    // Offered header column `column`, labelled `label` (blanks trimmed), that
    // is neither the name nor a component: true when this set reads it.
    virtual bool claim(std::size_t column, std::string_view label) {
        (void)column;
        (void)label;
        return false;
    }

    // After the header: why the set cannot work with it (a column it needs
    // is missing), or an empty string.
    virtual std::string headerProblem() const { return {}; }

    // Computes one row into `values` (names().size() of them) and returns an
    // empty string, or returns the reason the row is refused, beginning with
    // the set's name ("iso6976: ..."). A value left NaN is written as an
    // empty field: a column that does not apply to this row. Must not change
    // the set: rows are computed on several threads at once.
    virtual std::string compute(const RowInput& row, double* values) const = 0;

    // Significant digits of the written values ("%.Ng"), or 0 for the
    // shortest text that reads back to the same double.
    virtual int digits() const { return 9; }
};

// Makes a fresh set for one run.
using ColumnSetMaker = std::function<std::unique_ptr<ColumnSet>()>;

} // namespace tarvelo::batch
