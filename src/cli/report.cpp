// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "report.h"

#include <cstdio>

#include "ieee_bits.h"

namespace {

const char single_line_format[] =
    "Zins: %6.2f %%\tInflation: %6.2f %%\tDifferenz: %s%6.2f %%\tTarvelin: %s%7.3f %%\t"
    "Unterschied (= Differenz - Tarvelin):\t%s%10.7f %%\n";

const char multi_line_format[] =
    "Zins:\t\t%6.2f  %%\nInflation:\t%6.2f  %%\nDifferenz:\t%s%6.2f  %%\nTarvelin:\t%s%7.3f %%\n"
    "Unterschied (= Differenz - Tarvelin):\t%s%10.7f %%\n";

const char* report_format(ReportLayout layout)
{
    return layout == ReportLayout::multi_line ? multi_line_format : single_line_format;
}

// Each derived figure has a slot for a prefix text in front of it; no figure
// ever needs one, so every slot is filled with the empty text.
const char* figure_prefix()
{
    return "";
}

}  // namespace

void print_report(ReportLayout layout, const RateFigures& figures)
{
    // Widening single to double is exact, and a NaN keeps its sign and payload
    // on every processor: the figures print as computed.
    (void)std::printf(report_format(layout), widen_to_double(figures.nominal),
                      widen_to_double(figures.inflation), figure_prefix(),
                      widen_to_double(figures.difference), figure_prefix(),
                      widen_to_double(figures.real_rate), figure_prefix(), figures.deviation);
}
