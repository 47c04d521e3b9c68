// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#ifndef TARVELIN_REPORT_H
#define TARVELIN_REPORT_H

#include "rates.h"

enum class ReportLayout {
    single_line,  // the default: one line, fields separated by tabs
    multi_line,   // chosen by -m: five labelled lines
};

// Writes the figures in the given layout with one formatted write to standard output.
void print_report(ReportLayout layout, const RateFigures& figures);

#endif
