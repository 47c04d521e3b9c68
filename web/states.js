// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// What the page says, in every state a person can reach, written down once.
// The page makes its answer, sentence, notes, announcement and title from
// these tables alone, and its tests hold it to them state by state: the build
// puts this file in front of the page's script. A state is the sign of each
// figure the program printed, "+", "-", "0" (0.00), "-0" (-0.00), "inf",
// "-inf" or "nan", and what each field held.
// In the texts, {rate}, {deviation} and {held} stand for printed figures as
// Germans write them: thousands points, a decimal comma, the minus sign.

// The answer's line and the tab's title; {rate} keeps all printed digits.
export const answerTexts = {
  line: "Realzins: {rate}",
  title: "Realzins {rate} · Tarvelin",
  // Where a field holds no number there is no answer: the title is the page's own.
  none: "Tarvelin – Zins und Inflation",
  inf: "unendlich",
  "-inf": "minus unendlich",
  nan: "keine Zahl",
};

// The sentence, by the printed real rate's sign; {rate} without its sign
// and without trailing zeros.
export const sentences = {
  "+": "Die Kaufkraft Ihres Geldes wächst: Nach einem Jahr kauft Ihr Geld{cause} {rate} mehr als heute.",
  "-": "Die Kaufkraft Ihres Geldes schrumpft: Nach einem Jahr kauft Ihr Geld{cause} {rate} weniger als heute.",
  0: "Die Kaufkraft Ihres Geldes bleibt gleich.{cause}",
  "-0": "Die Kaufkraft Ihres Geldes bleibt gleich.{cause}",
  inf: "Die Kaufkraft Ihres Geldes wächst unbegrenzt.",
  "-inf": "Die Kaufkraft Ihres Geldes schrumpft unbegrenzt.",
  nan: "Aus diesen Werten lässt sich kein Realzins berechnen.",
  // A field that holds no number: no answer, only the program's report.
  none: "Ohne Zahl kein Realzins: Unten steht, was das Konsolenprogramm aus der Eingabe macht.",
};

// The cause, by the signs of the real rate, the nominal rate and the
// inflation, in that order: "0" stands for -0 too, "+" and "-" for inf and
// -inf. Only what both rates make certain is said; a state not listed (a
// tiny rate printed as 0.00, a rate that is no number) names no cause.
export const causes = {
  "+ + +": " dank der Zinsen",
  "+ + 0": " dank der Zinsen",
  "+ + -": " dank der Zinsen und sinkender Preise",
  "+ 0 -": " dank sinkender Preise",
  "+ - -": " trotz negativer Zinsen dank stärker sinkender Preise",
  "- + +": " trotz der Zinsen",
  "- 0 +": " wegen steigender Preise",
  "- - +": " wegen negativer Zinsen und steigender Preise",
  "- - 0": " wegen negativer Zinsen",
  "- - -": " wegen negativer Zinsen trotz sinkender Preise",
  "0 + +": " Die Zinsen gleichen die Inflation aus.",
  "0 0 0": " Es gibt weder Zinsen noch Inflation.",
  "0 - -": " Die negativen Zinsen und die sinkenden Preise gleichen sich aus.",
};

// What the rule of thumb misses, by the printed deviation's sign; {deviation}
// without its sign and trailing zeros, with "Prozentpunkt(e)".
export const approximations = {
  "+": " Die Faustformel „Zins minus Inflation“ liegt um {deviation} darüber.",
  "-": " Die Faustformel „Zins minus Inflation“ liegt um {deviation} darunter.",
  0: " Die Faustformel „Zins minus Inflation“ stimmt hier genau.",
  "-0": " Die Faustformel „Zins minus Inflation“ stimmt hier genau.",
  inf: " Die Faustformel „Zins minus Inflation“ liegt unendlich weit daneben.",
  "-inf": " Die Faustformel „Zins minus Inflation“ liegt unendlich weit daneben.",
  nan: "",
};

// What each field held, and the note beside the answer, after the field's
// name. {typed}: the text as typed, at most 16 characters and "…"; {number}:
// the number read from it, as typed; {rest}: what was left out.
export const fieldNotes = {
  // "5", "3,5", "−2,5 %", "3,5 Prozent", "1e1": a number, with the words
  // savers add. "3," and "−5," are read as typed so far.
  number: "",
  // "5 Euro", "3,5 Euro": a number, then words that are none of it.
  words: "Gerechnet wird mit {number}; „{rest}“ wird nicht berücksichtigt.",
  // "3,5,5", "5-3", "1.2.3": a number that may be meant in more than one
  // way. No answer: a guess would be a figure the person did not ask for.
  unclear: "„{typed}“ lässt sich nicht eindeutig als Zahl lesen. {example}",
  // "drei", "%", "-m": no number.
  noNumber: "„{typed}“ ist keine Zahl. {example}",
  // White space alone.
  blank: "Hier steht keine Zahl. {example}",
  // "-", "+": a number being typed. No answer yet, and nothing to say.
  started: "",
};

// What the program made of a number, added to the field's note: rates are
// held in single precision. {held} is the printed figure.
export const heldNotes = {
  // A number of at most two decimals, printed as another ("99999999999").
  rounded: "Gerechnet wird mit {held} statt {number}: Genauer fasst das Programm Zahlen dieser Größe nicht.",
  // A number printed as inf or -inf ("1e999").
  infinite: "Gerechnet wird mit {held} statt {number}: So große Zahlen fasst das Programm nicht.",
};

export const fieldTexts = {
  zins: { name: "Zins", example: "Geben Sie den Zins in Prozent ein, z. B. 3,5." },
  inflation: { name: "Inflation", example: "Geben Sie die Inflationsrate in Prozent ein, z. B. 2,1." },
};
