// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page is a thin shell around the console program, compiled to
// WebAssembly: the fields become its arguments, and what it writes to standard
// output is shown as text. No figure is computed or formatted here.

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

// The words savers write after a rate: "3,5 %", "3,5 Prozent", "3,5 % p. a.",
// "3,5 pro Jahr", "3,5 jährlich", "3,5." and the like, in any case and
// spacing. Taken off from the end one by one: a pattern with white space on
// both sides of a word would try every start in a long run of spaces.
function numberBeforeWords(text) {
  return [/\.$/, /(?:p\.\s*a\.?|pro\s+jahr|jährlich)$/i, /(?:%|prozent)$/i]
    .reduce((rest, words) => rest.replace(words, "").trimEnd(), text.trim());
}

// At most this much of a text is shown in a note: a megabyte of digits
// still gives a note of one line.
const shortened = (text) => (text.length > 16 ? `${text.slice(0, 16)}…` : text);
const quoted = (text) => `„${shortened(text)}“`;

// What the page makes of a field: { kind, point, read, stop }.
//   "whole":    the program reads it all (white space and "%" after it aside);
//               it goes to the program as typed. "1.500" is 1.5, as in C.
//   "handed":   a rate the program would cut short, written as savers do
//               ("3,5", "3,5 Prozent", "5 p. a."); the program gets point.
//   "partly":   a number, then text that is none ("5 Euro"); the program
//               reads read, up to stop, and gets the text as typed.
//   "noNumber": no number where it starts ("drei", "%"); there is no answer.
// An empty field is null: the program shows its usage text.
function readingOf(text) {
  if (text === "") return null;
  const length = strtodLength(text);
  // Trimmed, not matched: /^\s*%?\s*$/ takes quadratic time on a long run of spaces.
  if (length > 0 && ["", "%"].includes(text.slice(length).trim())) return { kind: "whole", point: text };
  const number = numberBeforeWords(text);
  const point = strtodLength(number) === number.length && number !== "" ? number : pointForm(number);
  if (point !== null) return { kind: "handed", point };
  if (length === 0) return { kind: "noNumber", point: text };
  return { kind: "partly", point: text, read: text.slice(0, length).trim(), stop: String.fromCodePoint(text.codePointAt(length)) };
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

// A printed figure as a German reader writes it: the program's digits, the
// decimal point shown as a comma.
const withComma = (figure) => figure.replace(".", ",");

// A figure never parts from its unit at a line's end.
const noBreak = "\u00a0";

// The real rate as a saver reads it: the digits with a comma and "%", or
// words where the program printed inf or nan.
function rateInWords(figure) {
  if (/nan/i.test(figure)) return "keine Zahl";
  if (/inf/i.test(figure)) return figure.startsWith("-") ? "minus unendlich" : "unendlich";
  return `${withComma(figure)}${noBreak}%`;
}

// The answer in words, chosen by the printed real rate's sign, and what the
// usual approximation misses, from the printed deviation: { rate, meaning }.
// Printed figures are digits, or inf or nan with a sign.
function answerOf(report) {
  const real = printedFigure(report, "Tarvelin");
  const deviation = printedFigure(report, "Unterschied");
  if (real === undefined || deviation === undefined) return null;
  const size = (figure) => withComma(figure.replace(/^-/, ""));
  const zero = (figure) => !/[1-9a-z]/i.test(figure);
  const finite = (figure) => !/[a-z]/i.test(figure);
  const purse = "Die Kaufkraft Ihres Geldes";
  let meaning;
  if (/nan/i.test(real)) meaning = "Aus diesen Sätzen ergibt sich kein Realzins.";
  else if (zero(real)) meaning = `${purse} bleibt gleich: Die Zinsen gleichen die Inflation aus.`;
  else if (!finite(real)) meaning = `${purse} ${real.startsWith("-") ? "schrumpft" : "wächst"} ohne Grenze.`;
  else if (real.startsWith("-")) {
    meaning = `${purse} schrumpft: Nach einem Jahr kauft Ihr Geld trotz der Zinsen ${size(real)}${noBreak}% weniger als heute.`;
  } else meaning = `${purse} wächst: Nach einem Jahr kauft Ihr Geld dank der Zinsen ${size(real)}${noBreak}% mehr als heute.`;
  const approximation = " Die Näherung Zins minus Inflation";
  if (zero(deviation)) meaning += `${approximation} trifft hier genau.`;
  else if (/inf/i.test(deviation)) meaning += `${approximation} liegt unendlich weit daneben.`;
  else if (finite(deviation)) {
    meaning += `${approximation} liegt um ${size(deviation)}${noBreak}Prozentpunkte ${deviation.startsWith("-") ? "darunter" : "darüber"}.`;
  }
  return { rate: rateInWords(real), meaning };
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
// ringed.
const chartSteps = [-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5];

function chartPoints(module, nominal, report) {
  const centre = Math.round(Number(printedFigure(report, "Inflation")));
  if (!Number.isFinite(centre) || Math.abs(centre) > 1000) return [];
  return chartSteps.map((step) => String(centre + step)).filter((text) => Number(text) > -90)
    .map((inflation) => {
      const printed = runProgram(module, [programName, nominal, inflation]);
      return { inflation, difference: printedFigure(printed, "Differenz"), real: printedFigure(printed, "Tarvelin") };
    })
    .filter(({ difference, real }) => Number.isFinite(Number(difference)) && Number.isFinite(Number(real)));
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
  const [first, last] = [Number(points[0].inflation), Number(points[points.length - 1].inflation)];
  const ownShown = Number(own.inflation) >= first && Number(own.inflation) <= last && Number.isFinite(Number(own.real));
  // The printed figures, lowest and highest by value, label the y-axis.
  const printed = points.flatMap(({ difference, real }) => [difference, real]).concat(ownShown ? [own.real] : [])
    .sort((a, b) => Number(a) - Number(b));
  const [low, high] = [Number(printed[0]), Number(printed[printed.length - 1])];
  const [left, right, top, bottom] = [92, 470, 20, 260];
  const x = (inflation) => left + ((right - left) * (Number(inflation) - first)) / (last - first);
  const y = (value) => (high === low ? (top + bottom) / 2 : bottom - ((bottom - top) * (Number(value) - low)) / (high - low));
  const children = [
    shape("line", { x1: left, y1: bottom, x2: right, y2: bottom, class: "achse" }),
    shape("line", { x1: left, y1: top, x2: left, y2: bottom, class: "achse" }),
  ];
  const label = (text, attributes) => Object.assign(shape("text", attributes), { textContent: text });
  children.push(label(points[0].inflation, { x: left, y: bottom + 22, "text-anchor": "start" }),
    label(`Inflation in %: ${points[points.length - 1].inflation}`, { x: right, y: bottom + 22, "text-anchor": "end" }));
  // Ticks by importance, each where it does not crowd one already set.
  const ticks = [];
  const tick = (figure, value) => {
    if (ticks.some((taken) => Math.abs(y(taken) - y(value)) < 18)) return;
    ticks.push(value);
    children.push(shape("line", { x1: left - 4, y1: y(value), x2: left, y2: y(value), class: "achse" }),
      label(`${withComma(figure)} %`, { x: left - 7, y: y(value) + 5, "text-anchor": "end" }));
  };
  if (ownShown) tick(own.real, own.real);
  if (low <= 0 && high >= 0) {
    children.push(shape("line", { x1: left, y1: y(0), x2: right, y2: y(0), class: "null" }));
    tick("0", 0);
  }
  tick(printed[printed.length - 1], high);
  tick(printed[0], low);
  for (const [key, name] of [["difference", "differenz"], ["real", "tarvelin"]]) {
    const line = points.map((point) => `${x(point.inflation)},${y(point[key])}`).join(" ");
    children.push(shape("polyline", { points: line, class: name }));
    points.forEach((point) => children.push(shape("circle", { cx: x(point.inflation), cy: y(point[key]), r: 4, class: name })));
  }
  if (ownShown) children.push(shape("circle", { cx: x(own.inflation), cy: y(own.real), r: 9, class: "eigen" }));
  svg.replaceChildren(...children);
  figure.querySelector("figcaption").textContent = `Zins ${withComma(printedFigure(report, "Zins"))}${noBreak}%: ` +
    "Differenz (gestrichelt) und Realzins (durchgezogen) bei Inflation von " +
    `${points[0].inflation} bis ${points[points.length - 1].inflation}${noBreak}%` +
    (ownShown ? `. Der Ring zeigt Ihren Fall, ${withComma(own.inflation)}${noBreak}% Inflation.` : ".");
  figure.querySelector("tbody").replaceChildren(...points.map((point) => {
    const row = document.createElement("tr");
    for (const text of [point.inflation, withComma(point.difference), withComma(point.real)]) {
      row.append(Object.assign(document.createElement("td"), { textContent: text }));
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
    result: byId("ergebnis"),
    chart: byId("verlauf"),
    answer: byId("realzins"),
    meaning: byId("bedeutung"),
    readings: byId("lesarten"),
    copied: byId("kopiert"),
    sheetAddress: byId("druck-adresse"),
    sheetDate: byId("druck-datum"),
    title: document.title,
  };
}

// The fields and the layout as the address has them.
function fillFromAddress(parts) {
  const query = new URLSearchParams(window.location.search);
  parts.fields.forEach((field) => { field.value = query.get(field.name) ?? ""; });
  (query.has("m") ? parts.multiLine : parts.singleLine).checked = true;
}

// What each field asks for, said where it holds no number.
const fieldNames = { zins: "Zins", inflation: "Inflationsrate" };
const fieldExamples = {
  zins: "Geben Sie den Zins in Prozent ein, z. B. 3,5.",
  inflation: "Geben Sie die Inflationsrate in Prozent ein, z. B. 2,1.",
};

// What the page says about a field: under it, where the person should look
// again (null: nothing), and beside the result, naming the field (null:
// nothing). Only a field the page cannot read as meant is marked invalid.
function notesOf(field, reading) {
  if (reading === null || reading.kind === "whole") return { under: null, beside: null };
  const name = fieldNames[field.id];
  if (reading.kind === "handed") {
    return { under: null, beside: `${name} ${shortened(field.value.trim())} als ${shortened(reading.point)} gerechnet` };
  }
  const under = reading.kind === "partly"
    ? `Die Seite rechnet nur mit ${quoted(reading.read)}: Ab ${quoted(reading.stop)} liest sie nicht weiter.`
    : `${field.value.trim() === "" ? "Hier steht" : `${quoted(field.value.trim())} ist`} keine Zahl. ${fieldExamples[field.id]}`;
  // With no number there is no answer; the report stays, said to be the program's.
  const report = reading.kind === "noNumber" ? " Unten steht, was das Konsolenprogramm daraus macht." : "";
  return { under, beside: `${name}: ${under}${report}`, doubt: true };
}

function showNotes(parts, readings) {
  const lines = [];
  parts.fields.forEach((field, i) => {
    const { under, beside, doubt } = notesOf(field, readings[i]);
    const note = document.getElementById(`${field.id}-lesart`);
    note.hidden = under === null;
    note.textContent = under ?? "";
    if (doubt) field.setAttribute("aria-invalid", "true");
    else field.removeAttribute("aria-invalid");
    if (beside !== null) lines.push({ text: beside, doubt });
  });
  parts.readings.replaceChildren(...lines.map(({ text, doubt }) =>
    Object.assign(document.createElement("li"), { textContent: text, className: doubt ? "zweifel" : "" })));
  parts.readings.hidden = lines.length === 0;
}

// The answer line, its sentence and the tab's title; none where a field
// holds no number.
function showAnswer(parts, report) {
  const { rate, meaning } = answerOf(report) ?? { rate: null, meaning: "" };
  parts.answer.hidden = rate === null;
  parts.answer.textContent = rate === null ? "" : `Realzins: ${rate}`;
  parts.meaning.textContent = meaning;
  document.title = rate === null ? parts.title : `Realzins ${rate} · Tarvelin`;
}

// A screen reader is told the answer, its sentence and the lines beside
// it once typing pauses: never the usage text, never the same twice in a row.
function makeAnnouncer(parts) {
  let announced = "";
  let pause = null;
  const announce = () => {
    const answer = parts.answer.hidden ? [] : [`${parts.answer.textContent}.`, parts.meaning.textContent];
    const text = [...answer, ...[...parts.readings.children].map((line) => line.textContent)].join(" ");
    if (parts.result.hidden || text === announced) return;
    announced = text;
    parts.announcer.textContent = text;
  };
  return {
    afterPause: () => {
      clearTimeout(pause);
      pause = setTimeout(announce, 500);
    },
    // Something else was said in between: the answer may be said again.
    forget: () => {
      announced = "";
    },
  };
}

// The printed sheet says what it is: the rates' address and the day.
function dateSheet(parts) {
  parts.sheetDate.textContent = new Date().toLocaleDateString("de-DE", { day: "numeric", month: "long", year: "numeric" });
}

// "Kopieren": the report as shown, said beside the button for a moment and
// to the screen reader.
function offerCopy(parts, report, announcer) {
  let copiedTimer = null;
  document.getElementById("kopieren").addEventListener("click", async () => {
    try {
      await navigator.clipboard.writeText(report());
      parts.announcer.textContent = "Die Ausgabe ist in der Zwischenablage.";
      parts.copied.textContent = "Kopiert";
    } catch {
      parts.announcer.textContent = "Der Browser lässt das Kopieren nicht zu. Markieren Sie die Ausgabe mit Strg+A.";
      parts.copied.textContent = "Nicht kopiert";
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
  window.addEventListener("beforeprint", () => dateSheet(parts));

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
    showNotes(parts, readings);
    const empty = nominal === "" || inflation === "";
    const answered = !empty && !readings.some((reading) => reading.kind === "noNumber");
    showAnswer(parts, answered ? shown : "");
    parts.prompt.hidden = !empty;
    parts.result.hidden = empty;
    window.history.replaceState(null, "", `${window.location.pathname}${addressQuery(nominal, inflation, multiLine)}`);
    parts.sheetAddress.textContent = window.location.href;
    announcer.afterPause();
    // Drawn after the report is on the screen, never before; its place is
    // kept while it is drawn, so that nothing below it moves.
    clearTimeout(chartTimer);
    parts.chart.hidden = !answered;
    if (answered) {
      const report = shown;
      chartTimer = setTimeout(() => drawChart(parts.chart, report, chartPoints(module, programText(nominal), report)));
    }
  };
  parts.form.addEventListener("input", show);
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
