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
const germanDecimal = /^([+\-\u2212\u2013]?)(\d{1,3}(?:\.\d{3})+|\d+)(?:,(\d+))?\s*%?$/;

function pointForm(text) {
  const match = germanDecimal.exec(text.trim());
  if (match === null) return null;
  const [, sign, whole, fraction] = match;
  const plain = `${sign === "+" ? "+" : sign === "" ? "" : "-"}${whole.replaceAll(".", "")}`;
  return fraction === undefined ? plain : `${plain}.${fraction}`;
}

// At most this much of a text is shown in a note: a megabyte of digits
// still gives a note of one line.
const shortened = (text) => (text.length > 16 ? `${text.slice(0, 16)}…` : text);
const quoted = (text) => `„${shortened(text)}“`;

// What the program makes of a field, where it reads less than the text and
// the rest is more than white space or a percent sign: { read, why, point },
// point being the point form of a German decimal, which the page hands the
// program instead (null: the text goes to it as typed).
function readingNote(text) {
  if (text === "") return null;
  const length = strtodLength(text);
  const rest = text.slice(length);
  if (length > 0 && /^\s*%?\s*$/.test(rest)) return null;
  const stop = String.fromCodePoint(rest.codePointAt(0));
  let why;
  if (stop === ",") why = "Das Programm nimmt den Punkt als Dezimalzeichen, beim Komma hört es auf.";
  else if (stop === "\u2212" || stop === "\u2013") why = `${quoted(stop)} ist dem Programm kein Minus, es braucht „-“.`;
  else if (stop === "\u00a0") why = "Ein geschütztes Leerzeichen ist dem Programm kein Leerraum.";
  else if (/^\s*$/.test(text)) why = "Nur Leerraum: das Programm rechnet mit 0.";
  else if (length === 0) why = "Am Anfang steht keine Zahl: das Programm rechnet mit 0.";
  else why = `Ab ${quoted(stop)} liest das Programm nicht weiter.`;
  const read = length === 0 ? "0" : quoted(text.slice(0, length).trim());
  const point = pointForm(text);
  return { read: `gelesen: ${read}`, why, point: point === text ? null : point };
}

// The text the program gets for a field: what it would read whole goes as
// typed ("1.500" is 1.5), a German decimal it would cut short as its point
// form ("3,5" is 3.5), anything else as typed, with its note.
function programText(text) {
  return readingNote(text)?.point ?? text;
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
  if (/nan/i.test(real)) meaning = "Aus diesen Werten ergibt sich kein Realzins.";
  else if (zero(real)) meaning = `${purse} bleibt gleich: die Zinsen gleichen die Inflation aus.`;
  else if (!finite(real)) meaning = `${purse} ${real.startsWith("-") ? "schrumpft" : "wächst"} ohne Grenze.`;
  else if (real.startsWith("-")) meaning = `${purse} schrumpft: nach einem Jahr kauft es trotz der Zinsen ${size(real)} % weniger als heute.`;
  else meaning = `${purse} wächst: nach einem Jahr kauft es mit den Zinsen ${size(real)} % mehr als heute.`;
  const approximation = " Die Näherung Zins minus Inflation";
  if (zero(deviation)) meaning += `${approximation} trifft hier genau.`;
  else if (/inf/i.test(deviation)) meaning += `${approximation} liegt unendlich weit daneben.`;
  else if (finite(deviation)) {
    meaning += `${approximation} liegt um ${size(deviation)} Prozentpunkte ${deviation.startsWith("-") ? "darunter" : "darüber"}.`;
  }
  return { rate: `${withComma(real)} %`, meaning };
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
  figure.querySelector("figcaption").textContent = `Zins ${withComma(printedFigure(report, "Zins"))} %: Differenz (gestrichelt) ` +
    `und Realzins (durchgezogen) bei Inflation von ${points[0].inflation} bis ${points[points.length - 1].inflation} %` +
    (ownShown ? `; der Ring zeigt Ihren Fall, ${withComma(own.inflation)} % Inflation.` : ".");
  figure.querySelector("tbody").replaceChildren(...points.map((point) => {
    const row = document.createElement("tr");
    for (const text of [point.inflation, withComma(point.difference), withComma(point.real)]) {
      row.append(Object.assign(document.createElement("td"), { textContent: text }));
    }
    return row;
  }));
}

function start() {
  const form = document.getElementById("eingabe");
  const nominalField = form.elements.zins;
  const inflationField = form.elements.inflation;
  const fields = [nominalField, inflationField];
  const multiLineChoice = document.querySelector('input[value="mehrzeilig"]');
  const singleLineChoice = document.querySelector('input[value="einzeilig"]');
  const output = document.getElementById("ausgabe");
  const announcer = document.getElementById("ansage");
  const prompt = document.getElementById("einstieg");
  const result = document.getElementById("ergebnis");
  const chart = document.getElementById("verlauf");
  const answer = document.getElementById("realzins");
  const answerMeaning = document.getElementById("bedeutung");
  const readings = document.getElementById("lesarten");
  const copied = document.getElementById("kopiert");
  const pageTitle = document.title;

  const query = new URLSearchParams(window.location.search);
  nominalField.value = query.get("zins") ?? "";
  inflationField.value = query.get("inflation") ?? "";
  (query.has("m") ? multiLineChoice : singleLineChoice).checked = true;

  // Compiled here, at once: the module is small, and the report should not
  // wait for a round through another thread.
  let module;
  try {
    module = new WebAssembly.Module(base64Bytes(moduleBase64));
  } catch (error) {
    output.textContent = `Das Programm konnte nicht geladen werden: ${error.message}`;
    return;
  }
  showText(document.getElementById("hilfe-text"), runProgram(module, [programName]));

  // A screen reader is told the notes and the report once typing pauses,
  // never the usage text, never the same twice in a row.
  let shown = "";
  let announced = "";
  let pause = null;
  const announce = () => {
    const notes = fields.map((field) => document.getElementById(`${field.id}-lesart`))
      .filter((note) => !note.hidden).map((note) => note.textContent);
    const text = [...notes, shown].join("\n");
    if (result.hidden || text === announced) return;
    announced = text;
    announcer.textContent = text;
  };

  // The note under a field, and its line beside the result: what the program
  // got. A field is in doubt only where the page could not read it as meant.
  const showNote = (field) => {
    const note = document.getElementById(`${field.id}-lesart`);
    const reading = readingNote(field.value);
    note.hidden = reading === null;
    if (reading === null || reading.point !== null) field.removeAttribute("aria-invalid");
    else field.setAttribute("aria-invalid", "true");
    if (reading === null) return null;
    const said = reading.point === null ? `${reading.read}. ${reading.why}`
      : `Als ${shortened(reading.point)} gerechnet; das Konsolenprogramm allein läse ${reading.read.slice(9)}.`;
    note.textContent = said;
    const label = field.labels[0].textContent.replace(/ in %$/, "");
    return reading.point === null ? `${label}: ${said}`
      : `${label} ${shortened(field.value)} als ${shortened(reading.point)} gerechnet`;
  };

  const showAnswer = (report) => {
    const { rate, meaning } = answerOf(report) ?? { rate: null, meaning: "" };
    answer.hidden = rate === null;
    answer.textContent = rate === null ? "" : `Realzins: ${rate}`;
    answerMeaning.textContent = meaning;
    document.title = rate === null ? pageTitle : `Realzins ${rate} · Tarvelin`;
  };

  let chartTimer = null;
  const show = () => {
    const nominal = nominalField.value;
    const inflation = inflationField.value;
    const multiLine = multiLineChoice.checked;
    // Text, never markup: whatever was typed stays text.
    const before = shown;
    shown = runProgram(module, programArguments(programText(nominal), programText(inflation), multiLine));
    // "Kopiert" speaks of the report that was copied.
    if (shown !== before) copied.textContent = "";
    showText(output, shown);
    const lines = fields.map(showNote).filter((line) => line !== null);
    readings.replaceChildren(...lines.map((line) => Object.assign(document.createElement("li"), { textContent: line })));
    readings.hidden = lines.length === 0;
    const empty = nominal === "" || inflation === "";
    showAnswer(empty ? "" : shown);
    prompt.hidden = !empty;
    result.hidden = empty;
    const address = `${window.location.pathname}${addressQuery(nominal, inflation, multiLine)}`;
    window.history.replaceState(null, "", address);
    clearTimeout(pause);
    pause = setTimeout(announce, 500);
    // Drawn after the report is on the screen, never before.
    clearTimeout(chartTimer);
    // Its place is kept while it is drawn, so that nothing below it moves.
    chart.hidden = empty;
    if (!empty) {
      const report = shown;
      chartTimer = setTimeout(() => drawChart(chart, report, chartPoints(module, programText(nominal), report)));
    }
  };
  form.addEventListener("input", show);
  // The layout's choice sits by the report, outside the form's markup.
  multiLineChoice.closest("fieldset").addEventListener("input", show);
  form.addEventListener("submit", (event) => event.preventDefault());
  document.getElementById("beispiel").addEventListener("click", () => {
    nominalField.value = "5";
    inflationField.value = "2";
    show();
  });
  // Said beside the button for a moment, and to the screen reader.
  let copiedTimer = null;
  document.getElementById("kopieren").addEventListener("click", async () => {
    try {
      await navigator.clipboard.writeText(shown);
      announcer.textContent = "Die Ausgabe ist in der Zwischenablage.";
      copied.textContent = "Kopiert";
    } catch {
      announcer.textContent = "Der Browser lässt das Kopieren nicht zu; markieren Sie die Ausgabe mit Strg+A.";
      copied.textContent = "Nicht kopiert";
    }
    announced = "";
    clearTimeout(copiedTimer);
    copiedTimer = setTimeout(() => { copied.textContent = ""; }, 3000);
  });
  // Ctrl+A in the report selects the report, not the page.
  output.parentElement.addEventListener("keydown", (event) => {
    if ((event.ctrlKey || event.metaKey) && event.key === "a") {
      event.preventDefault();
      window.getSelection().selectAllChildren(output);
    }
  });
  show();
}

start();

// Over http(s) a service worker keeps the page for visits without network. A
// page opened from the file system needs none; one that cannot register it
// works as before, only not offline.
if (/^https?:$/.test(window.location.protocol) && "serviceWorker" in navigator) {
  navigator.serviceWorker.register("sw.js").catch(() => {});
}
