// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "calculator.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ieee_bits.h"
#include "rates.h"
#include "report.h"
#include "usage.h"

namespace {

// Whether a rate text begins with a minus sign, after the white space that
// strtod skips.
bool has_minus_sign(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text)) != 0)
        ++text;
    return *text == '-';
}

// strtod in the "C" locale reads as far as the text forms a number (zero when
// nothing does); the double is then rounded once to single. A minus sign
// negates a NaN as it negates a number, though some C libraries read "-nan"
// as a positive NaN.
float read_rate(const char* text)
{
    double rate = std::strtod(text, nullptr);
    if (is_nan(rate))
        rate = with_sign(rate, has_minus_sign(text));
    return narrow_to_float(rate);
}

ReportLayout choose_layout(int argc, char* argv[])
{
    // Every argument is scanned, the two rates included.
    ReportLayout layout = ReportLayout::single_line;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-m") == 0)
            layout = ReportLayout::multi_line;
    }
    return layout;
}

}  // namespace

int run_calculator(int argc, char* argv[])
{
    if (argc <= 2) {
        // An empty argument vector has no program name to show.
        print_usage(argc > 0 && argv[0] != nullptr ? argv[0] : "");
        return status_usage;
    }

    const ReportLayout layout = choose_layout(argc, argv);
    const float nominal = read_rate(argv[1]);
    const float inflation = read_rate(argv[2]);
    const RateFigures figures = compute_figures(nominal, inflation);
    print_report(layout, figures);
    return status_report;
}

int finish_output(int status)
{
    // The last printf may have gone into the buffer and only the flush on
    // close fails, so both the error flag and the close are checked.
    const bool had_error = std::ferror(stdout) != 0;
    const bool close_failed = std::fclose(stdout) != 0;
    if (had_error || close_failed) {
        (void)std::fputs("tarvelin: Schreibfehler: Die Ausgabe konnte nicht geschrieben werden.\n",
                         stderr);
        return status_write_error;
    }
    return status;
}
