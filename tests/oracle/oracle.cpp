// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

#include "oracle.h"

#include <mpfr.h>

namespace {

// A rounded format as MPFR sees it: significand bits and the exponent range
// in MPFR's convention (value = m * 2^e with 1/2 <= m < 1), the lowest
// exponent being that of the smallest subnormal.
struct Format {
    mpfr_prec_t precision;
    mpfr_exp_t emin;
    mpfr_exp_t emax;
};

const Format extended_format{64, -16444, 16384};
const Format binary64_format{53, -1073, 1024};
const Format binary128_format{113, -16493, 16384};

// Wide enough to hold the exact difference of any two singles (2^128 down
// to 2^-149) and the exact product or quotient inputs below.
const mpfr_prec_t exact_precision = 320;

class Number {
public:
    explicit Number(mpfr_prec_t precision) { mpfr_init2(value_, precision); }
    ~Number() { mpfr_clear(value_); }
    Number(const Number&) = delete;
    Number& operator=(const Number&) = delete;
    mpfr_ptr get() { return value_; }

private:
    mpfr_t value_;
};

// Rounds x, already rounded to its precision by an operation that returned
// ternary, into the format's exponent range with subnormals, as IEEE does.
void fit(mpfr_ptr x, int ternary, const Format& format)
{
    const mpfr_exp_t saved_emin = mpfr_get_emin();
    const mpfr_exp_t saved_emax = mpfr_get_emax();
    mpfr_set_emin(format.emin);
    mpfr_set_emax(format.emax);
    ternary = mpfr_check_range(x, ternary, MPFR_RNDN);
    mpfr_subnormalize(x, ternary, MPFR_RNDN);
    mpfr_set_emin(saved_emin);
    mpfr_set_emax(saved_emax);
}

}  // namespace

OracleFigures oracle_figures(float nominal, float inflation, ChainPrecision precision)
{
    const Format& format = precision == ChainPrecision::extended   ? extended_format
                           : precision == ChainPrecision::binary64 ? binary64_format
                                                                   : binary128_format;
    OracleFigures figures{};

    Number exact(exact_precision);
    Number n(exact_precision);
    Number i(exact_precision);
    mpfr_set_flt(n.get(), nominal, MPFR_RNDN);
    mpfr_set_flt(i.get(), inflation, MPFR_RNDN);

    // difference: the exact difference rounded once to single.
    mpfr_sub(exact.get(), n.get(), i.get(), MPFR_RNDN);
    figures.difference = mpfr_get_flt(exact.get(), MPFR_RNDN);

    // real rate: seven operations, each rounded to the chain's format.
    Number a(format.precision);
    Number b(format.precision);
    Number q(format.precision);
    Number r(format.precision);
    fit(a.get(), mpfr_div_ui(a.get(), n.get(), 100, MPFR_RNDN), format);
    fit(a.get(), mpfr_add_ui(a.get(), a.get(), 1, MPFR_RNDN), format);
    fit(b.get(), mpfr_div_ui(b.get(), i.get(), 100, MPFR_RNDN), format);
    fit(b.get(), mpfr_add_ui(b.get(), b.get(), 1, MPFR_RNDN), format);
    fit(q.get(), mpfr_div(q.get(), a.get(), b.get(), MPFR_RNDN), format);
    fit(q.get(), mpfr_sub_ui(q.get(), q.get(), 1, MPFR_RNDN), format);
    fit(r.get(), mpfr_mul_ui(r.get(), q.get(), 100, MPFR_RNDN), format);
    figures.real_rate = mpfr_get_flt(r.get(), MPFR_RNDN);

    // deviation: the two stored singles subtracted in the chain's format,
    // then rounded to double (a second rounding, as the chain stores it).
    Number d(exact_precision);
    Number s(exact_precision);
    mpfr_set_flt(d.get(), figures.difference, MPFR_RNDN);
    mpfr_set_flt(s.get(), figures.real_rate, MPFR_RNDN);
    Number deviation(format.precision);
    fit(deviation.get(), mpfr_sub(deviation.get(), d.get(), s.get(), MPFR_RNDN), format);
    figures.deviation = mpfr_get_d(deviation.get(), MPFR_RNDN);
    return figures;
}
