// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page is a thin shell around the console program, compiled to
// WebAssembly: the fields become its arguments, and what it writes to standard
// output is shown as text. No figure is computed or rounded here: the page
// writes the program's printed digits the German way, and says what they
// mean by the tables of states.js, which the build puts in front of this.

// The module's bytes, written in by the build.
const moduleBase64 = "@TARVELIN_MODULE_BASE64@";

// The name the program sees as argv[0]; the usage text shows it.
const programName = "tarvelin";

// The few WASI functions the program imports: its arguments, writes to
// standard output and error, and its exit. Nothing else is offered, so the
// module cannot reach a file, a clock or the network.
const errnoSuccess = 0;
const errnoBadf = 8;
const errnoSpipe = 70;
const filetypeCharacterDevice = 2;
const rightFdWrite = 64n;

class ProgramExit {
  constructor(status) {
    this.status = status;
  }
}

function runProgram(module, args) {
  const encoder = new TextEncoder();
  const argBytes = args.map((arg) => encoder.encode(`${arg}\0`));
  const stdout = [];
  let memory = null;

  const wasi = {
    args_sizes_get(countAt, sizeAt) {
      const view = new DataView(memory.buffer);
      view.setUint32(countAt, argBytes.length, true);
      view.setUint32(sizeAt, argBytes.reduce((sum, arg) => sum + arg.length, 0), true);
      return errnoSuccess;
    },
    args_get(argvAt, bufferAt) {
      const view = new DataView(memory.buffer);
      let at = bufferAt;
      argBytes.forEach((arg, i) => {
        view.setUint32(argvAt + 4 * i, at, true);
        new Uint8Array(memory.buffer, at, arg.length).set(arg);
        at += arg.length;
      });
      return errnoSuccess;
    },
    fd_write(fd, iovsAt, iovsCount, writtenAt) {
      if (fd !== 1 && fd !== 2) return errnoBadf;
      const view = new DataView(memory.buffer);
      let written = 0;
      for (let i = 0; i < iovsCount; ++i) {
        const at = view.getUint32(iovsAt + 8 * i, true);
        const length = view.getUint32(iovsAt + 8 * i + 4, true);
        // Standard error only carries the notice of a failed write, which
        // cannot happen here.
        if (fd === 1) stdout.push(new Uint8Array(memory.buffer, at, length).slice());
        written += length;
      }
      view.setUint32(writtenAt, written, true);
      return errnoSuccess;
    },
    fd_fdstat_get(fd, statAt) {
      if (fd > 2) return errnoBadf;
      // A terminal: not seekable, so the C library buffers by lines.
      const view = new DataView(memory.buffer);
      view.setUint8(statAt, filetypeCharacterDevice);
      view.setUint16(statAt + 2, 0, true);
      view.setBigUint64(statAt + 8, rightFdWrite, true);
      view.setBigUint64(statAt + 16, 0n, true);
      return errnoSuccess;
    },
    fd_seek() {
      return errnoSpipe;
    },
    fd_close(fd) {
      return fd <= 2 ? errnoSuccess : errnoBadf;
    },
    proc_exit(status) {
      throw new ProgramExit(status);
    },
  };

  // A command runs once per instance: each run gets fresh memory, as a
  // process would.
  const instance = new WebAssembly.Instance(module, { wasi_snapshot_preview1: wasi });
  memory = instance.exports.memory;
  try {
    instance.exports._start();
  } catch (error) {
    if (!(error instanceof ProgramExit)) throw error;
  }
  // The program writes UTF-8; a letter may be split between two writes.
  const decoder = new TextDecoder();
  return stdout.map((chunk) => decoder.decode(chunk, { stream: true })).join("") + decoder.decode();
}

// The fields as the program's arguments, each one word as if quoted in a
// shell. With a field empty the program gets fewer than two rates and shows
// its usage text; "-m" would then be read as a rate, so it is left out.
function programArguments(nominal, inflation, multiLine) {
  if (nominal === "" || inflation === "") {
    return [programName, ...[nominal, inflation].filter((text) => text !== "")];
  }
  return multiLine ? [programName, nominal, inflation, "-m"] : [programName, nominal, inflation];
}

// ?zins=5&inflation=2&m: what the fields hold, so that a report can be
// bookmarked and shared.
function addressQuery(nominal, inflation, multiLine) {
  const parts = [];
  if (nominal !== "") parts.push(`zins=${encodeURIComponent(nominal)}`);
  if (inflation !== "") parts.push(`inflation=${encodeURIComponent(inflation)}`);
  if (multiLine) parts.push("m");
  return parts.length > 0 ? `?${parts.join("&")}` : "";
}

// How far the C library's strtod, in the "C" locale, reads a text: white
// space, a sign, decimal or hexadecimal digits with an exponent, inf,
// infinity, nan or nan(...). No match: nothing is read, the rate is 0.
const strtodPattern =
  /^[ \t\n\v\f\r]*[+-]?(?:0x(?:[0-9a-f]+\.?[0-9a-f]*|\.[0-9a-f]+)(?:p[+-]?[0-9]+)?|(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:e[+-]?[0-9]+)?|inf(?:inity)?|nan(?:\([0-9a-z_]*\))?)/i;

function strtodLength(text) {
  const match = strtodPattern.exec(text);
  return match === null ? 0 : match[0].length;
}

// A decimal number written the German way (thousands points, a decimal
// comma, a typographic minus or dash), and its point form.
const germanDecimal = /^([+\-\u2212\u2013]?)(\d{1,3}(?:\.\d{3})+|\d+)(?:,(\d+))?$/;

function pointForm(number) {
  const match = germanDecimal.exec(number);
  if (match === null) return null;
  const [, sign, whole, fraction] = match;
  const plain = `${sign === "+" ? "+" : sign === "" ? "" : "-"}${whole.replaceAll(".", "")}`;
  return fraction === undefined ? plain : `${plain}.${fraction}`;
}

// A number as the program should get it: as typed where the C library reads
// all of it, else the point form of its German form; null for neither.
function pointOf(number) {
  return number !== "" && strtodLength(number) === number.length ? number : pointForm(number);
}

// The words savers write after a rate: "3,5 %", "3,5 Prozent", "3,5 % p. a.",
// "3,5 pro Jahr", "3,5 jährlich", "3,5." and the like, in any case and
// spacing. Taken off from the end one by one: a pattern with white space on
// both sides of a word would try every start in a long run of spaces.
function numberBeforeWords(text) {
  return [/\.$/, /(?:p\.\s*a\.?|pro\s+jahr|jährlich)$/i, /(?:%|prozent)$/i]
    .reduce((rest, words) => rest.replace(words, "").trimEnd(), text.trim());
}
// The same words where more follows them: "5 % Zinsen" leaves out "Zinsen".
const leadingSaverWords = /^(?:(?:%|prozent|p\.\s*a\.?|pro\s+jahr|jährlich)\s*)*/i;

// What the page makes of a field, by the kinds of the table of notes:
// { kind, point, text, number, rest }; point is what the program gets.
// An empty field is null: the program shows its usage text.
function readingOf(text) {
  if (text === "") return null;
  const reading = (kind, point, more) => ({ kind, point, text, ...more });
  if (text.trim() === "") return reading("blank", text);
  const length = strtodLength(text);
  // Trimmed, not matched: /^\s*%?\s*$/ takes quadratic time on a long run of spaces.
  if (length > 0 && ["", "%"].includes(text.slice(length).trim())) return reading("number", text);
  const whole = pointOf(numberBeforeWords(text));
  if (whole !== null) return reading("number", whole);
  if (/^\s*[+\-\u2212\u2013]\s*$/.test(text)) return reading("started", text);
  // The number it starts with: as far as the C library reads, or as far as
  // a German form's characters go, whichever is longer.
  const german = /^\s*[+\-\u2212\u2013]?\d[\d.,]*/.exec(text)?.[0] ?? "";
  const head = german.length > length ? german : text.slice(0, length);
  if (head === "") return reading("noNumber", text);
  const number = head.trim();
  const rest = text.slice(head.length).trim().replace(leadingSaverWords, "");
  // "3," is "3,5" being typed.
  const point = pointOf(rest === "" ? number.replace(/,$/, "") : number);
  if (point === null) return reading("unclear", text);
  if (rest === "") return reading("number", point);
  return /^\p{L}/u.test(rest) ? reading("words", point, { number, rest }) : reading("unclear", text);
}

// The text the program gets for a field.
function programText(text) {
  return readingOf(text)?.point ?? text;
}

// The program's text shown so that a narrow screen breaks it at its tabs
// first: each run between tabs and line ends is a box of its own, wrapped
// inside only where it is wider than the screen. The text itself is unchanged.
function showText(element, text) {
  element.replaceChildren(...text.split(/([\t\n]+)/).filter((part) => part !== "").map((part) => {
    if (/^[\t\n]/.test(part)) return part;
    const run = document.createElement("span");
    run.textContent = part;
    return run;
  }));
}

// A printed figure read back, in either layout: "Tarvelin:\t  2.941 %"
// gives "2.941", "Unterschied (= ...):\t 0.0588236 %" gives "0.0588236".
const printedFigure = (report, label) => new RegExp(`${label}[^:\\n]*:\\s+(\\S+)\\s+%`).exec(report)?.[1];

// A printed figure's sign: "+", "-", "0" (0.00), "-0" (-0.00), "inf", "-inf" or "nan".
function printedSign(figure) {
  const minus = figure.startsWith("-") ? "-" : "";
  if (/nan/i.test(figure)) return "nan";
  if (/inf/i.test(figure)) return `${minus}inf`;
  return /[1-9]/.test(figure) ? minus || "+" : `${minus}0`;
}

// A printed figure as Germans write it: thousands points, a decimal comma
// and the minus sign, on the program's digits; none is added or taken away.
function germanFigure(figure) {
  const match = /^(-?)(\d+)(?:\.(\d+))?$/.exec(figure);
  if (match === null) return figure;
  const [, minus, whole, fraction] = match;
  return `${minus === "" ? "" : "\u2212"}${whole.replace(/\B(?=(?:\d{3})+$)/g, ".")}${fraction === undefined ? "" : `,${fraction}`}`;
}

// In a sentence a figure is said without its sign and without the zeros at
// its end, which claim no more than the digits before them.
const saidFigure = (figure) => germanFigure(figure.replace(/^-/, "").replace(/(\.\d*?)0+$/, "$1").replace(/\.$/, ""));

// A figure never parts from its unit at a line's end.
const noBreak = "\u00a0";

// A text of the tables with its {names} filled in.
const filled = (text, values) => text.replace(/\{(\w+)\}/g, (_, name) => values[name]);

// The answer's line, its sentence and the tab's title, from the printed
// report by the tables of what the page says; null without a report.
function answerOf(report) {
  const [nominal, inflation, real, deviation] = ["Zins", "Inflation", "Tarvelin", "Unterschied"]
    .map((label) => printedFigure(report, label));
  if (deviation === undefined) return null;
  const sign = printedSign(real);
  const rate = answerTexts[sign] ?? `${germanFigure(real)}${noBreak}%`;
  const causeSign = (figure) => ({ "-0": "0", inf: "+", "-inf": "-" })[printedSign(figure)] ?? printedSign(figure);
  const cause = causes[[real, nominal, inflation].map(causeSign).join(" ")] ?? "";
  const points = saidFigure(deviation);
  const sentence = filled(sentences[sign], { cause, rate: `${saidFigure(real)}${noBreak}%` }) +
    filled(approximations[printedSign(deviation)], { deviation: `${points}${noBreak}Prozentpunkt${points === "1" ? "" : "e"}` });
  return { line: filled(answerTexts.line, { rate }), title: filled(answerTexts.title, { rate }), sentence };
}

// At most this much of a text is shown in a note: a megabyte of digits
// still gives a note of one line.
const shortened = (text) => (text.length > 16 ? `${text.slice(0, 16)}…` : text);

// What the program holds otherwise than typed, by the table of held notes:
// a plain number of at most the report's two decimals printed as another,
// or a number printed as inf; null where it holds what was typed.
function heldOf(point, printed) {
  if (printed === undefined || /nan/i.test(printed)) return null;
  if (/inf/i.test(printed)) return /inf/i.test(point) ? null : "infinite";
  const plain = /^\s*([+-]?)(\d+)(?:\.(\d{0,2}))?\s*%?\s*$/.exec(point);
  if (plain === null) return null;
  const [, sign, whole, fraction = ""] = plain;
  return `${sign === "-" ? "-" : ""}${whole.replace(/^0+(?=\d)/, "")}.${fraction.padEnd(2, "0")}` === printed ? null : "rounded";
}

// The note beside the answer on one field, after its name; "" for none.
function noteOf(id, reading, printed) {
  if (reading === null) return "";
  const typed = shortened(reading.text.trim());
  const number = shortened(reading.number ?? typed);
  const held = ["number", "words"].includes(reading.kind) ? heldOf(reading.point, printed) : null;
  const said = [filled(fieldNotes[reading.kind], { typed, number, rest: shortened(reading.rest ?? ""), example: fieldTexts[id].example }),
    held === null ? "" : filled(heldNotes[held], { number, held: answerTexts[printedSign(printed)] ?? germanFigure(printed) })]
    .filter((text) => text !== "");
  return said.length === 0 ? "" : `${fieldTexts[id].name}: ${said.join(" ")}`;
}

function base64Bytes(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The chart: for the nominal rate the program got, the difference and the
// exact real rate over whole inflation rates a few points either side of the
// person's, every point a run of the program; their own point, the report's,
// circled.
const chartSteps = [-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5];

// The inflation rates the chart runs, none where it would show nothing: a
// rate that is no finite number, or one far out. Known at once, so that the
// chart's place is kept or given up before it is drawn.
function chartInflations(report) {
  const centre = Math.round(Number(printedFigure(report, "Inflation")));
  if (!Number.isFinite(centre) || Math.abs(centre) > 1000 || !Number.isFinite(Number(printedFigure(report, "Zins")))) return [];
  return chartSteps.map((step) => String(centre + step)).filter((text) => Number(text) > -90);
}

function chartPoints(module, nominal, inflations) {
  return inflations.map((inflation) => {
    const printed = runProgram(module, [programName, nominal, inflation]);
    return { inflation, difference: printedFigure(printed, "Differenz"), real: printedFigure(printed, "Tarvelin") };
  }).filter(({ difference, real }) => Number.isFinite(Number(difference)) && Number.isFinite(Number(real)));
}

function drawChart(figure, report, points) {
  figure.hidden = points.length < 2;
  if (figure.hidden) return;
  const svg = figure.querySelector("svg");
  const shape = (name, attributes) => {
    const element = document.createElementNS(svg.namespaceURI, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    return element;
  };
  const own = { inflation: printedFigure(report, "Inflation"), real: printedFigure(report, "Tarvelin") };
  const [first, last] = [points[0].inflation, points[points.length - 1].inflation];
  const ownShown = Number(own.inflation) >= Number(first) && Number(own.inflation) <= Number(last) && Number.isFinite(Number(own.real));
  // The printed figures, lowest and highest by value, span the y-axis; its
  // marks are real rates alone, all printed with three decimals.
  const byValue = (figures) => figures.sort((a, b) => Number(a) - Number(b));
  const reals = byValue(points.map(({ real }) => real).concat(ownShown ? [own.real] : []));
  const printed = byValue(points.map(({ difference }) => difference).concat(reals));
  const [low, high] = [Number(printed[0]), Number(printed[printed.length - 1])];
  const [left, right, top, bottom] = [92, 470, 20, 260];
  const x = (inflation) => left + ((right - left) * (Number(inflation) - Number(first))) / (Number(last) - Number(first));
  const y = (value) => (high === low ? (top + bottom) / 2 : bottom - ((bottom - top) * (Number(value) - low)) / (high - low));
  const children = [
    shape("line", { x1: left, y1: bottom, x2: right, y2: bottom, class: "achse" }),
    shape("line", { x1: left, y1: top, x2: left, y2: bottom, class: "achse" }),
  ];
  // SVG text does not wrap: a plain space before "%".
  const label = (text, attributes) => Object.assign(shape("text", attributes), { textContent: text });
  children.push(label(`${germanFigure(first)} %`, { x: left, y: bottom + 22, "text-anchor": "start" }),
    label("Inflation", { x: (left + right) / 2, y: bottom + 22, "text-anchor": "middle" }),
    label(`${germanFigure(last)} %`, { x: right, y: bottom + 22, "text-anchor": "end" }));
  // Marks by importance, each where it does not crowd one already set.
  const marks = [];
  const mark = (figure) => {
    if (marks.some((taken) => Math.abs(y(taken) - y(figure)) < 18)) return;
    marks.push(figure);
    children.push(shape("line", { x1: left - 4, y1: y(figure), x2: left, y2: y(figure), class: "achse" }),
      label(`${germanFigure(figure)} %`, { x: left - 7, y: y(figure) + 5, "text-anchor": "end", class: "marke" }));
  };
  if (ownShown) mark(own.real);
  if (low <= 0 && high >= 0) {
    children.push(shape("line", { x1: left, y1: y(0), x2: right, y2: y(0), class: "null" }));
    mark("0.000");
  }
  mark(reals[reals.length - 1]);
  mark(reals[0]);
  for (const [key, name] of [["difference", "differenz"], ["real", "tarvelin"]]) {
    const line = points.map((point) => `${x(point.inflation)},${y(point[key])}`).join(" ");
    children.push(shape("polyline", { points: line, class: name }));
    points.forEach((point) => children.push(shape("circle", { cx: x(point.inflation), cy: y(point[key]), r: 4, class: name })));
  }
  if (ownShown) children.push(shape("circle", { cx: x(own.inflation), cy: y(own.real), r: 9, class: "eigen" }));
  svg.replaceChildren(...children);
  figure.querySelector("figcaption").textContent = `Zins ${germanFigure(printedFigure(report, "Zins"))}${noBreak}%: ` +
    "Differenz (gestrichelt) und Realzins (durchgezogen) bei einer Inflation von " +
    `${germanFigure(first)} bis ${germanFigure(last)}${noBreak}%` +
    (ownShown ? `. Der Kreis markiert Ihre Eingabe, ${germanFigure(own.inflation)}${noBreak}% Inflation.` : ".");
  figure.querySelector("tbody").replaceChildren(...points.map((point) => {
    const row = document.createElement("tr");
    for (const text of [point.inflation, point.difference, point.real]) {
      row.append(Object.assign(document.createElement("td"), { textContent: germanFigure(text) }));
    }
    return row;
  }));
}

// The parts of the page the script reads and fills, by their ids.
function pageParts() {
  const byId = (id) => document.getElementById(id);
  const form = byId("eingabe");
  return {
    form,
    fields: [form.elements.zins, form.elements.inflation],
    multiLine: document.querySelector('input[value="mehrzeilig"]'),
    singleLine: document.querySelector('input[value="einzeilig"]'),
    report: byId("ausgabe"),
    announcer: byId("ansage"),
    prompt: byId("einstieg"),
    answerBlock: byId("antwort"),
    answer: byId("realzins"),
    notes: byId("lesarten"),
    result: byId("ergebnis"),
    chart: byId("verlauf"),
    meaning: byId("bedeutung"),
    copied: byId("kopiert"),
    sheetAddress: byId("druck-adresse"),
    sheetDate: byId("druck-datum"),
    sheetEmpty: byId("druck-leer"),
    title: document.title,
  };
}

// The fields and the layout as the address has them: "m" or "m=1" is the
// multi-line layout, "m=0" the single line.
function fillFromAddress(parts) {
  const query = new URLSearchParams(window.location.search);
  parts.fields.forEach((field) => { field.value = query.get(field.name) ?? ""; });
  const multiLine = query.has("m") && !["0", "false", "nein"].includes(query.get("m").toLowerCase());
  (multiLine ? parts.multiLine : parts.singleLine).checked = true;
}

// The address as a person reads it on paper: the rates as typed, with only
// what would end or change a value escaped.
function readableAddress(nominal, inflation, multiLine) {
  const readable = (text) => text.replace(/[%&#+\t\n\v\f\r]/g, (character) => encodeURIComponent(character));
  const parts = [];
  if (nominal !== "") parts.push(`zins=${readable(nominal)}`);
  if (inflation !== "") parts.push(`inflation=${readable(inflation)}`);
  if (multiLine) parts.push("m");
  return `${window.location.href.replace(/[?#].*$/s, "")}${parts.length > 0 ? `?${parts.join("&")}` : ""}`;
}

// Each field's note, beside the answer, where only the field's own note
// describes it; a field whose text is not wholly a number is marked.
function showNotes(parts, readings, report) {
  parts.fields.forEach((field, i) => {
    const note = document.getElementById(`${field.id}-lesart`);
    note.textContent = noteOf(field.id, readings[i], printedFigure(report, ["Zins", "Inflation"][i]));
    note.hidden = note.textContent === "";
    if (["words", "unclear", "noNumber", "blank"].includes(readings[i]?.kind)) field.setAttribute("aria-invalid", "true");
    else field.removeAttribute("aria-invalid");
  });
  parts.notes.hidden = [...parts.notes.children].every((note) => note.hidden);
}

// The answer's line, its sentence and the tab's title; where a field holds
// no number, the sentence says why there is no answer.
function showAnswer(parts, report, answered) {
  const answer = answered ? answerOf(report) : null;
  parts.answer.hidden = answer === null;
  parts.answer.textContent = answer?.line ?? "";
  parts.meaning.textContent = answer?.sentence ?? sentences.none;
  document.title = answer?.title ?? answerTexts.none;
  parts.answerBlock.hidden = parts.answer.hidden && parts.notes.hidden;
}

// The answer's block sticks to a short screen's lower edge: the field being
// typed in is kept clear of it.
function keepFieldClear(parts) {
  const field = document.activeElement;
  if (!parts.fields.includes(field) || parts.answerBlock.hidden) return;
  const overlap = field.getBoundingClientRect().bottom - parts.answerBlock.getBoundingClientRect().top;
  if (overlap > 0) window.scrollBy(0, overlap + 8);
}

// A screen reader is told the settled answer once, after a pause of more
// than a second: its line, its sentence and the notes. Nothing while a
// number is still being typed (a sign alone, a decimal comma last); an
// emptied form leaves nothing to read.
function makeAnnouncer(parts) {
  let announced = "";
  let pause = null;
  return {
    changed: (readings) => {
      clearTimeout(pause);
      if (readings.some((reading) => reading === null)) {
        parts.announcer.textContent = "";
        announced = "";
        return;
      }
      if (readings.some((reading) => reading.kind === "started" || reading.text.trimEnd().endsWith(","))) return;
      pause = setTimeout(() => {
        const answer = parts.answer.hidden ? [] : [`${parts.answer.textContent}.`];
        const notes = [...parts.notes.children].filter((note) => !note.hidden).map((note) => note.textContent);
        const text = [...answer, parts.meaning.textContent, ...notes].join(" ");
        if (text === announced) return;
        announced = text;
        parts.announcer.textContent = text;
      }, 1200);
    },
    // Something else is said now: an answer still waiting for its pause
    // would talk over it, and the next answer is said even if it is the last.
    forget: () => {
      clearTimeout(pause);
      announced = "";
    },
  };
}

// The printed sheet says what it is: the rates' address and the day.
function dateSheet(parts) {
  parts.sheetDate.textContent = new Date().toLocaleDateString("de-DE", { day: "numeric", month: "long", year: "numeric" });
}

// "Kopieren": the report as shown, said beside the button for a moment and
// to the screen reader. Where the browser refuses, the report is selected,
// for the person to copy as they copy anything.
function offerCopy(parts, report, announcer) {
  let copiedTimer = null;
  document.getElementById("kopieren").addEventListener("click", async () => {
    try {
      await navigator.clipboard.writeText(report());
      parts.announcer.textContent = "Die Ausgabe ist in der Zwischenablage.";
      parts.copied.textContent = "Kopiert";
    } catch {
      window.getSelection().selectAllChildren(parts.report);
      parts.announcer.textContent = "Der Browser lässt das Kopieren nicht zu. Die Ausgabe ist markiert: " +
        "Kopieren Sie sie mit Strg+C oder über das Menü, das ein langer Druck auf die Markierung öffnet.";
      parts.copied.textContent = "Markiert, bitte selbst kopieren";
    }
    announcer.forget();
    clearTimeout(copiedTimer);
    copiedTimer = setTimeout(() => { parts.copied.textContent = ""; }, 3000);
  });
  // Ctrl+A in the report selects the report, not the page.
  parts.report.parentElement.addEventListener("keydown", (event) => {
    if ((event.ctrlKey || event.metaKey) && event.key === "a") {
      event.preventDefault();
      window.getSelection().selectAllChildren(parts.report);
    }
  });
}

function start() {
  const parts = pageParts();
  fillFromAddress(parts);
  const sheetAddress = () => {
    const [nominal, inflation] = parts.fields.map((field) => field.value);
    parts.sheetAddress.textContent = readableAddress(nominal, inflation, parts.multiLine.checked);
  };
  window.addEventListener("beforeprint", () => {
    dateSheet(parts);
    sheetAddress();
  });

  // Compiled here, at once: the module is small, and the report should not
  // wait for a round through another thread.
  let module;
  try {
    module = new WebAssembly.Module(base64Bytes(moduleBase64));
  } catch (error) {
    parts.report.textContent = `Das Programm konnte nicht geladen werden: ${error.message}`;
    return;
  }
  showText(document.getElementById("hilfe-text"), runProgram(module, [programName]));

  const announcer = makeAnnouncer(parts);
  let shown = "";
  let chartTimer = null;
  const show = () => {
    const [nominal, inflation] = parts.fields.map((field) => field.value);
    const readings = parts.fields.map((field) => readingOf(field.value));
    const multiLine = parts.multiLine.checked;
    // Text, never markup: whatever was typed stays text.
    const before = shown;
    shown = runProgram(module, programArguments(programText(nominal), programText(inflation), multiLine));
    // "Kopiert" speaks of the report that was copied.
    if (shown !== before) parts.copied.textContent = "";
    showText(parts.report, shown);
    showNotes(parts, readings, shown);
    const empty = readings.includes(null);
    const answered = !empty && readings.every(({ kind }) => ["number", "words"].includes(kind));
    showAnswer(parts, shown, answered);
    parts.prompt.hidden = !empty;
    parts.result.hidden = empty;
    parts.sheetEmpty.hidden = !empty;
    window.history.replaceState(null, "", `${window.location.pathname}${addressQuery(nominal, inflation, multiLine)}`);
    sheetAddress();
    announcer.changed(readings);
    keepFieldClear(parts);
    // Drawn after the report is on the screen, never before; its place is
    // kept while it is drawn, so that nothing below it moves.
    clearTimeout(chartTimer);
    const inflations = answered ? chartInflations(shown) : [];
    parts.chart.hidden = inflations.length < 2;
    if (!parts.chart.hidden) {
      const report = shown;
      chartTimer = setTimeout(() => drawChart(parts.chart, report, chartPoints(module, programText(nominal), inflations)));
    }
  };
  parts.form.addEventListener("input", show);
  parts.form.addEventListener("focusin", () => keepFieldClear(parts));
  window.addEventListener("resize", () => keepFieldClear(parts));
  // The layout's choice sits by the report, outside the form's markup.
  parts.multiLine.closest("fieldset").addEventListener("input", show);
  parts.form.addEventListener("submit", (event) => event.preventDefault());
  // The example's button goes away with the prompt; the person stays in the
  // first field, where the example can be changed.
  document.getElementById("beispiel").addEventListener("click", () => {
    parts.fields[0].value = "5";
    parts.fields[1].value = "2";
    show();
    parts.fields[0].focus();
  });
  offerCopy(parts, () => shown, announcer);
  show();
  // Formatting a date loads the browser's German locale data: done after the
  // first report, never before it.
  setTimeout(() => dateSheet(parts));
}

start();

// Over http(s) a service worker keeps the page for visits without network. A
// page opened from the file system needs none; one that cannot register it
// works as before, only not offline.
if (/^https?:$/.test(window.location.protocol) && "serviceWorker" in navigator) {
  navigator.serviceWorker.register("sw.js").catch(() => {});
}
