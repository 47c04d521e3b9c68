// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT
// The page in a headless Chromium, used as a person would: typing, choosing
// the layout, following the address. Its report must be the native program's
// standard output, decoded, byte for byte.
//   node browser.mjs WEB-FOLDER NATIVE-TARVELIN CHROMIUM TESTS-FOLDER SCREENSHOT-FOLDER
// Exit status 77 (skipped) where playwright-core or the browser is missing,
// unless TARVELIN_REQUIRE_BROWSER is set.
import { createHash } from "node:crypto";
import { cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import * as states from "../states.js";
import { launchBrowser, programOutput, reportInputs, serveFolder } from "./harness.mjs";

const [webDir, nativeProgram, chromiumPath, testsDir, screenshotDir] = process.argv.slice(2);

function skip(reason) {
  console.log(`skipped: ${reason}`);
  process.exit(process.env.TARVELIN_REQUIRE_BROWSER ? 1 : 77);
}
if (!existsSync(chromiumPath)) skip(`no browser at ${chromiumPath}; to get it, run: apt-get install chromium`);
if (!existsSync(nativeProgram)) skip(`no native program at ${nativeProgram}; build the tree build/ first`);
let browser;
let AxeBuilder;
let fc;
try {
  ({ default: fc } = await import("fast-check"));
  ({ default: AxeBuilder } = await import("@axe-core/playwright"));
  browser = await launchBrowser(chromiumPath);
} catch (error) {
  const remedy = error.code === "ERR_MODULE_NOT_FOUND" ? "; to get the test packages, run: (cd web && npm ci)" : "";
  skip(`${error.message.split("\n")[0]}${remedy}`);
}

const failures = [];
function expectEqual(what, actual, expected) {
  if (actual !== expected) {
    failures.push(`${what}:\n  expected ${JSON.stringify(expected)}\n  got      ${JSON.stringify(actual)}`);
  }
}
function expect(what, condition) {
  if (!condition) failures.push(what);
}

const reportCases = reportInputs(testsDir);

// Texts typed into the nominal field (inflation 2), by what the page's table
// of notes calls them, and what the program gets for them: the point form of
// a German decimal or of the number before words, else the text as typed.
// Markup stays text; a field of spaces is a rate of 0; a no-break space is
// no white space to the C library; the arguments are sized in UTF-8 bytes.
const field = (typed, kind, handed = typed, more = {}) => ({ typed, kind, handed, ...more });
const nines = "9".repeat(100000);
const fieldCases = [
  ...[["3,5", "3.5"], ["1.000,5", "1000.5"], ["\u22122", "-2"], ["\u22122,5 %", "-2.5"], ["\u20132,5", "-2.5"], ["\u00a05", "5"],
    [`${nines},5`, `${nines}.5`], ["12.345,6", "12345.6"], ["\u22121,5", "-1.5"], ["5 Prozent", "5"], ["3,5 Prozent", "3.5"],
    ["3,5 p.a.", "3.5"], ["3,5 % p. a.", "3.5"], ["3,5 % pro Jahr", "3.5"], ["3,5.", "3.5"], ["4,5 JÄHRLICH", "4.5"],
    ["3.5 p. a.", "3.5"], ["3,", "3"], ["5"], [" 5 "], ["5%"], ["5 %"], ["5 % "], ["1e1"], ["0x10"], ["inf"], ["nan"], ["-nan"],
    ["5\u00a0"], ["1.500"], ["1e999"], ["-1e999"], ["0x1p-2"], [" 5"], ["99999999999"], ["16777217.5"]]
    .map(([typed, handed]) => field(typed, "number", handed)),
  field("5 Euro", "words", "5", { number: "5", rest: "Euro" }), field("3,5 Euro", "words", "3.5", { number: "3,5", rest: "Euro" }),
  field("0x1p2a", "words", "0x1p2", { number: "0x1p2", rest: "a" }), field("5 % Zinsen", "words", "5", { number: "5", rest: "Zinsen" }),
  field(`1${" ".repeat(50000)}x`, "words", "1", { number: "1", rest: "x" }),
  field("3,5,5", "unclear"), field("5-3", "unclear"), field(" ", "blank"), field("   ", "blank"), field("-", "started"),
  ...["abc", "-m", "ä€", "drei", "%", "<b>fett</b>", "<img src=x onerror=alert(1)>", "\"'&;|$(echo 1)", "€".repeat(40)]
    .map((typed) => field(typed, "noNumber")),
  field("", null),
];
const answeredKinds = ["number", "words"];
const invalidKinds = ["words", "unclear", "noNumber", "blank"];

// A printed figure's sign: "2.941", "-0.000", "inf", "-nan". For a cause,
// -0 counts as 0, and inf and -inf as + and -.
const printedSign = (figure) => {
  const minus = figure.startsWith("-") ? "-" : "";
  if (/nan/.test(figure)) return "nan";
  if (/inf/.test(figure)) return `${minus}inf`;
  return /[1-9]/.test(figure) ? minus || "+" : `${minus}0`;
};
const causeSign = (figure) => ({ "-0": "0", inf: "+", "-inf": "-" })[printedSign(figure)] ?? printedSign(figure);
const figures = (text) => ["Zins", "Inflation", "Differenz", "Tarvelin", "Unterschied"]
  .map((label) => new RegExp(`${label}[^:]*:\\s+(\\S+)\\s+%`).exec(text)?.[1]);

// What a cause may say, by the signs it rests on, whatever the page's table
// says: no interest thanked or defied where there is none, no falling prices
// where they rise.
const causeTruths = [[/dank der Zinsen/, (s) => s.real === "+" && s.nominal === "+"],
  [/trotz der Zinsen/, (s) => s.real === "-" && s.nominal === "+"], [/negativ/, (s) => s.nominal === "-"],
  [/sinkend/, (s) => s.inflation === "-"], [/steigend/, (s) => s.inflation === "+"],
  [/weder Zinsen noch Inflation/, (s) => s.nominal === "0" && s.inflation === "0"],
  [/gleichen die Inflation aus/, (s) => s.nominal === "+" && s.inflation === "+"]];

// A figure as the page shows it, read back as the program printed it:
// "−1.234,5" is "-1234.5"; null where it is not written as Germans write it.
const readBack = (shown) => {
  const match = /^(\u2212?)(\d{1,3}(?:\.\d{3})*)(?:,(\d+))?$/.exec(shown);
  return match && `${match[1] ? "-" : ""}${match[2].replaceAll(".", "")}${match[3] === undefined ? "" : `.${match[3]}`}`;
};
// Every printed digit; or, in a sentence, the figure without its sign and the
// zeros at its end, nothing else changed.
const allDigits = (printed) => (shown) => readBack(shown) === printed;
const saidDigits = (printed) => (shown) => {
  const [said, size] = [readBack(shown), printed.replace(/^-/, "")];
  return said !== null && !/\.\d*0$/.test(said) && size.startsWith(said) && /^\.?0*$/.test(size.slice(said.length));
};
const withUnit = (check, unit) => (shown) => shown.endsWith(`\u00a0${unit}`) && check(shown.slice(0, -unit.length - 1));
// A text of the page's tables as shown: each {name} stands for its value, or
// for any text its check accepts.
function filledAs(shown, template, values) {
  const names = [...template.matchAll(/\{(\w+)\}/g)].map(([, name]) => name);
  const pattern = template.split(/\{\w+\}/).map((text) => text.replace(/[.*+?^${}()|[\]\\]/g, "\\$&")).join("(.*?)");
  const match = new RegExp(`^${pattern}$`, "s").exec(shown);
  return match !== null && names.every((name, i) => (typeof values[name] === "function" ? values[name](match[i + 1]) : match[i + 1] === values[name]));
}

// The answer, sentence and title that the table gives for a report, checked
// against what the page shows; the keys of the table rows reached.
function expectAnswer(what, shown, printed) {
  const [nominal, inflation, , real, deviation] = figures(printed);
  const rate = states.answerTexts[printedSign(real)] ?? withUnit(allDigits(real), "%");
  expect(`${what}: answer ${shown.answer} | ${shown.title}`, filledAs(shown.answer ?? "", states.answerTexts.line, { rate })
    && filledAs(shown.title, states.answerTexts.title, { rate }));
  const signs = { real: causeSign(real), nominal: causeSign(nominal), inflation: causeSign(inflation) };
  const cause = `${signs.real} ${signs.nominal} ${signs.inflation}`;
  const sentence = states.sentences[printedSign(real)].replace("{cause}", states.causes[cause] ?? "") + states.approximations[printedSign(deviation)];
  const points = (shownPoints) => {
    const [number, unit] = shownPoints.split("\u00a0");
    return saidDigits(deviation)(number) && unit === (number === "1" ? "Prozentpunkt" : "Prozentpunkte");
  };
  expect(`${what}: sentence "${shown.meaning}"`, filledAs(shown.meaning, sentence, { rate: withUnit(saidDigits(real), "%"), deviation: points })
    && causeTruths.every(([words, holds]) => !words.test(shown.meaning) || holds(signs)));
  return { real: printedSign(real), deviation: printedSign(deviation), cause };
}

// The note on a field that the table gives for what it held, and for what the
// program made of its number: a plain number of at most two decimals printed
// as another, or any number printed as inf.
const cut = (text) => (text.length > 16 ? `${text.slice(0, 16)}…` : text);
function expectedNote(id, rate, printed) {
  if (rate.kind === null) return { template: "", held: null };
  // Without a report there is nothing the program holds.
  const plain = /^[+-]?\d+(?:\.\d{0,2})?$/.test(rate.handed.trim().replace(/\s*%$/, ""));
  const held = !answeredKinds.includes(rate.kind) || printed === "" || /nan/.test(printed) ? null
    : /inf/.test(printed) ? (/inf/.test(rate.handed) ? null : "infinite") : plain && Number(printed) !== Number(rate.handed.replace("%", "")) ? "rounded" : null;
  const said = [states.fieldNotes[rate.kind], held && states.heldNotes[held]].filter(Boolean).join(" ");
  return { held, template: said && `${states.fieldTexts[id].name}: ${said}`, values: { typed: cut(rate.typed.trim()), number: cut(rate.number ?? rate.typed.trim()),
    rest: rate.rest, example: states.fieldTexts[id].example, held: (shown) => shown === states.answerTexts[printedSign(printed)] || allDigits(printed)(shown) } };
}

// Rates as generated: typed, what the page calls them, what the program gets.
const digits = (count) => fc.array(fc.constantFrom(..."0123456789"), { minLength: count[0], maxLength: count[1] }).map((list) => list.join(""));
const pointRate = fc.tuple(fc.constantFrom("", "-", "+"), fc.integer({ min: 0, max: 150 }), digits([1, 3]))
  .map(([sign, whole, fraction]) => field(`${sign}${whole}.${fraction}`, "number"));
const germanRate = fc.tuple(fc.constantFrom("", "-", "+", "\u2212", "\u2013"), fc.integer({ min: 1, max: 999 }),
  fc.array(digits([3, 3]), { maxLength: 4 }), fc.option(digits([1, 3])))
  .map(([sign, head, groups, fraction]) => {
    const typed = `${sign}${[head, ...groups].join(".")}${fraction === null ? "" : `,${fraction}`}`;
    if (/^[+-]?\d+(?:\.\d+)?$/.test(typed)) return field(typed, "number");
    return field(typed, "number", `${{ "": "", "+": "+" }[sign] ?? "-"}${head}${groups.join("")}${fraction === null ? "" : `.${fraction}`}`);
  });
const otherRate = fc.constantFrom(...["0", "-0", "inf", "-inf", "nan", "1e999", "-1e999", "-99.9", "-99.999", "-100", "1e300", "0x1p-2", "99999999999"]
  .map((typed) => field(typed, "number")), field("abc", "noNumber"), field("5 Euro", "words", "5", { number: "5", rest: "Euro" }),
field("3,5,5", "unclear"), field("2,5 Euro", "words", "2.5", { number: "2,5", rest: "Euro" }));
const anyRate = fc.oneof(pointRate, germanRate, otherRate);
const pageStates = fc.record({ nominal: anyRate, inflation: anyRate, multiLine: fc.boolean(), empty: fc.constantFrom(null, null, 0, 1) });
// Pairs that reach every sign of the real rate and the deviation, and every
// cause the table names.
const signRows = [["1.9999999", "2"], ["2", "2"], ["1e999", "2"], ["-1e999", "2"], ["nan", "2"], ["5", "-100"], ["-200", "-100"],
  ["1", "5"], ["5", "1"], ["5", "0"], ["5", "-2"], ["0", "-2"], ["-1", "-3"], ["0", "2"], ["-0.5", "2"], ["-1", "0"], ["-3", "-1"],
  ["0", "0"], ["-2", "-2"]].map(([nominal, inflation]) => ({ nominal: field(nominal, "number"), inflation: field(inflation, "number"), multiLine: false, empty: null }));

const expectedFile = (name) => readFileSync(join(testsDir, "e2e/expected", name), "utf8");
const native = (...args) => programOutput(nativeProgram, args);

const server = await serveFolder(webDir);
const context = await browser.newContext();
const page = await context.newPage();
const requests = [];
context.on("request", (request) => requests.push(request.url()));
page.on("console", (message) => {
  if (message.type() === "error") failures.push(`console error: ${message.text()}`);
});
page.on("pageerror", (error) => failures.push(`page error: ${error.message}`));
page.on("dialog", async (dialog) => {
  failures.push(`a dialog opened: ${dialog.message()}`);
  await dialog.dismiss();
});

const nominalField = page.getByLabel("Zins in %");
const inflationField = page.getByLabel("Inflationsrate in %");
const report = page.locator("#ausgabe");
const fieldValues = async () => [await nominalField.inputValue(), await inflationField.inputValue()].join(" ");

async function open(base, query) {
  await page.goto(`${base}${query}`);
  await page.waitForFunction(() => document.getElementById("ausgabe").textContent !== "");
  return report.textContent();
}

// Each character of an element's text and where it stands: [character, left, top].
const characterBoxes = (locator) => locator.evaluate((element) => {
  const walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
  const range = document.createRange();
  const boxes = [];
  for (let node = walker.nextNode(); node !== null; node = walker.nextNode()) {
    for (let i = 0; i < node.length; ++i) {
      range.setStart(node, i);
      range.setEnd(node, i + 1);
      const { left, top } = range.getBoundingClientRect();
      boxes.push([node.data[i], Math.round(left), Math.round(top)]);
    }
  }
  return boxes;
});

// What the page shows around the report, once the chart is drawn.
const snapshot = () => page.evaluate(async () => {
  await new Promise((resolve) => { setTimeout(resolve); });
  const shown = (element) => element.getClientRects().length > 0;
  const byId = (id) => document.getElementById(id);
  const svg = document.querySelector("#verlauf svg");
  const yAxis = [...svg.querySelectorAll("line.achse")].find((line) => line.x1.baseVal.value === line.x2.baseVal.value);
  const chartShown = shown(byId("verlauf"));
  return {
    report: byId("ausgabe").textContent,
    answer: shown(byId("realzins")) ? byId("realzins").textContent : null,
    title: document.title,
    meaning: shown(byId("bedeutung")) ? byId("bedeutung").textContent : "",
    notes: ["zins", "inflation"].map((id) => byId(`${id}-lesart`)).map((note) => (shown(note) ? note.textContent : "")),
    announced: byId("ansage").textContent,
    axis: yAxis ? [yAxis.y1.baseVal.value, yAxis.y2.baseVal.value].sort((a, b) => a - b) : [],
    ticks: chartShown ? [...svg.querySelectorAll("text.marke")].map((text) => ({ text: text.textContent, y: text.y.baseVal[0].value - 5 })) : [],
    xLabels: chartShown ? [...svg.querySelectorAll("text:not(.marke)")].map((text) => text.textContent) : [],
    zeroLines: chartShown ? [...svg.querySelectorAll("line.null")].map((line) => line.y1.baseVal.value) : [],
    rows: chartShown ? [...byId("verlauf").querySelectorAll("tbody tr")].map((row) => [...row.cells].map((cell) => cell.textContent)) : [],
    caption: chartShown ? byId("verlauf").querySelector("figcaption").textContent : "",
    html: document.querySelector("main").innerHTML,
    text: document.querySelector("main").innerText,
  };
});

// A figure never parts from its "%" in what the page says of it.
async function expectPercentKept(state) {
  for (const said of ["#realzins", "#bedeutung"]) {
    const boxes = (await characterBoxes(page.locator(said))).filter(([character]) => character.trim() !== "");
    expect(`${state}: "%" apart from its figure in ${said}`,
      boxes.every(([character, , top], i) => character !== "%" || boxes[i - 1][2] === top));
  }
}

async function layout(multiLine) {
  await page.getByLabel(multiLine ? "mehrzeilig" : "einzeilig", { exact: true }).check();
}

// Opened from the address, from a server and from the file system: the
// report at once, as the console prints it.
const pageUrl = pathToFileURL(join(webDir, "index.html")).href;
for (const base of [`${server.origin}/`, pageUrl]) {
  const usage = expectedFile("usage.out").replace("@PROGRAM@", "tarvelin");
  expectEqual(`${base}: usage, checked-in`, await open(base, ""), usage);
  expect(`${base}: usage, the letter ä`, (await report.textContent()).includes(" Näherungsweise "));
  // Standards mode, though the licence comment comes before the doctype.
  expectEqual(`${base}: mode`, await page.evaluate(() => document.compatMode), "CSS1Compat");
  expectEqual(`${base}: usage, native`, await report.textContent(), native());
  expectEqual(`${base}: one rate`, await open(base, "?zins=5&m"), native("5"));
  expectEqual(`${base}: 5 2`, await open(base, "?zins=5&inflation=2"), expectedFile("5_2.out"));
  expectEqual(`${base}: 5 2 -m`, await open(base, "?zins=5&inflation=2&m"),
    expectedFile("5_2_multi.out"));
  expectEqual(`${base}: 5 2 -m, native`, await report.textContent(), native("5", "2", "-m"));
  expectEqual(`${base}: m=0`, await open(base, "?zins=5&inflation=2&m=0"), native("5", "2"));

  // Typing updates the report at every keystroke, and the address with it.
  await open(base, "");
  await page.keyboard.press("Tab");
  await page.keyboard.type("7,5");
  expectEqual(`${base}: typed 7,5 alone`, await report.textContent(), native("7,5"));
  await page.keyboard.press("Tab");
  let typed = "";
  for (const key of "1e999") {
    await page.keyboard.type(key);
    typed += key;
    expectEqual(`${base}: typed 7,5 ${typed}`, await report.textContent(), native("7.5", typed));
    // The sheet's address is the one of the fields as they stand, as a person reads it.
    expectEqual(`${base}: printed address`, await page.locator("#druck-adresse").textContent(), decodeURIComponent(page.url()));
  }
  await page.keyboard.press("Tab");
  await page.keyboard.press("ArrowDown");
  expectEqual(`${base}: layout by keyboard`, await report.textContent(), native("7.5", "1e999", "-m"));
  expectEqual(`${base}: address`, new URL(page.url()).search, "?zins=7%2C5&inflation=1e999&m");
  // The address shows the same again.
  expectEqual(`${base}: reopened`, await open(page.url(), ""), native("7.5", "1e999", "-m"));
  expectEqual(`${base}: fields reopened`, await fieldValues(), "7,5 1e999");
  await inflationField.fill("");
  expectEqual(`${base}: field emptied`, await report.textContent(), native("7,5"));
  expectEqual(`${base}: address emptied`, new URL(page.url()).search, "?zins=7%2C5&m");
  // Both emptied: a reload brings no rate back.
  await nominalField.fill("");
  await open(page.url(), "");
  expectEqual(`${base}: both emptied, reopened`, await fieldValues(), " ");
}

// The figures, both layouts, over the server: the fields set and their input
// events sent inside the page, one round trip for all (typing is held above).
await open(`${server.origin}/`, "");
const reportArguments = reportCases.flatMap((pair) => [pair, [...pair, "-m"]]);
const shownReports = await page.evaluate((argumentLists) => argumentLists.map(([nominal, inflation, multiLine]) => {
  const form = document.getElementById("eingabe");
  [form.elements.zins.value, form.elements.inflation.value] = [nominal, inflation];
  document.querySelector(`input[value="${multiLine ? "mehrzeilig" : "einzeilig"}"]`).checked = true;
  form.dispatchEvent(new Event("input", { bubbles: true }));
  return document.getElementById("ausgabe").textContent;
}), reportArguments);
reportArguments.forEach((args, i) => expectEqual(`report ${args.join(" ")}`, shownReports[i], native(...args)));
const compared = reportArguments.length;
// The keys of the page's tables that a state reached: each must be reached.
const reached = { sentences: new Set(), approximations: new Set(), causes: new Set(), fieldNotes: new Set(), heldNotes: new Set() };
// A field's note by the table, beside the answer, describing that field alone.
function expectNotes(what, shown, rates, printed) {
  ["zins", "inflation"].forEach((id, i) => {
    const { template, values, held } = expectedNote(id, rates[i], figures(printed)[i] ?? "");
    expect(`${what}: note on ${id} "${shown.notes[i].slice(0, 200)}"`, template === "" ? shown.notes[i] === "" : filledAs(shown.notes[i], template, values));
    if (rates[i].kind !== null) reached.fieldNotes.add(rates[i].kind);
    if (held !== null) reached.heldNotes.add(held);
  });
}

await layout(false);
await inflationField.fill("2");
const inflationTwo = field("2", "number");
for (const rate of fieldCases) {
  await nominalField.fill(rate.typed);
  const what = `typed ${JSON.stringify(rate.typed.slice(0, 20))}`;
  const printed = rate.kind === null ? native("2") : native(rate.handed, "2");
  const shown = await snapshot();
  expectEqual(`${what}: report`, shown.report, printed);
  // The page's own boxes around the runs between tabs, and nothing else.
  expect(`${what}: markup`, (await report.locator(":not(span), span *").count()) === 0);
  expectEqual(`${what}: aria-invalid`, await nominalField.getAttribute("aria-invalid"), invalidKinds.includes(rate.kind) ? "true" : null);
  expectEqual(`${what}: an answer`, shown.answer !== null, answeredKinds.includes(rate.kind));
  expectNotes(what, shown, [rate, inflationTwo], printed);
}
for (const [id, field] of [["zins", nominalField], ["inflation", inflationField]]) {
  expectEqual(`${id} described`, await field.getAttribute("aria-describedby"), `${id}-lesart`);
}
// The page never changes a field on its own.
await nominalField.fill("3,5");
await page.waitForTimeout(50);
expectEqual("field kept", await nominalField.inputValue(), "3,5");
expectEqual("address kept", new URL(page.url()).search, "?zins=3%2C5&inflation=2");
await nominalField.fill("3.5");

// The page's promises over many states, generated with a fixed seed after the
// rows that reach every sign of the printed figures and every cause.
for (const state of [...signRows, ...fc.sample(pageStates, { seed: 30, numRuns: 48 })]) {
  await nominalField.fill(state.nominal.typed);
  await inflationField.fill(state.inflation.typed);
  await layout(state.multiLine);
  const what = `${JSON.stringify([state.nominal.typed, state.inflation.typed])}${state.multiLine ? " -m" : ""}`;
  const printed = native(state.nominal.handed, state.inflation.handed, ...(state.multiLine ? ["-m"] : []));
  const shown = await snapshot();
  expectEqual(`${what}: report`, shown.report, printed);
  // No answer where a field holds no number: the sentence says why.
  if ([state.nominal, state.inflation].every(({ kind }) => answeredKinds.includes(kind))) {
    const keys = expectAnswer(what, shown, printed);
    reached.sentences.add(keys.real);
    reached.approximations.add(keys.deviation);
    if (keys.cause in states.causes) reached.causes.add(keys.cause);
  } else {
    reached.sentences.add("none");
    expectEqual(`${what}: no answer`, `${shown.answer} | ${shown.title} | ${shown.meaning}`, `null | ${states.answerTexts.none} | ${states.sentences.none}`);
  }
  expectNotes(what, shown, [state.nominal, state.inflation], printed);
  // The chart: each point a run of the program, with every printed digit,
  // inside its axes, a zero line exactly where 0 lies between its figures;
  // its marks real rates, all with the same decimals.
  const chartRuns = shown.rows.map(([inflation]) => native(state.nominal.handed, readBack(inflation)));
  shown.rows.forEach((row, i) => expectEqual(`${what}: chart at ${row[0]}`, row.map(readBack).join(" "),
    [readBack(row[0]), ...figures(chartRuns[i]).slice(2, 4)].join(" ")));
  const values = shown.rows.flatMap(([, ...drawn]) => drawn.map((figure) => Number(readBack(figure))));
  const [top, bottom] = shown.axis;
  expect(`${what}: chart ${JSON.stringify(shown.ticks)} ${shown.zeroLines} outside ${shown.axis}`,
    [...shown.ticks.map(({ y }) => y), ...shown.zeroLines].every((y) => y >= top && y <= bottom));
  const realRates = new Set(["0.000", ...chartRuns.map((run) => figures(run)[3]), figures(printed)[3]]);
  expect(`${what}: chart marks ${shown.ticks.map(({ text }) => text)}`, shown.ticks.every(({ text }) => text.endsWith(" %")
    && realRates.has(readBack(text.slice(0, -2)))));
  if (shown.rows.length > 0) {
    expect(`${what}: no mark on the y-axis`, shown.ticks.length > 0);
    expectEqual(`${what}: zero lines`, shown.zeroLines.length, Math.min(...values) <= 0 && Math.max(...values) >= 0 ? 1 : 0);
    expectEqual(`${what}: x-axis`, shown.xLabels.join(" | "), `${shown.rows[0][0]} % | Inflation | ${shown.rows.at(-1)[0]} %`);
    // The caption's figures, as the program printed them.
    const caption = /^Zins (\S+)\u00a0%: .* von (\S+) bis (\S+)\u00a0%(?:\. Der Kreis markiert Ihre Eingabe, (\S+)\u00a0% Inflation)?\.$/.exec(shown.caption);
    expect(`${what}: caption "${shown.caption}"`, caption !== null && [[caption[1], figures(printed)[0]], [caption[2], readBack(shown.rows[0][0])],
      [caption[3], readBack(shown.rows.at(-1)[0])], [caption[4] ?? figures(printed)[1], figures(printed)[1]]].every(([said, figure]) => readBack(said) === figure));
  }
  expect(`${what}: NaN, undefined or null in the page`, !/NaN|undefined/.test(shown.html) && !/\bnull\b/.test(shown.text));
  const address = new URLSearchParams(new URL(page.url()).search);
  expectEqual(`${what}: address`, `${address.get("zins")} ${address.get("inflation")}`, `${state.nominal.typed} ${state.inflation.typed}`);
  // A field emptied: no answer is left standing, nor said.
  if (state.empty !== null) {
    await [nominalField, inflationField][state.empty].fill("");
    const emptied = await snapshot();
    expect(`${what}, field ${state.empty} emptied: ${JSON.stringify([emptied.answer, emptied.title, emptied.meaning, emptied.announced])}`,
      emptied.answer === null && !/\d/.test(emptied.title) && emptied.rows.length === 0 && emptied.announced === "");
  }
}
for (const [table, keys] of Object.entries(reached)) {
  expectEqual(`rows of ${table} reached`, [...keys].sort().join(), Object.keys(states[table]).sort().join());
}
await nominalField.fill("3.5");
await inflationField.fill("2");
await layout(false);

// What a screen reader is told: nothing while a number is typed at a
// person's pace, nor while a decimal comma ends it, then the settled answer
// once, as the page shows it; nothing once a field is emptied. 3.5 % and
// 2.1 % give 1.371 %.
await inflationField.fill("2,1");
await nominalField.fill("");
expectEqual("emptied: nothing to read", await page.locator("#ansage").textContent(), "");
await page.evaluate(() => {
  window.announcements = [];
  new MutationObserver(() => window.announcements.push(document.getElementById("ansage").textContent))
    .observe(document.getElementById("ansage"), { childList: true, characterData: true, subtree: true });
});
await nominalField.focus();
await page.keyboard.type("3,", { delay: 700 });
await page.waitForTimeout(1500);
await page.keyboard.type("5");
await page.waitForTimeout(1600);
const settled = await snapshot();
const spoken = `${settled.answer}. ${settled.meaning}`;
expectEqual("announcements", JSON.stringify(await page.evaluate(() => window.announcements)), JSON.stringify([spoken]));
expect(`announced: ${spoken}`, spoken.startsWith("Realzins: 1,371\u00a0%. Die Kaufkraft"));
await inflationField.fill("2");
await nominalField.fill("3.5");

// Where the browser refuses to copy, the report is selected, for the person
// to copy with a key or a menu.
await page.evaluate(() => { navigator.clipboard.writeText = () => Promise.reject(new Error("refused")); });
await page.getByRole("button", { name: "Kopieren" }).click();
expectEqual("copy refused: selected", `${await page.evaluate(() => String(window.getSelection()))}\n`, await report.textContent());
expect("copy refused: advice", (await page.locator("#ansage").textContent()).includes("Strg+C"));
await page.evaluate(() => { delete navigator.clipboard.writeText; });
// Copy: the report as shown, tabs and line ends kept, and said so.
await context.grantPermissions(["clipboard-read", "clipboard-write"], { origin: server.origin });
for (const multiLine of [false, true]) {
  await layout(multiLine);
  await page.getByRole("button", { name: "Kopieren" }).click();
  expectEqual(`copied, multi-line ${multiLine}`, await page.evaluate(() => navigator.clipboard.readText()),
    native("3.5", "2", ...(multiLine ? ["-m"] : [])));
}
// A copy is said, and the answer still waiting for its pause does not talk
// over it; then the same answer is said again.
await layout(false);
await page.getByRole("button", { name: "Kopieren" }).click();
expect("copy shown", await page.waitForFunction(() => document.getElementById("kopiert").textContent === "Kopiert", null,
  { timeout: 10000 }).then(() => true, () => false));
await page.waitForTimeout(1600);
expectEqual("copy announced", await page.locator("#ansage").textContent(), "Die Ausgabe ist in der Zwischenablage.");
await nominalField.fill("3,");
await nominalField.fill("3.5");
await page.waitForTimeout(1600);
expect("said again after the copy", (await page.locator("#ansage").textContent()).startsWith("Realzins: 1,471\u00a0%."));
// Said only beside the report it copied, and for a few seconds.
await layout(true);
expectEqual("copy shown, the report changed", await page.locator("#kopiert").textContent(), "");
await page.getByRole("button", { name: "Kopieren" }).click();
expect("copy shown for good", await page.waitForFunction(() => document.getElementById("kopiert").textContent === "", null,
  { timeout: 10000 }).then(() => true, () => false));

// The first look: a prompt whose example fills the fields, the report
// hidden, the program's usage text one step away.
await open(`${server.origin}/`, "");
expect("start: report hidden", !(await report.isVisible()));
await page.getByText("Was das Konsolenprogramm ohne Zinssätze ausgibt").click();
expectEqual("start: usage text", await page.locator("#hilfe-text").textContent(), native());
await page.getByRole("button", { name: "z. B. 5 % Zins und 2 % Inflation" }).focus();
await page.keyboard.press("Enter");
expectEqual("example", await report.textContent(), expectedFile("5_2.out"));
// The button is gone with the prompt: the person stays in the first field.
expectEqual("example: focus", await page.evaluate(() => document.activeElement.id), "zins");
expect("example: report shown", await report.isVisible());
// The chart: every point a run of the program with the rate as typed, each
// line's circles (of its colour) on its corners.
await page.waitForFunction(() => document.querySelectorAll("#verlauf tbody tr").length > 0);
for (const nominal of ["5", "5.555"]) {
  await nominalField.fill(nominal);
  await page.waitForTimeout(300);
  const chartRows = await page.locator("#verlauf tbody tr").evaluateAll((rows) =>
    rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
  expect("chart: inflation a few points around 2", chartRows.length > 5 && chartRows.some(([inflation]) => inflation === "2")
    && chartRows.every(([inflation]) => Math.abs(readBack(inflation) - 2) <= 6));
  for (const [inflation, ...drawn] of chartRows) {
    expectEqual(`chart of ${nominal} at ${inflation}`, drawn.map(readBack).join(" "), figures(native(nominal, readBack(inflation))).slice(2, 4).join(" "));
  }
  expectEqual("chart: points", await page.locator("#verlauf circle:not(.eigen)").count(), 2 * chartRows.length);
  const offTheirLine = await page.locator("#verlauf svg").evaluate((svg) => {
    const colour = (element, property) => getComputedStyle(element)[property];
    const sorted = (points) => points.sort((a, b) => a.x - b.x);
    const apart = (a, b) => a.length !== b.length || a.some(({ x, y }, i) => Math.hypot(x - b[i].x, y - b[i].y) > 0.01);
    return [...svg.querySelectorAll("polyline")].filter((line) => apart(sorted([...line.points]), sorted(
      [...svg.querySelectorAll("circle")].filter((circle) => colour(circle, "fill") === colour(line, "stroke"))
        .map((circle) => ({ x: circle.cx.baseVal.value, y: circle.cy.baseVal.value }))))).length;
  });
  expectEqual(`chart of ${nominal}: lines whose circles are off them`, offTheirLine, 0);
}
// The person's own point ringed on the real rate's line, and a zero line.
const [ownX, ownY] = await page.locator("#verlauf circle.eigen").evaluate((ring) => [ring.cx.baseVal.value, ring.cy.baseVal.value]);
expect("chart: own point on the line", await page.locator("#verlauf circle.tarvelin").evaluateAll((dots, [x, y]) =>
  dots.some((dot) => dot.cx.baseVal.value === x && dot.cy.baseVal.value === y), [ownX, ownY]));
expectEqual("chart: zero line", await page.locator("#verlauf line.null").count(), 1);
// Near −100 % few points are left: never a coordinate that is no number.
for (let inflation = -112; inflation <= -88; ++inflation) {
  await inflationField.fill(String(inflation));
  await page.waitForTimeout(100);
  expect(`chart at inflation ${inflation}: NaN`, !(await page.locator("#verlauf").innerHTML()).includes("NaN"));
}

// Without scripts: no empty report with its copy button.
const withoutScripts = await browser.newContext({ javaScriptEnabled: false });
const plainPage = await withoutScripts.newPage();
await plainPage.goto(`${server.origin}/?zins=5&inflation=2`);
expect("without scripts: copy button shown", !(await plainPage.getByRole("button", { name: "Kopieren" }).isVisible()));
await withoutScripts.close();

// Opened from an address, the answer and its sentence by the table at once,
// a figure held together with its "%", on a phone 360 px wide, where
// "1,371 %" and "2,941 %" would end a line; no answer for no number.
await page.setViewportSize({ width: 360, height: 740 });
for (const [query, handed, answered = true] of [["zins=1,5&inflation=2,2", ["1.5", "2.2"]], ["zins=5&inflation=2", ["5", "2"]],
  ["zins=%3Cscript%3E&inflation=2", ["<script>", "2"], false], ["zins=drei&inflation=2", ["drei", "2"], false],
  ["zins=3,5%20Prozent&inflation=2,1", ["3.5", "2.1"]], ["zins=4,5%25%20p.a.&inflation=2", ["4.5", "2"]],
  ["zins=1e999&inflation=2", ["1e999", "2"]], ["zins=99999999999&inflation=2", ["99999999999", "2"]]]) {
  const printed = native(...handed);
  expectEqual(`answer for ${query}: report`, await open(`${server.origin}/?`, query), printed);
  const shown = await snapshot();
  if (answered) expectAnswer(`answer for ${query}`, shown, printed);
  else expectEqual(`no answer for ${query}`, `${shown.answer} | ${shown.title}`, `null | ${states.answerTexts.none}`);
  await expectPercentKept(`answer for ${query}`);
}
// The first picture already holds the answer: the page arrives in two parts
// with a pause between, in which a browser paints what it has unless the
// module holds the picture back until it has run. No worker, which would
// answer from its cache at once.
const slowServer = await serveFolder(webDir, 500);
const slowContext = await browser.newContext({ serviceWorkers: "block" });
const slow = await slowContext.newPage();
await slow.addInitScript(() => new MutationObserver(() => {
  if (window.answered === undefined && document.getElementById("realzins")?.textContent) window.answered = performance.now();
}).observe(document, { childList: true, subtree: true, characterData: true }));
for (let load = 0; load < 3; ++load) {
  await slow.goto(`${slowServer.origin}/?zins=5&inflation=2`);
  await slow.waitForFunction(() => performance.getEntriesByType("paint").length > 0);
  const [answered, painted] = await slow.evaluate(() => [window.answered, performance.getEntriesByType("paint")[0].startTime]);
  expect(`first paint at ${painted} ms, the answer at ${answered} ms`, answered <= painted);
}
await slowContext.close();
slowServer.close();

// Loaded with rates, the processor slowed 4x, nothing moves. After typing
// into either field, the answer and the notes on it are in view, clear of
// the field being typed in; scrolled anywhere, an answer in view has its
// notes in view. Phones upright and on their side, with the on-screen
// keyboard open, 200 % zoom, a desktop; pictured in both colour schemes.
const steady = await context.newPage();
await (await context.newCDPSession(steady)).send("Emulation.setCPUThrottlingRate", { rate: 4 });
await steady.addInitScript(() => new PerformanceObserver((list) => list.getEntries().forEach((entry) => {
  window.shifted = (window.shifted ?? 0) + entry.value;
})).observe({ type: "layout-shift", buffered: true }));
mkdirSync(screenshotDir, { recursive: true });
const withNotes = "?zins=5%20Euro&inflation=99999999999";
for (const [width, height] of [[360, 740], [320, 568], [568, 320], [360, 380], [640, 400], [1280, 800]]) {
  await steady.setViewportSize({ width, height });
  for (const [query, field] of [["?zins=1,5&inflation=2,2", "Zins in %"], [withNotes, "Zins in %"], [withNotes, "Inflationsrate in %"]]) {
    await steady.goto(`${server.origin}/${query}`);
    await steady.waitForFunction(() => document.getElementById("ausgabe").textContent !== "");
    await steady.waitForTimeout(300);
    const state = `${query} at ${width}x${height}, typed into ${field}`;
    expectEqual(`layout shifts: ${state}`, await steady.evaluate(() => window.shifted ?? 0), 0);
    await steady.getByLabel(field).click();
    await steady.keyboard.press("End");
    await steady.keyboard.type("1");
    // In view as typed, pictured so; then scrolled from top to bottom.
    const typedIn = await steady.evaluate(() => {
      window.answerAndNotes = () => [document.getElementById("realzins"), ...document.querySelectorAll("#lesarten li:not([hidden])")]
        .map((element) => element.getBoundingClientRect());
      window.within = ({ top, bottom }) => top >= 0 && bottom <= window.innerHeight;
      const [answer, ...notes] = window.answerAndNotes();
      const field = document.activeElement.getBoundingClientRect();
      const block = document.getElementById("antwort").getBoundingClientRect();
      return [window.within(answer), notes.every(window.within), window.within(field), field.bottom <= block.top || field.top >= block.bottom];
    });
    expectEqual(`answer, notes, field in view and apart: ${state}`, typedIn.join(), "true,true,true,true");
    if (query === withNotes && field.startsWith("Inflation")) {
      for (const colorScheme of ["light", "dark"]) {
        await steady.emulateMedia({ colorScheme });
        await steady.screenshot({ path: join(screenshotDir, `hinweise-${colorScheme}-${width}x${height}.png`) });
      }
      await steady.emulateMedia({ colorScheme: "light" });
    }
    const scrolled = await steady.evaluate(() => {
      const apart = [];
      for (let y = 0; y <= document.documentElement.scrollHeight; y += 20) {
        window.scrollTo(0, y);
        const [answer, ...notes] = window.answerAndNotes();
        if (answer.bottom > 0 && answer.top < window.innerHeight && !notes.every(window.within)) apart.push(y);
      }
      return apart;
    });
    expectEqual(`answer in view without its notes, scrolled to: ${state}`, scrolled.join(), "");
  }
}
await steady.close();

// Nothing from anywhere else: every request the page made went to the place
// it was opened from.
for (const url of requests) {
  const { origin, protocol } = new URL(url);
  expect(`request to another origin: ${url}`, origin === server.origin || protocol === "file:");
}

// For people to look at, and no part of the report or the page hidden or
// scrolled sideways: each layout in each colour scheme, on a phone of 320 px,
// at 200 % zoom (half the window's width), with the reader's text at 32 px,
// on A4 paper, the help and the chart's table open; axe finds nothing in any
// state, on paper neither.
const views = [["", 1300, "screen"], ["-telefon", 320, "screen"], ["-zoom", 640, "screen"],
  ["-schrift32", 320, "screen", "32px"], ["-druck", 718, "print"]];
const axeFinds = async (state, inPage = page) => {
  const { violations } = await new AxeBuilder({ page: inPage }).analyze();
  for (const { id, nodes } of violations) failures.push(`axe, ${state}: ${id} at ${nodes.map((node) => node.target).join(", ")}`);
};
for (const colorScheme of ["light", "dark"]) {
  for (const [name, query] of [["start", ""], ["einzeilig", "?zins=5&inflation=2"],
    ["mehrzeilig", "?zins=5&inflation=2&m"], ["hinweise", `${withNotes}&m`]]) {
    for (const [view, width, media, rootSize] of views) {
      await page.emulateMedia({ colorScheme, media });
      await page.setViewportSize({ width, height: 700 });
      await open(`${server.origin}/`, query);
      if (rootSize) await page.evaluate((size) => { document.documentElement.style.fontSize = size; }, rootSize);
      await page.locator("details").evaluateAll((all) => all.forEach((details) => { details.open = true; }));
      await page.waitForTimeout(50);
      const state = `${name}-${colorScheme}${view}`;
      const [scrollWidth, clientWidth, pageWidth, textRight] = await page.evaluate(() => {
        const text = document.createRange();
        text.selectNodeContents(document.getElementById("ausgabe"));
        return [document.querySelector("pre").scrollWidth, document.querySelector("pre").clientWidth,
          document.documentElement.scrollWidth, Math.max(0, ...[...text.getClientRects()].map((box) => box.right))];
      });
      expect(`${state}: report ${scrollWidth} px wide in ${clientWidth}`, scrollWidth <= clientWidth);
      expect(`${state}: report's text reaches ${textRight} px in ${width}`, textRight <= width);
      expect(`${state}: page ${pageWidth} px wide in ${width}`, pageWidth <= width);
      // The table's column names whole, unless the reader's text is enlarged.
      const nameLines = await page.locator("thead th").evaluateAll((cells) => cells.map((cell) => {
        const text = document.createRange();
        text.selectNodeContents(cell);
        return new Set([...text.getClientRects()].map((box) => Math.round(box.top))).size;
      }));
      expect(`${state}: column names on ${nameLines} lines`, rootSize || nameLines.every((lines) => lines <= 1));
      // Every line of the report starts at its left edge.
      const reportBoxes = await characterBoxes(report);
      const lineStarts = reportBoxes.filter(([character], i) => character !== "\n" && (i === 0 || reportBoxes[i - 1][0] === "\n"))
        .map(([, left]) => left);
      expect(`${state}: lines start at ${lineStarts}`, new Set(lineStarts).size <= 1);
      // The console's option is named in the help alone, never split there.
      const helpBoxes = await characterBoxes(page.locator("#hilfe p"));
      const option = helpBoxes.map(([character]) => character).join("").indexOf("-m");
      const optionTops = helpBoxes.slice(option, option + 2).map(([, , top]) => top);
      expect(`${state}: "-m" at heights ${optionTops}`, option >= 0 && new Set(optionTops).size === 1
        && !(await page.locator("form, fieldset").allTextContents()).join("").includes("-m"));
      await expectPercentKept(state);
      // The sheet says what it is, for which rates and when; the screen does not.
      const sheetHead = await page.evaluate(() => {
        const head = document.getElementById("druckkopf");
        return head?.checkVisibility() ? head.innerText : "";
      });
      expect(`${state}: printed head ${sheetHead}`, media === "print" ? sheetHead.includes("Realzins") && sheetHead.includes(decodeURIComponent(page.url()))
        && sheetHead.includes("keinen Realzins") === (query === "")
        && new RegExp(`Stand: \\d{1,2}\\. (?:Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember) ${new Date().getFullYear()}`).test(sheetHead)
        : sheetHead === "");
      // The answer's block, where it sticks over the page, hides what scrolls under it.
      const answerBackground = await page.locator("#antwort").evaluate((line) => getComputedStyle(line).backgroundColor);
      expect(`${state}: answer's background ${answerBackground}`, media === "print" || query === "" || /^rgb\(/.test(answerBackground));
      if (media === "print") {
        // Browsers print no backgrounds: the ink must read on white paper.
        const inks = await page.evaluate(() => ["main", "#bedeutung", "#lesarten", "#ausgabe", "label"]
          .map((part) => getComputedStyle(document.querySelector(part)).color));
        const onWhite = (ink) => {
          const [r, g, b] = ink.match(/\d+/g).map((value) => (value / 255 <= 0.04045 ? value / 255 / 12.92 : ((value / 255 + 0.055) / 1.055) ** 2.4));
          return 1.05 / (0.2126 * r + 0.7152 * g + 0.0722 * b + 0.05);
        };
        expect(`${state}: ink on paper ${inks}`, inks.every((ink) => onWhite(ink) >= 4.5));
        expect(`${state}: both rates printed, the report with its heading`, await nominalField.isVisible() && await inflationField.isVisible()
          && await page.locator("#ausgabe-titel").isVisible() === await report.isVisible());
      }
      await page.screenshot({ path: join(screenshotDir, `${state}.png`), fullPage: true });
      await axeFinds(state);
    }
  }
}
await page.emulateMedia({ colorScheme: "light", media: "screen" });
await page.getByText("Was das Konsolenprogramm ohne Zinssätze ausgibt").click();
await axeFinds("help open");

// Over http, served from a folder of a site, a first visit keeps everything
// the page ships for visits without network, and it can be installed (not
// from a private window: a profile of its own). A new build, faked in a copy
// of the folder, is taken whole at the next visit with network; the one in
// between shows the cached page.
const scratch = mkdtempSync(join(tmpdir(), "tarvelin-"));
const folder = join(scratch, "app");
cpSync(webDir, folder, { recursive: true });
const offlineServer = await serveFolder(scratch);
const base = `${offlineServer.origin}/app/`;
const profile = await launchBrowser(chromiumPath, join(scratch, "profile"));
const visitor = profile.pages()[0];
const visit = async (query) => {
  const error = await visitor.goto(`${base}${query}`).then(() => null, ({ message }) => message.split("\n")[0]);
  if (error !== null) return error;
  return JSON.stringify([await visitor.locator("#ausgabe").textContent(), await visitor.locator("#neu").count()]);
};
await visit("?zins=5&inflation=2");
// Until the worker serves the page: a worker that never does is found below.
await visitor.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 10000 }).catch(() => {});
const cdp = await profile.newCDPSession(visitor);
const { url: manifestUrl, errors } = await cdp.send("Page.getAppManifest");
const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
expectEqual("installable", JSON.stringify([manifestUrl, errors, installabilityErrors]),
  JSON.stringify([`${base}manifest.webmanifest`, [], []]));
// A first visit fetches each file once, and only what the page and its
// installation use: the module is inlined in the page.
const firstVisit = offlineServer.served.map(({ path }) => (path === "/app/" ? "/app/index.html" : path)).sort();
const shipped = readdirSync(folder).filter((file) => !["sw.js", "tarvelin.wasm"].includes(file)).sort();
expectEqual("first visit: each file once", firstVisit.join(" "), ["sw.js", ...shipped].sort().map((file) => `/app/${file}`).join(" "));
const servedOnline = offlineServer.served.length;
await profile.setOffline(true);
expectEqual("offline: reloaded", await visit("?zins=5&inflation=2&m"), JSON.stringify([expectedFile("5_2_multi.out"), 0]));
const digest = (bytes) => createHash("sha256").update(bytes).digest("hex");
for (const file of shipped) {
  const body = await visitor.goto(`${base}${file}`).then((response) => response.body(), () => null);
  expect(`offline: ${file} not served as built`, body !== null && digest(body) === digest(readFileSync(join(folder, file))));
}
// Any rates in the address, as bookmarked or shared, with the page's name or
// the folder's.
for (const [i, { nominal, inflation, multiLine }] of fc.sample(pageStates, { seed: 31, numRuns: 4 }).entries()) {
  const query = `${["", "index.html"][i % 2]}?${new URLSearchParams({ zins: nominal.typed, inflation: inflation.typed })}${multiLine ? "&m" : ""}`;
  expectEqual(`offline: ${query}`, await visit(query),
    JSON.stringify([native(nominal.handed, inflation.handed, ...(multiLine ? ["-m"] : [])), 0]));
}
expectEqual("offline: nothing served", offlineServer.served.length, servedOnline);
await axeFinds("offline", visitor);
await profile.setOffline(false);
await visit("?zins=5&inflation=2");
// Another cache of the same origin, which is none of the page's business.
await visitor.evaluate(() => caches.open("andere").then((cache) => cache.put("andere", new Response("andere"))));
const edit = (file, from, to) => writeFileSync(join(folder, file), readFileSync(join(folder, file), "utf8").replace(from, to));
const pageHash = () => digest(readFileSync(join(folder, "index.html")));
const oldHash = pageHash();
edit("index.html", "</main>", "<p id=\"neu\"></p></main>");
edit("sw.js", /tarvelin-\w+/, "tarvelin-neu");
// A new build's worker knows its page by the page's hash.
edit("sw.js", oldHash, pageHash());
expectEqual("new build: the cached page once more", await visit("?zins=5&inflation=2"),
  JSON.stringify([expectedFile("5_2.out"), 0]));
const cacheNames = () => visitor.evaluate(async () => (await caches.keys()).sort().join());
for (let wait = 0; wait < 100 && await cacheNames() !== "andere,tarvelin-neu"; ++wait) await visitor.waitForTimeout(50);
expectEqual("new build: taken at the next visit", await visit("?zins=5&inflation=2"),
  JSON.stringify([expectedFile("5_2.out"), 1]));
// The old build's cache gone, the other one kept, and the new cache holding
// every file the new build ships, each as served. The module is for WASI
// runtimes: the page holds it inlined.
expectEqual("new build: caches", await cacheNames(), "andere,tarvelin-neu");
const cachedFiles = await visitor.evaluate(async () => {
  const cache = await caches.open("tarvelin-neu");
  const hex = (buffer) => [...new Uint8Array(buffer)].map((byte) => byte.toString(16).padStart(2, "0")).join("");
  return Promise.all((await cache.keys()).map(async (request) => `${new URL(request.url).pathname.slice(1)} ${
    hex(await crypto.subtle.digest("SHA-256", await (await cache.match(request)).arrayBuffer()))}`));
});
expectEqual("new build: cached files", cachedFiles.sort().join(" | "),
  shipped.map((file) => `app/${file} ${digest(readFileSync(join(folder, file)))}`).join(" | "));
await profile.close();
offlineServer.close();
rmSync(scratch, { recursive: true });

await browser.close();
server.close();
console.log(`${compared} reports compared, ${requests.length} requests, screenshots in ${screenshotDir}`);
if (failures.length > 0) {
  console.log(`${failures.length} failures:\n${failures.join("\n")}`);
  process.exit(1);
}
